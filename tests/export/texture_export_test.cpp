// The texture export with a model: the file each map becomes in every image
// setting, the same files whether the images are loose or inside
// "main/*.iwd", the MTL, Maya scene and GDT naming files that exist, images
// shared between materials, cube maps, missing and unreadable images, and
// the worker's image steps with their log lines.
#include <gtest/gtest.h>

#include <cmath>

#include <filesystem>
#include <ranges>
#include <regex>

#include "export/model_exports.h"
#include "export/texture_export.h"
#include "imaging/png_file.h"
#include "jobs/export_formats.h"
#include "jobs/image_convert.h"
#include "jobs/model_rows.h"
#include "jobs/xmodel_threaded.h"
#include "model/texture_pick.h"
#include "tests/imaging/image_test_support.h"
#include "tests/imaging/iwd_test_support.h"
#include "tests/shell/shell_test_support.h"
#include "tests/support/files.h"
#include "tools/fixture/export_models.h"
#include "tools/fixture/fixture_writer.h"
#include "tools/fixture/iwi_writer.h"

namespace fs = std::filesystem;

namespace {

using iwd_test::Tree;
using Names = std::vector<std::string>;
using Files = std::map<std::string, std::vector<uint8_t>>;  // by path under a folder

// The names a text's `pattern` captures, each "\\" (MEL and GDT) made "/".
Names Matches(const std::string& text, const std::string& pattern) {
  Names out;
  const std::regex re(pattern);
  for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it)
    out.push_back(std::regex_replace(std::string((*it)[1]), std::regex(R"(\\\\)"), "/"));
  return out;
}

// The two-material crate written twice: under "loose" with its images in
// raw/images, and under "archived" with the IWIs deflated into
// main/iw_00.iwd (the DDS files stay loose).
class TextureExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* root : {"loose", "archived"}) {
      ASSERT_FALSE(fixture::WriteModel(dir_.Sub(root), fixture::MakeTwoMaterialCrate()).empty());
      ASSERT_TRUE(fixture::WriteTwoMaterialImages(dir_.Sub(root) + "/raw/images"));
    }
    fixture::IwdDesc iwd;
    for (const auto& [rel, bytes] : Tree(dir_.Sub("archived/raw/images"))) {
      if (!rel.ends_with(".iwi")) continue;
      iwd.entries.push_back({"images/" + rel, bytes});
      fs::remove(dir_.Sub("archived/raw/images/") + rel);
    }
    ASSERT_TRUE(fixture::WriteIwdFile(dir_.Sub("archived/main/iw_00.iwd"), iwd));
    Load(model_, "loose", false);
  }

  void Load(Xmodel& model, const std::string& root, bool pick) {
    model.game = Cod4;
    EXPECT_EQ(model.LoadxmodelFull(dir_.Sub(root + "/raw/xmodel/crate")), err::kSuccess);
    EXPECT_EQ(model.LoadSurface(), err::kSuccess);
    if (pick) PickTextures(model);
  }
  static Files Written(const std::string& folder) {
    Files files = Tree(folder);
    std::erase_if(files, [](const auto& f) {
      return f.first.ends_with(".iwi") || f.first == "dds_nml.dds" || f.first == "detail.dds";
    });
    return files;
  }
  static Names NamesOf(const Files& files) {
    const auto names = std::views::keys(files);
    return {names.begin(), names.end()};
  }

  image_test::TempDir dir_;
  shell_test::LogCapture log_;
  Xmodel model_;
  const std::string images_ = dir_.Sub("loose/raw/images/"), out_ = dir_.Sub("export/crate/images");
};

