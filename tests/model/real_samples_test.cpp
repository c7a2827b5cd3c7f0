// The readers over the real game files in ../shared/samples (skipped when
// the folder is absent): every model loads with the layout of its game and
// every xmodelsurfs file (every level of detail) is read to its last byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "model/xmodel.h"
#include "platform/file_bytes.h"
#include "tests/model/model_test_support.h"

namespace {

namespace fs = std::filesystem;
using model_test::SamplesDir;
using model_test::ScriptedAnswerer;

#define SKIP_WITHOUT_SAMPLES()                                                 \
  if (!fs::is_directory(SamplesDir())) GTEST_SKIP() << "no " << SamplesDir(); \
  static_assert(true)

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(folder))
    if (e.is_regular_file()) out.push_back(e.path().string());
  std::sort(out.begin(), out.end());
  return out;
}

TEST(RealSamples, EveryModelLoadsWithItsGamesLayoutAndItsSurfacesToTheLastByte) {
  SKIP_WITHOUT_SAMPLES();
  struct Tree {
    const char* folder;
    GameVersion game;
    GameVersion layout;
  };
  // The COD 5 tree holds its COD 4 ports twice, under their names and under
  // the names the COD 5 layout reads (first character lost), so under COD 5
  // they read without a question; the real switch case is tested below.
  const Tree kTrees[] = {
      {"cod4-modtools", Cod4, Cod4}, {"cod4-deathrun", Cod4, Cod4}, {"cod4-surf", Cod4, Cod4},
      {"bo-t7mod", Cod4, BO},        {"bo-t7mod", Cod5, BO},        {"bo-t7mod", BO, BO},
      {"waw-santaraus", Cod4, Cod4}, {"waw-santaraus", Cod5, Cod5},
      {"bo-ville", Cod4, BO},        {"bo-ville", BO, BO},
  };
  for (const Tree& tree : kTrees) {
    for (const std::string& path : FilesIn(SamplesDir() + "/" + tree.folder + "/raw/xmodel")) {
      SCOPED_TRACE(testing::Message() << path << " game " << tree.game);
      ScriptedAnswerer no(false);
      Xmodel m;
      m.game = tree.game;
      ErrorCode full = m.LoadxmodelFull(path);
      EXPECT_EQ(m.layout, tree.layout);
      EXPECT_EQ(m.game, tree.game);
      EXPECT_EQ(no.asked(), 0u);
      // Some trees hold an xmodel file without its parts and surfs: it must
      // still read whole.
      if (full == err::kFileNotFound && !fs::exists(m.parts_path)) {
        EXPECT_TRUE(m.xmodel_loaded);
        continue;
      }
      ASSERT_EQ(full, err::kSuccess) << ErrorText(full);
      ASSERT_EQ(m.LoadSurface(), err::kSuccess);
      std::vector<uint8_t> bytes;
      ASSERT_EQ(platform::ReadFileBytes(m.lods[0].surf_path, bytes), 0);
      EXPECT_EQ(m.consumed_bytes, bytes.size());
      EXPECT_EQ(m.lods[0].surfaces.size(), m.lods[0].materials.size());
    }
  }
}

TEST(RealSamples, EveryXmodelsurfsFileIsConsumedExactly) {
  SKIP_WITHOUT_SAMPLES();
  for (const auto& tree : fs::directory_iterator(SamplesDir())) {
    fs::path folder = tree.path() / "raw" / "xmodelsurfs";
    if (!fs::is_directory(folder)) continue;
    for (const std::string& path : FilesIn(folder.string())) {
      SCOPED_TRACE(path);
      std::vector<uint8_t> bytes;
      ASSERT_EQ(platform::ReadFileBytes(path, bytes), 0);
      ASSERT_GE(bytes.size(), 2u);
      // Version 62 files follow the Black Ops rules, 25 the COD 4 ones.
      Xmodel m;
      m.layout = bytes[0] == 62 ? BO : Cod4;
      m.bones.resize(255);
      XmodelLod lod;
      lod.materials.assign(1000, "mtl");
      ASSERT_EQ(m.ReadSurfaceBytes(lod, bytes), err::kSuccess);
      EXPECT_EQ(m.consumed_bytes, bytes.size());
    }
  }
}

TEST(RealSamples, BlackOpsVariantsReadWhole) {
  SKIP_WITHOUT_SAMPLES();
  std::string raw = SamplesDir() + "/bo-ville/raw/";
  // The crate's header holds a ".map" name before its physics preset.
  Xmodel crate;
  crate.game = BO;
  ASSERT_TRUE(crate.SetPath(raw + "xmodel/clutter_berlin_crate_01"));
  ASSERT_EQ(crate.LoadXmodel(), err::kSuccess);
  EXPECT_EQ(crate.source_map, "p_glo_crate_wood_01.map");
  EXPECT_EQ(crate.physics_preset, "trashcan_metal");
  EXPECT_EQ(crate.lod_names, (std::vector<std::string>{"p_glo_crate_wood_01_LOD01", "p_glo_crate_wood_01_LOD11",
                                                       "p_glo_crate_wood_01_LOD21", ""}));
  ASSERT_EQ(crate.lods.size(), 3u);
  for (const XmodelLod& lod : crate.lods) EXPECT_FALSE(lod.materials.empty());

  // One surface of the character's first level has the 48-byte longer
  // vertices; read at the wrong size its normals would not be unit vectors.
  Xmodel sergei;
  sergei.game = Cod4;
  ASSERT_EQ(sergei.LoadxmodelFull(raw + "xmodel/c_rus_sergei_fb"), err::kSuccess);
  EXPECT_EQ(sergei.source_map, "");
  ASSERT_EQ(sergei.LoadSurface(), err::kSuccess);
  const auto& surfaces = sergei.lods[0].surfaces;
  ASSERT_EQ(surfaces.size(), 11u);
  EXPECT_EQ(surfaces[10].vertex_count, 724);
  for (const XmodelVertex& v : surfaces[10].vertices)
    ASSERT_NEAR(std::hypot(v.normal[0], v.normal[1], v.normal[2]), 1.0, 1e-5);
}

TEST(RealSamples, NamesThatDifferInCaseResolve) {
  SKIP_WITHOUT_SAMPLES();
  // viewmodel_m16 names its level "viewmodel_M161"; the files are lower case.
  Xmodel m16;
  m16.game = Cod4;
  ASSERT_EQ(m16.LoadxmodelFull(SamplesDir() + "/cod4-modtools/raw/xmodel/viewmodel_m16"), err::kSuccess);
  EXPECT_EQ(m16.lod_names[0], "viewmodel_M161");
  EXPECT_TRUE(m16.lods[0].surf_file_exists);
  EXPECT_EQ(m16.LoadSurface(), err::kSuccess);

  // Black Ops parts files are "_LOD01", the surfs files "_lod01".
  Xmodel box;
  box.game = BO;
  ASSERT_EQ(box.LoadxmodelFull(SamplesDir() + "/bo-t7mod/raw/xmodel/p6_anim_zm_magic_box"), err::kSuccess);
  EXPECT_TRUE(box.parts_path.ends_with("_LOD01")) << box.parts_path;
  EXPECT_TRUE(box.lods[0].surf_file_exists);
  EXPECT_EQ(box.LoadSurface(), err::kSuccess);
}

}  // namespace
