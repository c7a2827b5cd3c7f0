// A channel between its keys: linear, rotations on the nearer hemisphere,
// the ends held, key lists with and without their frames.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

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

}  // namespace
