// The xmodelparts reader: root bones without records, 19-byte transform
// records, the 32766.5 rotation decoding, names for every bone.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "tests/model/model_test_support.h"

namespace {

using namespace model_test;

// A crate whose parts file is `parts`.
fixture::ModelFiles WithParts(fixture::XmodelpartsDesc parts) {
  fixture::ModelFiles m = fixture::MakePropModel("parts_probe", Cod4);
  m.parts = std::move(parts);
  return m;
}

fixture::PartsBone Bone(const char* name, uint8_t parent, float x, std::array<int16_t, 3> q) {
  return {name, parent, {x, -x, 2 * x}, q};
}

// Roots come first, without records; records divide by 32766.5 (so 32767
// decodes slightly above 1) and w is the positive root, clamped at 0; a
// quaternion with negative w is flipped by the writer and comes back as the
// same rotation.
TEST(XmodelpartsReader, RootsComeFirstWithoutRecordsThenRecordsInOrder) {
  double q[4] = {0.2, -0.5, 0.4, -std::sqrt(1 - 0.04 - 0.25 - 0.16)};
  fixture::XmodelpartsDesc parts;
  parts.root_bones = 2;
  parts.bones = {{"tag_origin"}, {"tag_aim"}, Bone("j_mainroot", 0, 1.5f, {0, 0, 0}),
                 Bone("j_spine4", 2, 3.25f, {100, -200, 300}), Bone("full_x", 0, 0, {32767, 0, 0}),
                 Bone("j_turned", 0, 0, fixture::QuantiseRotation(q[0], q[1], q[2], q[3]))};
  TempDir dir;
  Xmodel m;
  ASSERT_EQ(WriteAndLoad(dir.path(), WithParts(parts), m, Cod4), err::kSuccess);
  EXPECT_EQ(m.root_bone_count, 2);
  EXPECT_EQ(m.bone_count, 4);
  ASSERT_EQ(m.bones.size(), 6u);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(m.bones[i].parent, 255);
    EXPECT_EQ(int8_t(m.bones[i].parent), -1);  // printed sign-extended
    EXPECT_EQ(m.bones[i].rotation[3], 1.0);
  }
  EXPECT_EQ(m.bones[1].name, "tag_aim");
  const XmodelBone& b = m.bones[3];
  EXPECT_EQ(std::make_tuple(b.name, int(b.parent), b.position[0], b.position[2], b.rotation[1]),
            std::make_tuple(std::string("j_spine4"), 2, 3.25f, 6.5f, -200 / 32766.5));
  EXPECT_EQ(std::make_pair(m.bones[2].rotation[0], m.bones[2].rotation[3]), std::make_pair(0.0, 1.0));
  EXPECT_EQ(std::make_pair(m.bones[4].rotation[0], m.bones[4].rotation[3]), std::make_pair(32767 / 32766.5, 0.0));
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(m.bones[5].rotation[i], -q[i], 1e-4) << i;
  EXPECT_TRUE(m.parts_loaded);
  EXPECT_EQ(m.LoadParts(), err::kBonesLoaded);  // a second call keeps the bones
  EXPECT_EQ(m.bones.size(), 6u);
}

// A count past the end: truncation_test.
TEST(XmodelpartsReader, NegativeCountAndForwardParentAreOutOfRange) {
  fixture::XmodelpartsDesc negative;
  negative.bones = {{"tag_origin"}};
  negative.bone_count = -1;
  fixture::XmodelpartsDesc forward_parent;  // a parent must come earlier in the list
  forward_parent.bones = {{"tag_origin"}, Bone("j_a", 2, 1, {}), Bone("j_b", 0, 1, {})};
  for (const auto& [what, parts] : {std::pair{"negative B", negative}, std::pair{"forward parent", forward_parent}}) {
    SCOPED_TRACE(what);
    TempDir dir;
    Xmodel m;
    EXPECT_EQ(WriteAndLoad(dir.path(), WithParts(parts), m, Cod4), err::kOutOfRange);
    EXPECT_FALSE(m.parts_loaded);
  }
}

}  // namespace
