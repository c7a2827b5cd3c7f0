// Which passes of the frame loop draw. At the caps most passes of an idle
// window would draw the very picture already on screen; the gate lets such
// a pass end after its sleep without drawing. It decides from what the loop
// can see cheaply between frames, and errs towards drawing: anything that
// moved draws this pass and the next kSettleFrames, because some changes
// show one frame late (commands run after the swap, a menu opened by a
// click the last pass took). No GL, no window: the loop feeds it.
#pragma once

#include <cstdint>

// What may change the picture, as of one pass.
struct FrameSignals {
  uint64_t window_events = 0;  // every window callback so far: input, focus, size, expose
  uint64_t board_version = 0;  // the notice board's: texts, progress, commands, errors
  uint64_t log_lines = 0;      // lines the logger wrote (the log panel shows them)
  bool worker_busy = false;    // a job queued or running: the model and its GL data change
  bool gui_moving = false;     // a menu animating, a bar fading, a command list waiting
  double fps = 0;              // the figure the pass would print
};

class FrameGate {
 public:
  static constexpr int kSettleFrames = 2;
  // However still the window, a picture is never older than this; it bounds
  // the damage of a change that reaches the picture by a road not above.
  static constexpr double kMaxStillMs = 1000;

  // One pass at the cap: true when it must draw. `forced` draws regardless
  // (a screenshot, the loop running uncapped).
  bool ShouldDraw(const FrameSignals& s, double now_ms, bool forced);

 private:
  bool started_ = false;
  FrameSignals last_;          // as of the previous pass
  double drawn_fps_ = 0;       // the figure on screen
  double drawn_ms_ = 0;        // when the picture on screen was drawn
  int settle_ = 0;
};

// The frames-a-second figure: passes counted over each whole second, so it
// holds still between updates (a figure that moved every pass would make
// every pass draw). A pass the gate let through without drawing counts:
// its picture was on screen, up to date. The first figure comes after a
// quarter of a second; 0 until then.
class FrameRateCounter {
 public:
  static constexpr double kFirstSpanMs = 250;
  static constexpr double kSpanMs = 1000;

  // One pass at `now_ms`; returns the figure.
  double Count(double now_ms);
  double rate() const { return rate_; }

 private:
  bool started_ = false;
  double window_start_ = 0;
  int passes_ = 0;
  double rate_ = 0;
};
