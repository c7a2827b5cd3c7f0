// The bone display's joint tree.
#include <gtest/gtest.h>

#include <algorithm>  // Required for: ranges::count()

#include "tests/shell/shell_test_support.h"
#include "viewer/skeleton.h"

namespace {

XmodelBone Bone(const char* name, uint8_t parent) { return {.name = name, .position = {1, 0, 0}, .parent = parent}; }

TEST(Skeleton, FortyFirstChildIsRefusedAndLoggedEachTime) {
  shell_test::LogCapture log;
  Skeleton s;
  for (int i = 0; i < 40; ++i) ASSERT_NE(s.AddJoint(s.root(), Bone("j", 255), uint8_t(i)), nullptr);
  for (const uint8_t bone : {40, 41}) EXPECT_EQ(s.AddJoint(s.root(), Bone("j", 255), bone), nullptr);
  EXPECT_EQ(std::ranges::count(log.lines(), std::string("BoneDisplay: Max Child Joints Exceeded")), 2);
  EXPECT_EQ(s.joint_count(), 40);
}

TEST(Skeleton, FindJointWalksPreOrderAndChainsSiblingsAndNamesAreCut) {
  Xmodel m;
  m.parts_loaded = true;
  m.bones = {Bone("tag_origin", 255), Bone("j_a", 0), Bone("j_b", 0), Bone("j_a_child", 1)};
  Skeleton s;
  s.Build(m);
  EXPECT_EQ(s.joint_count(), 4);
  EXPECT_EQ(s.FindJoint(255), s.root());
  Joint* a = s.FindJoint(1);
  ASSERT_NE(a, nullptr);
  EXPECT_STREQ(a->name, "j_a");
  EXPECT_EQ(a->next_sibling, s.FindJoint(2));
  EXPECT_EQ(s.FindJoint(3)->parent, a);
  EXPECT_EQ(s.FindJoint(9), nullptr);
  Joint* long_name = s.AddJoint(s.root(), Bone("a_bone_name_that_is_much_longer_than_thirty", 255), 9);
  EXPECT_EQ(std::string(long_name->name).size(), 30u);  // cut at thirty characters
}

}  // namespace
