#include "shell/frame_gate.h"

bool FrameGate::ShouldDraw(const FrameSignals& s, double now_ms, bool forced) {
  const bool changed = !started_ || s.window_events != last_.window_events ||
                       s.board_version != last_.board_version || s.log_lines != last_.log_lines;
  started_ = true;
  last_ = s;
  bool draw = forced;
  if (changed || s.worker_busy || s.gui_moving) {
    settle_ = kSettleFrames;
    draw = true;
  } else if (settle_ > 0) {
    --settle_;
    draw = true;
  }
  // The FPS text alone needs one pass, no settling.
  if (s.fps != drawn_fps_ || now_ms - drawn_ms_ >= kMaxStillMs) draw = true;
  if (draw) {
    drawn_fps_ = s.fps;
    drawn_ms_ = now_ms;
  }
  return draw;
}

// Intervals between passes over the time they took: the first pass only
// starts the clock.
double FrameRateCounter::Count(double now_ms) {
  if (!started_) {
    started_ = true;
    window_start_ = now_ms;
    return rate_;
  }
  ++passes_;
  const double span = now_ms - window_start_;
  if (span >= (rate_ == 0 ? kFirstSpanMs : kSpanMs)) {
    rate_ = double(passes_) * 1000.0 / span;
    window_start_ = now_ms;
    passes_ = 0;
  }
  return rate_;
}
