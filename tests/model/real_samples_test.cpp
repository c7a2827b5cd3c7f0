// The readers over the real game files in ../shared/samples (skipped when
// the folder is absent): every model loads with the layout of its game and
// the xmodelsurfs file of every level of detail is read to its last byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "platform/file_bytes.h"
#include "tests/model/model_test_support.h"

namespace {

namespace fs = std::filesystem;
using namespace model_test;

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(folder))
    if (e.is_regular_file()) out.push_back(e.path().string());
  std::sort(out.begin(), out.end());
  return out;
}

TEST(RealSamples, EveryModelLoadsWithItsGamesLayoutAndItsSurfacesToTheLastByte) {
  if (!fs::is_directory(SamplesDir())) GTEST_SKIP() << "no " << SamplesDir();
  struct Tree {
    const char* folder;
    GameVersion game, layout;
  };
  // The COD 5 tree holds its COD 4 ports twice, under their names and under
  // the names the COD 5 layout reads (first character lost), so under COD 5
  // they read without a question (the switch: auto_game_switch_test).
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
      EXPECT_EQ(std::make_tuple(m.layout, m.game, no.asked()), std::make_tuple(tree.layout, tree.game, size_t(0)));
      // The crate's tree holds its xmodel file alone: it must still read
      // whole. Every other model's files are found, whatever the case of
      // their names (viewmodel_m16 names its level "viewmodel_M161", Black
      // Ops parts files end "_LOD01" and surfs files "_lod01").
      if (path.ends_with("/clutter_berlin_crate_01")) {
        EXPECT_TRUE(full == err::kFileNotFound && m.xmodel_loaded);
        continue;
      }
      ASSERT_EQ(full, err::kSuccess) << ErrorText(full);
      ASSERT_EQ(m.LoadSurface(), err::kSuccess);
      EXPECT_EQ(m.lods[0].surfaces.size(), m.lods[0].materials.size());
      for (size_t i = 0; i < m.lods.size(); ++i) {  // every level, read to its last byte
        std::vector<uint8_t> bytes;
        ASSERT_EQ(platform::ReadFileBytes(m.lods[i].surf_path, bytes), 0) << m.lods[i].surf_path;
        if (i > 0) {
          ASSERT_EQ(m.ReadSurfaceBytes(m.lods[i], bytes), err::kSuccess) << i;
        }
        EXPECT_EQ(m.consumed_bytes, bytes.size()) << i;
      }
    }
  }
  // The one surfs file no model of the trees names.
  std::vector<uint8_t> bytes;
  const std::string knife_path = SamplesDir() + "/cod4-modtools/raw/xmodelsurfs/viewmodel_parabolic_knife1";
  ASSERT_EQ(platform::ReadFileBytes(knife_path, bytes), 0);
  Xmodel knife;
  knife.layout = Cod4;
  knife.bones.resize(255);
  XmodelLod lod;
  lod.materials.assign(1000, "mtl");
  ASSERT_EQ(knife.ReadSurfaceBytes(lod, bytes), err::kSuccess);
  EXPECT_EQ(knife.consumed_bytes, bytes.size());
}

}  // namespace
