// An animation on a model: a channel between its keys (linear, rotations on
// the nearer hemisphere, the ends held, key lists with and without their
// frames); bones found by name whatever their case, the rest keeping the
// model's pose, translations taken whole or as a difference by their first
// value, additive ones on top of the model.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/anim_binding.h"
#include "model/key_sampling.h"

namespace {

TEST(KeySamplingTest, BetweenKeysOnTheNearerHemisphereAndHeldAtTheEnds) {
  const std::vector<uint16_t> frames = {0, 10, 20};
  const std::vector<float> moves = {0, 0, 0, 10, 0, 0, 10, 20, 0};
  float t[3];
  struct Case {
    double frame;
    float x, y;
  } cases[] = {{-1, 0, 0}, {0, 0, 0}, {5, 5, 0}, {10, 10, 0}, {15, 10, 10}, {20, 10, 20}, {99, 10, 20}};
  for (const Case& c : cases) {
    SampleTranslation(frames, moves, c.frame, t);
    EXPECT_NEAR(t[0], c.x, 1e-5) << c.frame;
    EXPECT_NEAR(t[1], c.y, 1e-5) << c.frame;
  }
  SampleTranslation({}, moves, 1.5, t);  // key k at frame k
  EXPECT_NEAR(t[0], 10, 1e-5);
  EXPECT_NEAR(t[1], 10, 1e-5);

  // Identity, then a quarter turn about Z stored on the far hemisphere:
  // halfway is an eighth turn, not a long way round through w = 0.
  const float h = float(std::sqrt(0.5));
  const std::vector<float> turns = {0, 0, 0, 1, 0, 0, -h, -h};
  float q[4];
  SampleRotation(std::vector<uint16_t>{0, 4}, turns, 2, q);
  EXPECT_NEAR(q[2], std::sin(M_PI / 8), 1e-4);
  EXPECT_NEAR(q[3], std::cos(M_PI / 8), 1e-4);
  q[0] = 7;
  SampleRotation({}, {}, 1, q);  // no keys: untouched
  EXPECT_EQ(q[0], 7);
}

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
