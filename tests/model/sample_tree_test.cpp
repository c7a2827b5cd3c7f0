// The bundled big sample model read back by our readers (the whole tree is
// loaded by the command-line smoke test): it fills the 16-bit counts.
#include <gtest/gtest.h>

#include "model/xmodel.h"
#include "tests/model/model_test_support.h"
#include "tools/fixture/sample_tree.h"

namespace {

using model_test::TempDir;

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
