// Which passes of the capped frame loop draw, and what; the FPS figure
// between its updates.
#include <gtest/gtest.h>

#include <utility>

#include "shell/frame_gate.h"

namespace {

// Passes at 30 a second from a still window whose first passes are done.
struct Loop {
  FrameGate gate;
  FrameSignals s{.fps = 30};
  double now = 0;
  Loop() { Drawn(10); }
  FrameDraw Pass(bool forced = false) { return gate.Decide(s, now += 33, forced); }
  // How many of `n` passes drew everything, and how many the overlay alone.
  std::pair<int, int> Drawn(int n) {
    std::pair<int, int> drawn;
    for (int i = 0; i < n; ++i) {
      const FrameDraw d = Pass();
      drawn.first += d == FrameDraw::kWhole;
      drawn.second += d == FrameDraw::kOverlay;
    }
    return drawn;
  }
};

// A still window draws its overlay about once a second, its 3D view once in
// ten seconds.
TEST(FrameGate, StillWindowKeepsItsPictureButNeverLongerThanASecond) {
  EXPECT_EQ(FrameGate().Decide(FrameSignals{}, 0, false), FrameDraw::kWhole);  // the first pass
  Loop loop;
  const auto [whole, overlay] = loop.Drawn(310);  // ten seconds
  EXPECT_EQ(whole, 1);
  EXPECT_GE(whole + overlay, 9);
  EXPECT_LE(whole + overlay, 11);
  EXPECT_EQ(loop.Pass(true), FrameDraw::kWhole);  // an uncapped loop draws everything
}

// A new FPS figure (as printed, to the hundredth) draws the overlay of one
// pass; the other changes the whole picture, the event-like ones two more
// passes after it. A busy worker and a moving interface draw every pass
// while they last, then two more (the model built, the menu at rest).
TEST(FrameGate, EveryChangeDrawsAndEventsSettleForTwoPasses) {
  struct Case { const char* what; void (*change)(FrameSignals&); FrameDraw draw; int settle; };
  const Case cases[] = {
      {"window event", [](FrameSignals& s) { ++s.window_events; }, FrameDraw::kWhole, 2},
      {"board write", [](FrameSignals& s) { ++s.board_version; }, FrameDraw::kWhole, 2},
      {"log line", [](FrameSignals& s) { ++s.log_lines; }, FrameDraw::kWhole, 2},
      {"fps figure", [](FrameSignals& s) { s.fps = 29.97; }, FrameDraw::kOverlay, 0},
      {"fps past the printed digits", [](FrameSignals& s) { s.fps = 30.001; }, FrameDraw::kKeep, 0},
      {"busy worker", [](FrameSignals& s) { s.worker_busy = !s.worker_busy; }, FrameDraw::kWhole, 2},
      {"moving interface", [](FrameSignals& s) { s.gui_moving = !s.gui_moving; }, FrameDraw::kWhole, 2},
  };
  for (const Case& c : cases) {
    Loop loop;
    c.change(loop.s);
    EXPECT_EQ(loop.Pass(), c.draw) << c.what;
    if (loop.s.worker_busy || loop.s.gui_moving) {
      EXPECT_EQ(loop.Drawn(50).first, 50) << c.what;
      c.change(loop.s);
    }
    EXPECT_EQ(loop.Drawn(c.settle).first, c.settle) << c.what;
    EXPECT_EQ(loop.Drawn(20), std::make_pair(0, 0)) << c.what;
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
