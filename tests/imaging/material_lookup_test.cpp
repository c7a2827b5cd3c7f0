// Material files and the texture pick: slot and image names as the file
// holds them, existence of each image, hostile tables, and which images the
// worker's texture step loads into which unit.
#include <gtest/gtest.h>

#include <algorithm>

#include <tuple>

#include "model/texture_pick.h"
#include "model/xmodel.h"
#include "tests/imaging/image_test_support.h"
#include "tests/shell/shell_test_support.h"
#include "tools/fixture/fixture_writer.h"
#include "tools/fixture/iwi_writer.h"

namespace {

using fixture::MaterialDesc;

// A raw folder with `materials` and, as IWI, the images named in `iwi`
// and, as DDS, those in `dds`.
class MaterialTree {
 public:
  MaterialTree() { raw_ = dir_.Sub("raw/"); }
  void Material(const MaterialDesc& d) { fixture::WriteFile(raw_ + "materials/" + d.name, fixture::WriteMaterial(d)); }
  void Iwi(const std::string& name) {
    fixture::WriteFile(raw_ + "images/" + name + ".iwi", fixture::WriteIwi(image_test::Desc(6, 11, 8, 8)));
  }
  void Dds(const std::string& name) {
    fixture::WriteFile(raw_ + "images/" + name + ".dds", fixture::WriteDds(fixture::MakeTestPicture(8, 8), 11));
  }
  MaterialLibrary Library() {
    MaterialLibrary lib;
    EXPECT_TRUE(lib.SetRoot(raw_));
    return lib;
  }

 private:
  image_test::TempDir dir_;
  std::string raw_;
};

TEST(MaterialFile, ReadsSlotsImagesAndWhichFilesExist) {
  MaterialTree tree;
  tree.Material({"mtl_a", {{"colorMap", "a_col"}, {"normalMap", "a_nml"}, {"specularMap", "a_spc"}}});
  tree.Iwi("a_col");
  tree.Dds("a_nml");
  MaterialLibrary lib = tree.Library();
  MaterialEntry e;
  ASSERT_EQ(lib.LoadMaterial("mtl_a", e), err::kSuccess);
  ASSERT_EQ(e.image_count, 3);
  EXPECT_EQ(std::make_tuple(e.images[0].slot, e.images[0].iwi_file, e.images[1].dds_file),
            std::make_tuple("colorMap", "a_col.iwi", "a_nml.dds"));
  // Which of the IWI and the DDS exist, image by image.
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
  std::vector<uint8_t> climbing = fixture::WriteMaterial({"m", {{"colorMap", "../../secret"}}});
  ASSERT_EQ(lib.LoadMaterialBytes(climbing, e), err::kSuccess);
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

}  // namespace
