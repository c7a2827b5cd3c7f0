// The texture export with a model: where each map lands and in which
// format, the "~" rules, images shared between materials, the worker's
// image steps and their log lines.
#include <gtest/gtest.h>

#include <filesystem>

#include "export/texture_export.h"
#include "jobs/image_convert.h"
#include "model/texture_pick.h"
#include "jobs/xmodel_threaded.h"
#include "tests/imaging/image_test_support.h"
#include "tests/shell/shell_test_support.h"
#include "tools/fixture/fixture_writer.h"
#include "tools/fixture/iwi_writer.h"

namespace fs = std::filesystem;

namespace {

// A crate with two materials: the first with a "~" colour map, a normal and
// a specular map; the second sharing that colour map, with a colour detail
// map and a normal map present only as DDS.
class TextureExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fixture::ModelFiles m = fixture::MakePropModel("crate", Cod4);
    m.xmodel.materials[0].names = {"mtl_one", "mtl_two"};
    m.surfs[0].surfaces.push_back(m.surfs[0].surfaces[0]);
    m.materials = {{"mtl_one", {{"colorMap", "~-gcrate_col"}, {"normalMap", "crate_nml"}, {"specularMap", "crate_spc"}}},
                   {"mtl_two", {{"colorMap", "~-gcrate_col"}, {"colorDetailMap", "detail"}, {"normalMap", "dds_nml"}}}};
    path_ = fixture::WriteModel(dir_.path(), m);
    images_ = dir_.path() + "/raw/images/";
    for (const char* name : {"~-gcrate_col", "crate_nml", "crate_spc", "detail"}) {
      fixture::IwiDesc d;
      d.format = 11;
      d.picture = fixture::MakeTestPicture(16, 8);
      ASSERT_TRUE(fixture::WriteFile(images_ + name + ".iwi", fixture::WriteIwi(d)));
    }
    ASSERT_TRUE(fixture::WriteFile(images_ + "dds_nml.dds", fixture::WriteDds(fixture::MakeTestPicture(8, 8), 13)));
    model_.game = Cod4;
    ASSERT_EQ(model_.LoadxmodelFull(path_), err::kSuccess);
    out_ = dir_.Sub("export/crate/images");
  }

  std::vector<std::string> Files(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  size_t Count(const std::string& part) {
    size_t n = 0;
    for (const std::string& line : log_.lines()) n += line.find(part) != std::string::npos;
    return n;
  }

  image_test::TempDir dir_;
  shell_test::LogCapture log_;
  Xmodel model_;
  std::string path_, images_, out_;
};

TEST_F(TextureExportTest, LocalExportTurnsTildesAndWritesNonColourMapsAsTga) {
  PickTextures(model_);
  ASSERT_EQ(MoveImages(model_, out_, {}), err::kSuccess);
  EXPECT_EQ(Files(out_), (std::vector<std::string>{"_-gcrate_col.dds", "crate_nml.tga", "crate_spc.tga",
                                                   "dds_nml.tga", "detail.tga"}));
  // The shared colour map: one file, one line.
  EXPECT_EQ(Count("^5Moved^7: ~-gcrate_col.iwi"), 1u) << log_.Joined();
  // The DDS carries the IWI bytes unchanged.
  IwiImage source;
  ASSERT_TRUE(source.SetImagePath(images_ + "~-gcrate_col.iwi"));
  ASSERT_EQ(source.LoadIWI(), img::kSuccess);
  std::vector<uint8_t> dds = image_test::ReadBytes(out_ + "/_-gcrate_col.dds");
  ASSERT_GT(dds.size(), 128u);
  EXPECT_TRUE(std::equal(source.stored_levels[0].begin(), source.stored_levels[0].end(), dds.begin() + 128));
}

TEST_F(TextureExportTest, TgaSettingMakesColourMapsTgaLoadedOrNot) {
  ExportSettings settings;
  settings.export_img_as_tga = true;
  ASSERT_EQ(MoveImages(model_, out_, settings), err::kSuccess);
  EXPECT_TRUE(fs::exists(out_ + "/_-gcrate_col.tga"));
  // Without the texture step a colour map still follows the DDS setting.
  fs::remove_all(out_);
  ASSERT_EQ(MoveImages(model_, out_, {}), err::kSuccess);
  EXPECT_TRUE(fs::exists(out_ + "/_-gcrate_col.dds"));
  // Only the colour maps when "export_images_col" is on.
  fs::remove_all(out_);
  settings.export_images_col = true;
  ASSERT_EQ(MoveImages(model_, out_, settings), err::kSuccess);
  EXPECT_EQ(Files(out_), std::vector<std::string>{"_-gcrate_col.tga"});
  // Beside the sources: a DDS source needs no DDS of itself, but as a
  // normal map it still becomes TGA.
  fs::remove_all(out_);
  settings = {};
  settings.export_images_local = false;
  ASSERT_EQ(MoveImages(model_, out_, settings), err::kSuccess);
  EXPECT_TRUE(fs::exists(images_ + "~-gcrate_col.dds"));
  EXPECT_TRUE(fs::exists(images_ + "dds_nml.tga"));
  EXPECT_TRUE(Files(out_).empty());
}

