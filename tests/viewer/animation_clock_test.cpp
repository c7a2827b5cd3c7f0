// The animation's clock: steps of one frame, wrapping or stopping at the end.
#include <gtest/gtest.h>

#include "viewer/animation_clock.h"

namespace {

TEST(AnimationClockTest, StepsLoopsStopsAndKeepsTheSpeedInRange) {
  AnimationClock c;
  c.Set(10, 30, false);
  c.Step(1);
  EXPECT_EQ(c.frame_number(), 1);
  c.Step(-5);
  EXPECT_EQ(c.frame_number(), 0);
  c.Play();
  c.Advance(0.1);  // three frames
  EXPECT_NEAR(c.frame(), 3, 1e-9);
  c.Advance(1.0);
  EXPECT_FALSE(c.playing());
  EXPECT_EQ(c.frame_number(), 9);
  EXPECT_EQ(c.Text(), "Frame 9 of 10  0.30 s");

  c.Set(10, 30, true);
  c.SetSpeed(8);
  EXPECT_EQ(c.speed(), AnimationClock::kMaxSpeed);
  c.Play();
  c.Advance(0.2);  // 12 frames at double speed: past frame 9 into the loop
  EXPECT_TRUE(c.playing());
  EXPECT_NEAR(c.frame(), 2, 1e-9);
  c.Step(-3);
  EXPECT_EQ(c.frame_number(), 9);
  c.SetSpeed(0);
  EXPECT_EQ(c.speed(), AnimationClock::kMinSpeed);
}

}  // namespace