// Each setting, from images loaded by the texture step or read from disk,
// loose or archived: the same files, and the OBJ's MTL, the Maya scene and
// the GDT name only files that were written.
TEST_F(TextureExportTest, EverySettingWritesItsFilesAndTheModelFilesNameThem) {
  struct Row {
    const char* what;
    bool tga, colour_only, beside;
    int32_t png;
    bool pick;
    Names files;
    int32_t normal_maps = kNormalMapsPngGltf;
  };
  const Row rows[] = {
      {"dds", false, false, false, 0, true,
       {"_-gcrate_col.dds", "crate_nml.tga", "crate_spc.tga", "dds_nml.tga", "detail.tga"}},
      {"tga", true, false, false, 0, false,
       {"_-gcrate_col.tga", "crate_nml.tga", "crate_spc.tga", "dds_nml.tga", "detail.tga"}},
      {"tga normals", true, false, false, 0, false,
       {"_-gcrate_col.tga", "crate_nml.tga", "crate_spc.tga", "dds_nml.tga", "detail.tga"}, kNormalMapsWithTga},
      {"colour maps only", true, true, false, 0, true, {"_-gcrate_col.tga"}},
      {"png colour maps", false, false, false, 1, true,
       {"_-gcrate_col.png", "crate_nml.tga", "crate_spc.tga", "dds_nml.tga", "detail.tga"}},
      {"png every map", false, false, false, 2, false,
       {"_-gcrate_col.png", "crate_nml.png", "crate_spc.png", "dds_nml.png", "detail.png"}},
      {"beside the sources", false, false, true, 0, true,
       {"crate_nml.tga", "crate_spc.tga", "dds_nml.tga", "detail.tga", "~-gcrate_col.dds"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    ExportSettings settings;
    settings.export_img_as_tga = row.tga;
    settings.export_images_col = row.colour_only;
    settings.export_images_local = !row.beside;
    settings.export_img_png = row.png;
    settings.convert_normal_maps = row.normal_maps;
    const std::string folder = dir_.Sub(std::string("out/") + row.what);
    Files loose;
    for (const char* root : {"loose", "archived"}) {
      Xmodel model;
      Load(model, root, row.pick);
      ASSERT_EQ(MoveImages(model, folder + "/" + root, settings), err::kSuccess);
      const auto files = Written(row.beside ? dir_.Sub(root + std::string("/raw/images")) : folder + "/" + root);
      if (loose.empty()) loose = files;
      EXPECT_EQ(NamesOf(files), row.files) << root;
      EXPECT_EQ(files, loose) << root;
      EXPECT_EQ(row.beside, fs::is_empty(folder + "/" + root)) << root;
    }
    if (row.colour_only) continue;
    // The model files beside the loose export's "images" folder.
    fs::rename(folder + "/loose", folder + "/images");
    ASSERT_EQ(ExportOBJ(model_, folder, settings), err::kSuccess);
    ASSERT_EQ(ExportMA(model_, folder, settings), err::kSuccess);
    ASSERT_EQ(DumpGDT(model_, 0, folder, settings), err::kSuccess);
    Names named = Matches(test_support::ReadText(folder + "/crate_lod0.mtl"), R"(map_\w+ ([^\r\n]+))");
    EXPECT_EQ(named.size(), 5u);
    const Names ma = Matches(test_support::ReadText(folder + "/crate_lod0.ma"), R"re(".ftn" -type "string" "([^"]+)")re");
    EXPECT_EQ(ma.size(), 2u);
    named.insert(named.end(), ma.begin(), ma.end());
    // The GDT's paths are the mod tools' (model_export\<model>\images\...,
    // wherever the images went); the folder plays model_export\<model> here.
    const Names gdt = Matches(test_support::ReadText(folder + "/crate.gdt"),
                              R"re("(?:colorMap|normalMap|specColorMap)" "model_export\\\\crate\\\\(images\\\\[^"]+)")re");
    EXPECT_EQ(gdt.size(), 5u);
    if (!row.beside) named.insert(named.end(), gdt.begin(), gdt.end());
    for (const std::string& name : named)
      EXPECT_TRUE(fs::exists(name.starts_with("/") ? name : folder + "/" + name)) << name;
  }
  if (!image_test::MagickDir().empty()) {
    EXPECT_EQ(image_test::Identify(dir_.Sub("out/png every map/images/crate_nml.png"), "%m"), "PNG");
  }
  // A normal map as PNG is rebuilt as unit RGB normals.
  int32_t w = 0, h = 0;
  std::vector<uint32_t> argb;
  ASSERT_TRUE(ReadPngArgb(dir_.Sub("out/png every map/images/crate_nml.png"), w, h, argb));
  for (uint32_t p : argb) {
    const double x = double((p >> 16) & 0xFF) - 128, y = double((p >> 8) & 0xFF) - 128, z = double(p & 0xFF) - 128;
    EXPECT_NEAR(std::sqrt(x * x + y * y + z * z), 127, 2.5) << std::hex << p;
  }
  // As TGA it is rebuilt only when asked: the flat map as 128, 128, 255
  // (B, G, R, A after the header), else the stored picture unchanged.
  const std::vector<uint8_t> rebuilt = test_support::ReadBytes(dir_.Sub("out/tga normals/images/crate_nml.tga"));
  ASSERT_EQ(rebuilt.size(), 18u + 16 * 8 * 4);
  for (size_t i = 18; i < rebuilt.size(); i += 4)
    EXPECT_EQ(std::vector<uint8_t>(rebuilt.begin() + ptrdiff_t(i), rebuilt.begin() + ptrdiff_t(i + 4)),
              (std::vector<uint8_t>{255, 128, 128, 255}));
  IwiImage stored;
  ASSERT_TRUE(stored.SetImagePath(images_ + "crate_nml.iwi"));
  std::vector<uint8_t> as_stored;
  ASSERT_EQ(stored.LoadIWI(), img::kSuccess);
  ASSERT_EQ(stored.EncodeTGA(as_stored), img::kSuccess);
  EXPECT_EQ(test_support::ReadBytes(dir_.Sub("out/tga/images/crate_nml.tga")), as_stored);
}

// The properties rows say where archived images come from; a converted one
// lands beside its source as the loose one does.
TEST_F(TextureExportTest, ArchivedImagesNameTheirArchiveAndConvertBesideTheirSource) {
  Xmodel archived;
  Load(archived, "archived", true);
  Names rows;
  for (const DetailRow& row : PropertyRows(archived))
    if (row.depth == 2) rows.push_back(row.text + " " + row.icon);
  EXPECT_EQ(rows, (Names{"colorMap: ~-gcrate_col.iwi (main/iw_00.iwd) tree_tick",
                         "normalMap: crate_nml.iwi (main/iw_00.iwd) tree_tick",
                         "specularMap: crate_spc.iwi (main/iw_00.iwd) tree_tick",
                         "colorMap: ~-gcrate_col.iwi (main/iw_00.iwd) tree_tick",
                         "colorDetailMap: detail.iwi (main/iw_00.iwd) tree_tick", "normalMap: dds_nml.iwi tree_cross"}));
  // What --skip-existing holds the outputs against: the archive, whose
  // change may bring another picture under the same name.
  Names outputs, sources;
  PlanImages(archived, out_, {}, outputs, &sources);
  EXPECT_EQ(std::count(sources.begin(), sources.end(), dir_.Sub("archived/main/iw_00.iwd")), 4) << sources.size();
  for (Xmodel* model : {&model_, &archived})
    EXPECT_EQ(ConvertImageAt(model->material_library, model->raw_dir, 0, 1, false), img::kSuccess);
  const std::vector<uint8_t> converted = image_test::ReadBytes(dir_.Sub("archived/raw/images/crate_nml.tga"));
  EXPECT_FALSE(converted.empty());
  EXPECT_EQ(converted, image_test::ReadBytes(images_ + "crate_nml.tga"));
}

// Two images that come to one exported name ("x~y" and "x_y", since "~"
// becomes "_"): the texture export writes the first and reports the other,
// glTF keeps both and numbers the second. An archived image converted beside
// its source is never written through a folder of raw/images that is a link.
TEST_F(TextureExportTest, ImagesNeverLandOnEachOtherNorThroughALink) {
  fixture::ModelFiles m = fixture::MakeTwoMaterialCrate();
  m.materials = {{"mtl_one", {{"colorMap", "x~y"}}}, {"mtl_two", {{"colorMap", "x_y"}, {"normalMap", "sub/linked"}}}};
  const std::string root = dir_.Sub("clash"), images = root + "/raw/images/";
  ASSERT_FALSE(fixture::WriteModel(root, m).empty());
  for (const char* name : {"x~y", "x_y", "linked"}) {
    fixture::IwiDesc d;
    d.format = 11;
    d.picture = fixture::MakeTestPicture(8, 8, true, uint32_t(name[0] + name[1]));
    ASSERT_TRUE(fixture::WriteFile(images + name + ".iwi", fixture::WriteIwi(d)));
  }
  ASSERT_TRUE(fixture::WriteIwdFile(root + "/main/iw_00.iwd", {{{"images/sub/linked.iwi", Tree(images)["linked.iwi"]}}}));
  fs::remove(images + "linked.iwi");
  fs::create_directories(dir_.Sub("outside"));
  fs::create_directory_symlink(dir_.Sub("outside"), images + "sub");
  Xmodel model;
  Load(model, "clash", false);

  EXPECT_EQ(MoveImages(model, out_, {}), err::kUnknown);
  EXPECT_TRUE(log_.Contains(images + "x_y.iwi: its exported name is taken by " + images + "x~y.iwi")) << log_.Joined();
  EXPECT_EQ(NamesOf(Written(out_)), (Names{"linked.tga", "x_y.dds"}));
  ExportSettings beside;
  beside.export_images_local = false;
  EXPECT_EQ(MoveImages(model, out_, beside), err::kUnknown);
  EXPECT_TRUE(fs::is_empty(dir_.Sub("outside")));
  EXPECT_TRUE(log_.Contains("its folder in raw/images is a symbolic link")) << log_.Joined();

  ExportWritten written;
  ASSERT_EQ(ExportGLTF(model, dir_.Sub("gl"), false, &written), err::kSuccess);
  Files pngs = Tree(dir_.Sub("gl"));
  std::erase_if(pngs, [](const auto& f) { return !f.first.ends_with(".png"); });
  ASSERT_EQ(NamesOf(pngs), (Names{"images/linked.png", "images/x_y-2.png", "images/x_y.png"}));
  EXPECT_NE(pngs["images/x_y.png"], pngs["images/x_y-2.png"]);
}

TEST_F(TextureExportTest, MissingAndUnreadableImagesAreReportedOneByOne) {
  fs::remove(images_ + "crate_spc.iwi");
  std::vector<uint8_t> logo(64, 0);  // a format-6 file, as the stock logo_cod2.iwi
  logo[0] = 'I', logo[1] = 'W', logo[2] = 'i', logo[3] = 6, logo[4] = 6, logo[6] = 8, logo[8] = 8;
  fixture::WriteFile(images_ + "detail.iwi", logo);
  ASSERT_EQ(MoveImages(model_, out_, {}), err::kSuccess);
  EXPECT_TRUE(log_.Contains("^4IWI Not Set"));
  EXPECT_TRUE(log_.Contains("^1IWI Error^7: Unknown image format")) << log_.Joined();
  EXPECT_FALSE(fs::exists(out_ + "/detail.tga"));
  EXPECT_TRUE(fs::exists(out_ + "/crate_nml.tga"));
  Xmodel empty;
  EXPECT_EQ(MoveImages(empty, out_, {}), err::kNotLoaded);
}

TEST_F(TextureExportTest, WorkerMovesImagesWithModelExportsAndConvertsSingleImages) {
  XmodelThreaded worker;
  ExportSettings o;
  o.export_folder = dir_.Sub("export");
  o.export_images = true;
  worker.SetModelGame(Cod4);
  worker.Start(dir_.Sub("loose"));
  auto run = [&](uint32_t flags, ImageRef image = {}) {
    worker.SetExportSettings(o);
    worker.AddJob(dir_.Sub("loose/raw/xmodel/crate"), flags, image);
    worker.WaitIdle();
  };
  run(job::kLoad | job::kSurfaces | job::kExportXE);
  EXPECT_TRUE(log_.Contains("^5Moved Images Across")) << log_.Joined();
  EXPECT_TRUE(fs::exists(out_ + "/crate_nml.tga"));

  o.image_item = "normalMap:mtl_one";
  run(job::kExportTGA);
  EXPECT_TRUE(fs::exists(images_ + "crate_nml.tga"));
  EXPECT_TRUE(log_.Contains("Converted: crate_nml.iwi"));

  // A properties row names its image by place: the second material's
  // detail map, and a place past the library's end converts nothing.
  run(job::kExportTGA, ImageRef{1, 1});
  run(job::kExportTGA, ImageRef{1, 9});
  EXPECT_TRUE(fs::exists(images_ + "detail.tga"));
  EXPECT_TRUE(log_.Contains("^5ExportTGA^7:: Can't OpenFile")) << log_.Joined();

  fs::remove(images_ + "crate_spc.iwi");
  o.image_item = "specularMap:mtl_one";
  run(job::kExportIWI);
  EXPECT_TRUE(log_.Contains("^5ExportIWI^7:: Can't OpenFile")) << log_.Joined();

  // With textures off the model opens no image and logs no material line.
  o.load_model_textures = false;
  const size_t lines = log_.lines().size();
  run(job::kOpenModel);
  worker.Stop();
  for (size_t i = lines; i < log_.lines().size(); ++i) EXPECT_EQ(log_.lines()[i].find("^2Material^7"), std::string::npos);
  EXPECT_TRUE(worker.model.material_library.texture_sets.empty());
}

// The colour map two materials share leaves once, from the unit the texture
// step loaded, its DDS carrying the IWI's bytes of every face; the detail
// map read from disk and the single-image job keep the six faces too.
TEST_F(TextureExportTest, CubeMapsLeaveWithAllSixFacesOnEveryRoadAndASharedMapOnce) {
  fixture::IwiDesc d;
  d.faces = fixture::MakeCubeFaces(8);
  d.mips = false;
  for (const char* name : {"~-gcrate_col", "detail"})
    ASSERT_TRUE(fixture::WriteFile(images_ + name + ".iwi", fixture::WriteIwi(d)));
  PickTextures(model_);
  ASSERT_EQ(MoveImages(model_, out_, {}), err::kSuccess);
  size_t moved = 0;
  for (const std::string& line : log_.lines()) moved += line.find("^5Moved^7: ~-gcrate_col.iwi") != std::string::npos;
  EXPECT_EQ(moved, 1u) << log_.Joined();
  IwiImage source;
  ASSERT_TRUE(source.SetImagePath(images_ + "~-gcrate_col.iwi"));
  ASSERT_EQ(source.LoadIWI(), img::kSuccess);
  std::vector<uint8_t> dds = image_test::ReadBytes(out_ + "/_-gcrate_col.dds");
  ASSERT_EQ(dds.size(), 128u + 6 * 32);  // six 8 x 8 DXT1 faces
  EXPECT_EQ(dds[113], 0xFE);              // caps2: a cube map with every face
  EXPECT_EQ(std::vector<uint8_t>(dds.begin() + 128, dds.end()), image_test::Joined(source.stored_levels));
  ASSERT_EQ(ConvertImage(model_.material_library, model_.raw_dir, "colorMap:mtl_one", false), img::kSuccess);
  for (const std::string& tga : {out_ + "/detail.tga", images_ + "~-gcrate_col.tga"}) {
    std::vector<uint8_t> file = image_test::ReadBytes(tga);
    ASSERT_EQ(file.size(), 18u + 48 * 8 * 4) << tga;
    EXPECT_EQ(file[12] | file[13] << 8, 48);  // the six faces side by side
  }
}

}  // namespace
