// Which passes of the frame loop draw. At the caps most passes of an idle
// window would draw the very picture already on screen; the gate lets such
// a pass end after its sleep without drawing. It decides from what the loop
// can see cheaply between frames, and errs towards drawing: anything that
// moved draws this pass and the next kSettleFrames, because some changes
// show one frame late (commands run after the swap, a menu opened by a
// click the last pass took). No GL, no window: the loop feeds it.
#pragma once

#include <cstdint>

// What a pass draws: nothing (the picture on screen stands), the overlay
// over the 3D view the last whole pass kept, or everything.
enum class FrameDraw { kKeep, kOverlay, kWhole };

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
  // However still the window, its overlay is never older than this, and
  // its 3D view never older than kMaxSceneStillMs; they bound the damage of
  // a change that reaches the picture by a road not above. Only what the
  // roads above report redraws the scene: a new FPS figure alone redraws
  // the overlay over the 3D view kept from the last whole pass.
  static constexpr double kMaxStillMs = 1000;
  static constexpr double kMaxSceneStillMs = 10000;

  // One pass at the cap. `forced` draws everything regardless (the loop
  // running uncapped, or every pass drawn).
  FrameDraw Decide(const FrameSignals& s, double now_ms, bool forced);

 private:
  bool started_ = false;
  FrameSignals last_;           // as of the previous pass
  long long drawn_fps_ = 0;     // the figure on screen, in hundredths as printed
  double drawn_ms_ = 0;         // when the picture on screen was drawn
  double scene_drawn_ms_ = 0;   // when its 3D view was
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
