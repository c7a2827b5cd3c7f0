// Material files and the texture pick: slot and image names as the file
// holds them, existence of each image, hostile tables, and which images the
// worker's texture step loads into which unit; every material of the games'
// own in ../shared/samples resolves its slots; normal maps rebuilt as RGB.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <tuple>

#include "imaging/normal_map.h"
#include "imaging/png_file.h"
#include "model/texture_pick.h"
#include "model/xmodel.h"
#include "tests/imaging/image_test_support.h"
#include "tests/shell/shell_test_support.h"
#include "tools/fixture/fixture_writer.h"

namespace fs = std::filesystem;

namespace {

using fixture::MaterialDesc;

// A raw folder with its materials and images, and the library over it.
struct MaterialTree {
  image_test::TempDir dir;
  const std::string raw = dir.Sub("raw/");
  void Material(const MaterialDesc& d) { fixture::WriteFile(raw + "materials/" + d.name, fixture::WriteMaterial(d)); }
  MaterialLibrary Library() {
    MaterialLibrary lib;
    EXPECT_TRUE(lib.SetRoot(raw));
    return lib;
  }
};

TEST(MaterialFile, ReadsSlotsImagesAndWhichFilesExist) {
  MaterialTree tree;
  tree.Material({"mtl_a", {{"colorMap", "a_col"}, {"normalMap", "a_nml"}, {"specularMap", "a_spc"}}});
  fixture::WriteFile(tree.raw + "images/a_col.iwi", fixture::WriteIwi(image_test::Desc(6, 11, 8, 8)));
  fixture::WriteFile(tree.raw + "images/a_nml.dds", fixture::WriteDds(fixture::MakeTestPicture(8, 8), 11));
  MaterialLibrary lib = tree.Library();
  MaterialEntry e;
  ASSERT_EQ(lib.LoadMaterial("mtl_a", e), err::kSuccess);
  ASSERT_EQ(e.image_count, 3);
  EXPECT_EQ(std::make_tuple(e.images[0].slot, e.images[0].iwi_file, e.images[1].dds_file),
            std::make_tuple("colorMap", "a_col.iwi", "a_nml.dds"));
  std::vector<std::pair<bool, bool>> exist;
  for (const auto& image : e.images) exist.emplace_back(image.iwi_exists, image.dds_exists);
  EXPECT_EQ(exist, (std::vector<std::pair<bool, bool>>{{true, false}, {false, true}, {false, false}}));

  // The count is the low sixteen bits (the stock files keep small numbers
  // above it); zero gives no images; names are cut at 50 and 200 bytes.
  MaterialDesc d{"mtl_b", {{std::string(60, 's'), std::string(230, 'i')}}};
  d.after_count = 2;
  tree.Material(d);
  tree.Material({"mtl_empty", {}});
  lib = tree.Library();
  ASSERT_EQ(lib.LoadMaterial("mtl_b", e), err::kSuccess);
  ASSERT_EQ(e.image_count, 1);
  EXPECT_EQ(e.images[0].slot, std::string(50, 's'));
  EXPECT_EQ(e.images[0].iwi_file, std::string(200, 'i') + ".iwi");
  ASSERT_EQ(lib.LoadMaterial("mtl_empty", e), err::kSuccess);
  EXPECT_TRUE(e.images.empty());
}

TEST(MaterialFile, HostileTablesEndWithACodeAndNoImages) {
  MaterialLibrary lib;
  MaterialEntry e;
  std::vector<uint8_t> file = fixture::WriteMaterial({"m", {{"colorMap", "x"}, {"normalMap", "y"}}});
  // S = -1, a table past the end, the second image name's offset outside the file.
  for (auto [at, b0, b1] : {std::tuple{48, 0xFF, 0xFF}, std::tuple{48, 200, 0}, std::tuple{64 + 12 + 8, 0xF0, 0}}) {
    std::vector<uint8_t> bad = file;
    bad[size_t(at)] = uint8_t(b0), bad[size_t(at) + 1] = uint8_t(b1 ? b1 : file[size_t(at) + 1]);
    EXPECT_EQ(lib.LoadMaterialBytes(bad, e), err::kOutOfRange) << at;
    EXPECT_TRUE(e.images.empty());
  }
  // Names that would lead out of their folders are never opened.
  EXPECT_EQ(lib.LoadMaterial("../../etc/passwd", e), err::kInvalidPath);
  ASSERT_EQ(lib.LoadMaterialBytes(fixture::WriteMaterial({"m", {{"colorMap", "../../secret"}}}), e), err::kSuccess);
  EXPECT_FALSE(e.images[0].iwi_exists);
}

// A model whose two materials share their colour map; the first also has a
// normal, a specular and an unknown slot, the second a missing normal map.
TEST(TexturePick, LoadsColourNormalSpecularOnceEach) {
  image_test::TempDir dir;
  shell_test::LogCapture log;
  fixture::ModelFiles m = fixture::MakePropModel("crate", Cod4);
  m.xmodel.materials[0].names = {"mtl_one", "mtl_two"};
  m.surfs[0].surfaces.push_back(m.surfs[0].surfaces[0]);
  m.materials = {{"mtl_one", {{"colorMap", "~-gshared_col"}, {"normalMap", "one_nml"},
                              {"specularMap", "one_spc"}, {"colorDetailMap", "detail"}}},
                 {"mtl_two", {{"Diffuse_MapSampler", "~-gshared_col"}, {"normalMap", "two_nml"}}}};
  const std::string path = fixture::WriteModel(dir.path(), m);
  for (const char* name : {"~-gshared_col", "one_nml", "one_spc", "detail"})
    ASSERT_TRUE(fixture::WriteFile(dir.path() + "/raw/images/" + name + ".iwi",
                                   fixture::WriteIwi(image_test::Desc(6, 13, 8, 8))));
  Xmodel model;
  model.game = Cod4;
  ASSERT_EQ(model.LoadxmodelFull(path), err::kSuccess);
  Logger().attach_model_log();
  Logger().clear_model_log();
  PickTextures(model);
  const auto& sets = model.material_library.texture_sets;
  ASSERT_EQ(sets.size(), 2u);
  EXPECT_EQ(sets[0].loaded, (std::array<bool, 3>{true, true, true}));
  EXPECT_EQ(sets[0].units[kColourUnit].name, "~-gshared_col.iwi");
  // The shared colour map was handled by the first material.
  EXPECT_EQ(sets[1].loaded, (std::array<bool, 3>{false, false, false}));
  EXPECT_TRUE(log.Contains("^1IWI Error(^4two_nml.iwi^7): Can't OpenFile")) << log.Joined();
  // Summed up once in the log panel as well.
  const std::vector<std::string> panel = Logger().model_log_lines();
  EXPECT_EQ(std::count(panel.begin(), panel.end(), "------ WARNING: 1 image not found: two_nml.iwi"), 1)
      << log.Joined();
  EXPECT_TRUE(log.Contains("^2Material^7: mtl_one") && log.Contains("^2Material^7: mtl_two"));
  EXPECT_EQ(model.progress.load(), 20);
}

// A normal map rebuilt as RGB: flat is 128, 128, 255; X comes from alpha,
// Y from green turned to point up the picture.
TEST(NormalMaps, FlatIsStraightUpAndTheStoredChannelsGiveXAndY) {
  std::vector<uint32_t> argb = {0x80808080u, 0xFF808080u, 0x80800080u};
  RebuildNormalMap(argb);
  EXPECT_EQ(argb, (std::vector<uint32_t>{0xFF8080FFu, 0xFFFF8080u, 0xFF80FF80u}));
}

// Every material's slots, and every normal map a material names: rebuilt,
// its pixels are unit normals.
TEST(RealMaterials, EveryMaterialResolvesItsSlotsAndItsNormalMapIsUnitNormals) {
  const std::vector<fs::path> files = image_test::SampleFiles("materials");
  if (files.empty()) GTEST_SKIP() << "no samples in " << image_test::SamplesDir();
  size_t normal_maps = 0;
  for (const fs::path& f : files) {
    SCOPED_TRACE(f.string());
    MaterialLibrary library;
    ASSERT_TRUE(library.SetRoot(f.parent_path().parent_path().string() + "/"));
    MaterialEntry entry;
    ASSERT_EQ(library.LoadMaterial(f.filename().string(), entry), err::kSuccess);
    ASSERT_GT(entry.image_count, 0);
    ASSERT_EQ(entry.images.size(), size_t(entry.image_count));
    EXPECT_EQ(entry.images[0].slot, "colorMap");
    for (const MaterialImage& image : entry.images) {
      EXPECT_TRUE(!image.slot.empty() && image.iwi_file.size() > 4 && image.iwi_file.ends_with(".iwi")) << image.iwi_file;
      IwiImage iwi;
      if (image.slot != "normalMap" || !iwi.SetImagePath(library.images_dir + image.iwi_file) ||
          iwi.LoadIWI() != img::kSuccess) continue;
      std::vector<uint32_t> argb;
      int32_t w = 0, h = 0;
      ASSERT_EQ(DecodeTopLevel(iwi, argb, w, h), img::kSuccess);
      RebuildNormalMap(argb);
      size_t unit = 0;
      for (uint32_t p : argb) {
        const double x = (double((p >> 16) & 0xFF) - 128) / 127, y = (double((p >> 8) & 0xFF) - 128) / 127,
                     z = (double(p & 0xFF) - 128) / 127;
        unit += std::abs(std::sqrt(x * x + y * y + z * z) - 1) <= 0.02;
      }
      EXPECT_GE(unit, argb.size() * 99 / 100) << image.iwi_file;
      ++normal_maps;
    }
  }
  EXPECT_GT(normal_maps, 0u);
}

}  // namespace