// The PNG setting: colour maps, then every map; the OBJ's MTL names the
// files written, and ImageMagick reads them as PNG.
TEST_F(TextureExportTest, PngSettingWritesColourMapsOrEveryMapAsPng) {
  ExportSettings settings;
  settings.export_img_png = 1;
  ASSERT_EQ(MoveImages(model_, out_, settings), err::kSuccess);
  EXPECT_EQ(Files(out_), (std::vector<std::string>{"_-gcrate_col.png", "crate_nml.tga", "crate_spc.tga",
                                                   "dds_nml.tga", "detail.tga"}));
  fs::remove_all(out_);
  settings.export_img_png = 2;
  ASSERT_EQ(MoveImages(model_, out_, settings), err::kSuccess);
  EXPECT_EQ(Files(out_), (std::vector<std::string>{"_-gcrate_col.png", "crate_nml.png", "crate_spc.png",
                                                   "dds_nml.png", "detail.png"}));
  MaterialImage colour;
  colour.slot = "colorMap";
  colour.dds_file = "~-gcrate_col.dds";
  EXPECT_EQ(ExportedImageFile(colour, ImageFilesOf(settings), true), "_-gcrate_col.png");
  if (!image_test::MagickDir().empty())
    EXPECT_EQ(image_test::Identify(out_ + "/crate_nml.png", "%m"), "PNG");
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
  worker.SetExportSettings(o);
  worker.SetModelGame(Cod4);
  worker.Start(dir_.path());
  worker.AddJob(path_, job::kLoad | job::kSurfaces | job::kExportXE);
  worker.WaitIdle();
  EXPECT_TRUE(log_.Contains("^5Moved Images Across")) << log_.Joined();
  EXPECT_TRUE(fs::exists(out_ + "/crate_nml.tga"));

  o.image_item = "normalMap:mtl_one";
  worker.SetExportSettings(o);
  worker.AddJob(path_, job::kExportTGA);
  o.image_item = "colorMap:mtl_nothing";
  worker.WaitIdle();
  EXPECT_TRUE(fs::exists(images_ + "crate_nml.tga"));
  EXPECT_TRUE(log_.Contains("Converted: crate_nml.iwi"));

  // A properties row names its image by place: the second material's
  // detail map, and a place past the library's end converts nothing.
  worker.AddJob(path_, job::kExportTGA, ImageRef{1, 1});
  worker.AddJob(path_, job::kExportTGA, ImageRef{1, 9});
  worker.WaitIdle();
  EXPECT_TRUE(fs::exists(images_ + "detail.tga"));
  EXPECT_TRUE(log_.Contains("^5ExportTGA^7:: Can't OpenFile")) << log_.Joined();

  fs::remove(images_ + "crate_spc.iwi");
  o.image_item = "specularMap:mtl_one";
  worker.SetExportSettings(o);
  worker.AddJob(path_, job::kExportIWI);
  worker.WaitIdle();
  EXPECT_TRUE(log_.Contains("^5ExportIWI^7:: Can't OpenFile")) << log_.Joined();
  worker.Stop();
}

TEST_F(TextureExportTest, CubeMapsLeaveWithAllSixFacesOnEveryRoad) {
  fixture::IwiDesc d;
  d.faces = fixture::MakeCubeFaces(8);
  d.mips = false;
  for (const char* name : {"~-gcrate_col", "detail"})
    ASSERT_TRUE(fixture::WriteFile(images_ + name + ".iwi", fixture::WriteIwi(d)));
  // The colour map from the unit the texture step loaded, the detail map
  // read from disk, and the single-image job.
  PickTextures(model_);
  ASSERT_EQ(MoveImages(model_, out_, {}), err::kSuccess);
  std::vector<uint8_t> dds = image_test::ReadBytes(out_ + "/_-gcrate_col.dds");
  ASSERT_EQ(dds.size(), 128u + 6 * 32);  // six 8 x 8 DXT1 faces
  EXPECT_EQ(dds[113], 0xFE);              // caps2: a cube map with every face
  ASSERT_EQ(ConvertImage(model_.material_library, model_.raw_dir, "colorMap:mtl_one", false), img::kSuccess);
  for (const std::string& tga : {out_ + "/detail.tga", images_ + "~-gcrate_col.tga"}) {
    std::vector<uint8_t> file = image_test::ReadBytes(tga);
    ASSERT_EQ(file.size(), 18u + 48 * 8 * 4) << tga;
    EXPECT_EQ(file[12] | file[13] << 8, 48);  // the six faces side by side
  }
}

TEST_F(TextureExportTest, TexturesOffOpensNoImageAndLogsNoMaterialLine) {
  XmodelThreaded worker;
  ExportSettings o;
  o.load_model_textures = false;
  worker.SetExportSettings(o);
  worker.SetModelGame(Cod4);
  worker.Start(dir_.path());
  worker.AddJob(path_, job::kOpenModel);
  worker.WaitIdle();
  worker.Stop();
  EXPECT_FALSE(log_.Contains("^2Material^7"));
  EXPECT_TRUE(worker.model.material_library.texture_sets.empty());
}

}  // namespace
