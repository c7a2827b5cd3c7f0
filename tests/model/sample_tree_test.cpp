// The bundled sample models read back by our readers (the whole tree is
// loaded by the command-line smoke test): the humanoid is skinned as
// promised and the big model fills the 16-bit counts.
#include <gtest/gtest.h>

#include <cmath>

#include "model/xmodel.h"
#include "tests/model/model_test_support.h"
#include "tools/fixture/sample_tree.h"

namespace {

using model_test::TempDir;

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
