// The bundled sample tree read back by our readers: each model loads in its
// tree, the humanoid is skinned as promised, and the ported model sets off
// the auto game switch in the COD 5 tree.
#include <gtest/gtest.h>

#include <cmath>

#include "model/xmodel.h"
#include "platform/file_bytes.h"
#include "tests/model/model_test_support.h"
#include "tools/fixture/sample_tree.h"

namespace {

using model_test::ScriptedAnswerer;
using model_test::TempDir;

GameVersion TreeGame(const std::string& path) {
  if (path.find("/cod4/") != std::string::npos) return Cod4;
  if (path.find("/cod5/") != std::string::npos) return Cod5;
  return BO;
}

TEST(SampleTree, EveryModelLoadsInItsTreeAndReadsToTheLastByte) {
  TempDir dir;
  std::vector<std::string> paths = fixture::WriteSampleTree(dir.path());
  ASSERT_EQ(paths.size(), 10u);
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    ScriptedAnswerer yes(true);
    Xmodel m;
    m.game = TreeGame(path);
    ASSERT_EQ(m.LoadxmodelFull(path), err::kSuccess) << ErrorText(m.last_error);
    bool ported = path.ends_with("fixture_ported_crate");
    EXPECT_EQ(yes.asked(), ported ? 1u : 0u);
    GameVersion expected = ported ? Cod4 : path.ends_with("fixture_barrel_t5") ? BO : m.game;
    EXPECT_EQ(m.layout, expected);
    ASSERT_EQ(m.LoadSurface(), err::kSuccess);
    std::vector<uint8_t> bytes;
    ASSERT_EQ(platform::ReadFileBytes(m.lods[0].surf_path, bytes), 0);
    EXPECT_EQ(m.consumed_bytes, bytes.size());
  }
}

TEST(SampleTree, SoldierIsAMultiMeshModelWithUpToFourInfluencesSummingToOne) {
  TempDir dir;
  Xmodel m;
  ASSERT_EQ(model_test::WriteAndLoadSurfaces(dir.path(), fixture::MakeSoldierModel("soldier", BO), m, BO),
            err::kSuccess);
  EXPECT_GE(m.bones.size(), 20u);
  EXPECT_EQ(m.BoneName(1), "j_mainroot");
  EXPECT_EQ(m.lod_count, 2);
  EXPECT_EQ(m.material_library.names.size(), 3u);
  const XmodelLod& lod = m.lods[0];
  ASSERT_EQ(lod.surfaces.size(), 4u);
  size_t blended = 0;
  for (const XmodelSurface& s : lod.surfaces) {
    EXPECT_TRUE(s.weighted);
    for (size_t v = 0; v < s.vertices.size(); ++v) {
      auto entries = s.Entries(v);
      ASSERT_LE(entries.size(), 3u);  // plus the primary bone: at most four
      double others = 0;
      for (const InfluenceEntry& e : entries) {
        EXPECT_NE(e.bone, s.influences[v].primary_bone);
        others += InfluenceWeight(e);
      }
      EXPECT_LT(others, 1.0);  // the primary keeps the rest
      blended += !entries.empty();
    }
  }
  EXPECT_GT(blended, 0u);
}

TEST(SampleTree, BigModelFillsTheSixteenBitCountsAndLoads) {
  TempDir dir;
  Xmodel m;
  ASSERT_EQ(model_test::WriteAndLoadSurfaces(dir.path(), fixture::MakeBigModel(2, 32000, 4, BO), m, Cod5),
            err::kSuccess);
  ASSERT_EQ(m.lods[0].surfaces.size(), 2u);
  const XmodelSurface& s = m.lods[0].surfaces[1];
  EXPECT_EQ(s.vertex_count, 32000);
  EXPECT_GT(s.triangle_count, 30000);
  EXPECT_EQ(s.Entries(31999).size(), 3u);
  EXPECT_EQ(m.bones.size(), 64u);
}

}  // namespace
