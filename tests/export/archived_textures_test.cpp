// A game whose images are only inside "main/*.iwd": the texture step loads
// them, the properties rows say where they come from, and the texture
// export writes exactly the files it writes when the images are loose, in
// every image setting.
#include <gtest/gtest.h>

#include <filesystem>

#include "export/texture_export.h"
#include "jobs/image_convert.h"
#include "jobs/model_rows.h"
#include "model/texture_pick.h"
#include "model/xmodel.h"
#include "tests/imaging/image_test_support.h"
#include "tests/imaging/iwd_test_support.h"
#include "tools/fixture/fixture_writer.h"
#include "tools/fixture/iwi_writer.h"

namespace fs = std::filesystem;

namespace {

using iwd_test::Tree;
using Files = std::map<std::string, std::vector<uint8_t>>;

// Moves every ".iwi" image of `root`/raw/images into `root`/main/<archive>,
// as deflated entries "images/<path>"; other files stay.
void PackImages(const std::string& root, const std::string& archive) {
  fixture::IwdDesc desc;
  for (const auto& [rel, bytes] : Tree(root + "/raw/images")) {
    if (!rel.ends_with(".iwi")) continue;
    desc.entries.push_back({"images/" + rel, bytes});
    fs::remove(root + "/raw/images/" + rel);
  }
  ASSERT_FALSE(desc.entries.empty());
  ASSERT_TRUE(fixture::WriteIwdFile(root + "/main/" + archive, desc));
}

struct ExportRun {
  Files files;
  size_t units_loaded = 0;
  std::vector<std::string> rows;
};

// Loads the model, runs the texture step and exports its textures into
// `out`; with `settings.export_images_local` off, into raw/images instead,
// which is what is returned then.
ExportRun Export(const std::string& xmodel_path, GameVersion game, const std::string& out,
                 const ExportSettings& settings) {
  ExportRun run;
  Xmodel model;
  model.game = game;
  EXPECT_EQ(model.LoadxmodelFull(xmodel_path), err::kSuccess) << xmodel_path;
  PickTextures(model);
  for (const MaterialTextures& set : model.material_library.texture_sets)
    for (bool loaded : set.loaded) run.units_loaded += loaded;
  for (const DetailRow& row : PropertyRows(model))
    if (row.depth == 2) run.rows.push_back(row.text + " " + row.icon);
  EXPECT_EQ(MoveImages(model, out, settings), err::kSuccess);
  run.files = Tree(settings.export_images_local ? out : model.raw_dir + "images");
  std::erase_if(run.files, [](const auto& file) { return file.first.ends_with(".iwi"); });
  return run;
}

TEST(ArchivedTextures, ExportWritesTheFilesOfLooseImagesInEverySetting) {
  image_test::TempDir dir;
  fixture::ModelFiles m = fixture::MakePropModel("crate", Cod4);
  m.xmodel.materials[0].names = {"mtl_one", "mtl_two"};
  m.surfs[0].surfaces.push_back(m.surfs[0].surfaces[0]);
  m.materials = {{"mtl_one", {{"colorMap", "~-gcrate_col"}, {"normalMap", "crate_nml"}, {"specularMap", "Crate_Spc"}}},
                 {"mtl_two", {{"colorMap", "~-gcrate_col"}, {"colorDetailMap", "detail"}, {"normalMap", "missing"}}}};
  for (const char* root : {"/loose", "/archived"}) {
    ASSERT_FALSE(fixture::WriteModel(dir.path() + root, m).empty());
    uint32_t seed = 1;
    for (const char* name : {"~-gcrate_col", "crate_nml", "crate_spc", "detail"}) {
      fixture::IwiDesc d;
      d.format = seed == 1 ? 11 : 1;  // DXT5 colour map, ARGB8 others
      d.picture = fixture::MakeTestPicture(16, 8, seed == 1, seed);
      ++seed;
      ASSERT_TRUE(fixture::WriteFile(dir.path() + root + "/raw/images/" + name + ".iwi", fixture::WriteIwi(d)));
    }
    // A loose DDS twin: the IWI comes first, loose or archived.
    ASSERT_TRUE(fixture::WriteFile(dir.path() + root + "/raw/images/detail.dds",
                                   fixture::WriteDds(fixture::MakeTestPicture(8, 8), 13)));
  }
  PackImages(dir.path() + "/archived", "iw_00.iwd");

  ExportSettings tga, png_all, beside;
  tga.export_img_as_tga = true;
  png_all.export_img_png = 2;
  beside.export_images_local = false;
  int i = 0;
  for (const ExportSettings& settings : {ExportSettings{}, tga, png_all, beside}) {
    SCOPED_TRACE(i);
    const std::string out = "/out" + std::to_string(i++);
    ExportRun loose = Export(dir.path() + "/loose/raw/xmodel/crate", Cod4, dir.path() + "/loose" + out, settings);
    ExportRun archived =
        Export(dir.path() + "/archived/raw/xmodel/crate", Cod4, dir.path() + "/archived" + out, settings);
    ASSERT_EQ(loose.files.size(), settings.export_images_local ? 4u : 5u);  // and detail.dds
    EXPECT_EQ(archived.files, loose.files);
    EXPECT_EQ(archived.units_loaded, loose.units_loaded);
    EXPECT_EQ(loose.units_loaded, 3u);
    // Beside the sources the export wrote into raw/images: the next round
    // starts from the archive again.
    if (!settings.export_images_local)
      for (const auto& [rel, bytes] : Tree(dir.path() + "/archived/raw/images"))
        if (rel != "detail.dds") fs::remove(dir.path() + "/archived/raw/images/" + rel);
  }
  // The single-image conversion writes beside its source too.
  for (const char* root : {"/loose", "/archived"}) {
    Xmodel model;
    model.game = Cod4;
    ASSERT_EQ(model.LoadxmodelFull(dir.path() + root + "/raw/xmodel/crate"), err::kSuccess);
    EXPECT_EQ(ConvertImageAt(model.material_library, model.raw_dir, 0, 1, false), img::kSuccess) << root;
  }
  const std::vector<uint8_t> converted = iwd_test::ReadBytes(dir.path() + "/archived/raw/images/crate_nml.tga");
  EXPECT_FALSE(converted.empty());
  EXPECT_EQ(converted, iwd_test::ReadBytes(dir.path() + "/loose/raw/images/crate_nml.tga"));
  EXPECT_EQ(Export(dir.path() + "/archived/raw/xmodel/crate", Cod4, dir.path() + "/rows", {}).rows,
            (std::vector<std::string>{
                "colorMap: ~-gcrate_col.iwi (main/iw_00.iwd) tree_tick", "normalMap: crate_nml.iwi (main/iw_00.iwd) tree_tick",
                "specularMap: Crate_Spc.iwi (main/iw_00.iwd) tree_tick", "colorMap: ~-gcrate_col.iwi (main/iw_00.iwd) tree_tick",
                "colorDetailMap: detail.iwi (main/iw_00.iwd) tree_tick", "normalMap: missing.iwi tree_cross"}));
}

}  // namespace
