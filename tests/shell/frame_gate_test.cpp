// Which passes of the capped frame loop draw: a still window keeps its
// picture; every road by which the picture can change draws, and the
// event-like ones settle for two more passes; the FPS figure holds still
// between its updates.
#include <gtest/gtest.h>

#include <string>

#include "shell/frame_gate.h"

namespace {

constexpr double kPassMs = 33;

// Passes at 30 a second from a still window whose first passes are done.
struct Loop {
  FrameGate gate;
  FrameSignals s;
  double now = 0;
  bool Pass(bool forced = false) {
    now += kPassMs;
    return gate.ShouldDraw(s, now, forced);
  }
  // How many of `n` passes drew.
  int Drawn(int n) {
    int drawn = 0;
    for (int i = 0; i < n; ++i) drawn += Pass();
    return drawn;
  }
  Loop() {
    s.fps = 30;
    Drawn(10);
  }
};

TEST(FrameGate, StillWindowKeepsItsPictureButNeverLongerThanASecond) {
  FrameGate gate;
  FrameSignals s;
  EXPECT_TRUE(gate.ShouldDraw(s, 0, false));  // the first pass always draws
  Loop loop;
  int drawn = loop.Drawn(300);  // ten seconds
  EXPECT_GE(drawn, 9);
  EXPECT_LE(drawn, 10);
  EXPECT_TRUE(loop.Pass(true));  // a screenshot or an uncapped loop draws
}

// A new FPS figure draws one pass; the event-like changes two more after it.
// A busy worker and a moving interface draw every pass while they last, then
// two more (the model built, the menu at rest).
TEST(FrameGate, EveryChangeDrawsAndEventsSettleForTwoPasses) {
  struct Case {
    const char* what;
    void (*change)(FrameSignals&);
    int settle;
  };
  const Case cases[] = {
      {"window event", [](FrameSignals& s) { ++s.window_events; }, 2},
      {"board write", [](FrameSignals& s) { ++s.board_version; }, 2},
      {"log line", [](FrameSignals& s) { ++s.log_lines; }, 2},
      {"fps figure", [](FrameSignals& s) { s.fps = 29.97; }, 0},
      {"busy worker", [](FrameSignals& s) { s.worker_busy = !s.worker_busy; }, 2},
      {"moving interface", [](FrameSignals& s) { s.gui_moving = !s.gui_moving; }, 2},
  };
  for (const Case& c : cases) {
    Loop loop;
    c.change(loop.s);
    EXPECT_TRUE(loop.Pass()) << c.what;
    if (loop.s.worker_busy || loop.s.gui_moving) {
      EXPECT_EQ(loop.Drawn(50), 50) << c.what;
      c.change(loop.s);
    }
    EXPECT_EQ(loop.Drawn(c.settle), c.settle) << c.what;
    EXPECT_EQ(loop.Drawn(20), 0) << c.what;
  }
}

TEST(FrameRateCounter, FigureHoldsStillBetweenUpdates) {
  FrameRateCounter counter;
  double now = 1000;
  EXPECT_EQ(counter.Count(now), 0.0);
  // 0 until a quarter of a second has passed, then the rate.
  while (now < 1240) EXPECT_EQ(counter.Count(now += 20), 0.0) << now;
  EXPECT_DOUBLE_EQ(counter.Count(now += 20), 50.0);
  // Then one figure a second: 40 passes of 25 ms read 40.
  int changes = 0;
  double last = counter.rate();
  for (int i = 0; i < 200; ++i) {
    const double f = counter.Count(now += 25);
    changes += f != last;
    last = f;
  }
  EXPECT_EQ(changes, 1);
  EXPECT_DOUBLE_EQ(last, 40.0);
}

}  // namespace
