#include "shell/frame_gate.h"

#include <cmath>  // Required for: llround()

FrameDraw FrameGate::Decide(const FrameSignals& s, double now_ms, bool forced) {
  const bool changed = !started_ || s.window_events != last_.window_events ||
                       s.board_version != last_.board_version || s.log_lines != last_.log_lines;
  started_ = true;
  last_ = s;
  bool whole = forced || now_ms - scene_drawn_ms_ >= kMaxSceneStillMs;
  if (changed || s.worker_busy || s.gui_moving) {
    settle_ = kSettleFrames;
    whole = true;
  } else if (settle_ > 0) {
    --settle_;
    whole = true;
  }
  // The FPS figure as printed ("%.2f"), and the overlay's age, need the
  // overlay alone, no settling.
  const long long fps = std::llround(s.fps * 100);
  const bool overlay = fps != drawn_fps_ || now_ms - drawn_ms_ >= kMaxStillMs;
  if (!whole && !overlay) return FrameDraw::kKeep;
  drawn_fps_ = fps;
  drawn_ms_ = now_ms;
  if (!whole) return FrameDraw::kOverlay;
  scene_drawn_ms_ = now_ms;
  return FrameDraw::kWhole;
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
