// An animation on a model: bones found by name whatever their case, the
// rest keeping the model's pose, translations taken whole or as a
// difference by their first value, additive ones on top of the model.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/anim_binding.h"

namespace {

TEST(AnimBindingTest, BonesByNameTranslationsWholeOrAddedAndAdditiveOnTop) {
  const std::vector<std::string_view> names = {"tag_origin", "J_Elbow_LE", "tag_clip"};
  std::vector<BonePose> bind(3);
  bind[1].translation[0] = 12;  // an arm bone, stored whole by the animation
  bind[2].translation[2] = 5;   // a clip bone, stored as a difference
  const float h = float(std::sqrt(0.5));
  const std::vector<float> elbow_turn = {0, 0, h, h};
  const std::vector<float> elbow_moves = {12, 0, 0, 13, 0, 0};
  const std::vector<float> clip_moves = {0, 0, 0, 0, 0, -2};
  const std::vector<AnimChannels> channels = {
      {"j_elbow_le", {}, elbow_turn, {}, elbow_moves},
      {"tag_clip", {}, {}, {}, clip_moves},
      {"j_gun_only", {}, elbow_turn, {}, {}},
  };
  AnimBinding b;
  b.Bind(names, bind, channels, false);
  EXPECT_EQ(b.matched(), 2u);
  EXPECT_EQ(b.unmatched(), 1u);
  std::vector<BonePose> pose;
  b.PoseAt(1, pose);
  ASSERT_EQ(pose.size(), 3u);
  EXPECT_EQ(pose[0].rotation[3], 1);              // not animated: the model's own
  EXPECT_NEAR(pose[1].rotation[2], h, 1e-6);
  EXPECT_NEAR(pose[1].translation[0], 13, 1e-6);  // whole
  EXPECT_NEAR(pose[2].translation[2], 3, 1e-6);   // 5 - 2

  // Additive: the turn on top of the model's turn, the moves added.
  bind[1].rotation[2] = bind[1].rotation[3] = h;
  b.Bind(names, bind, channels, true);
  b.PoseAt(0, pose);
  EXPECT_NEAR(pose[1].rotation[2], 1, 1e-6);  // two quarter turns about Z
  EXPECT_NEAR(pose[1].translation[0], 24, 1e-6);
}

}  // namespace
