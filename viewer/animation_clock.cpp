#include "viewer/animation_clock.h"

#include <algorithm>  // Required for: std::clamp
#include <cmath>      // Required for: std::floor, std::fmod, std::isfinite
#include <cstdio>     // Required for: std::snprintf

void AnimationClock::Set(int frames, int frame_rate, bool looping) {
  frames_ = std::max(frames, 0);
  rate_ = frame_rate > 0 ? frame_rate : 30;
  looping_ = looping;
  playing_ = false;
  frame_ = 0;
}

double AnimationClock::Wrapped(double frame) const {
  const double end = End();
  if (end <= 0 || !std::isfinite(frame)) return 0;
  if (looping_) {
    frame = std::fmod(frame, end);
    return frame < 0 ? frame + end : frame;
  }
  return std::clamp(frame, 0.0, end);
}

void AnimationClock::Advance(double seconds) {
  if (!playing_ || !(seconds > 0)) return;
  const double next = frame_ + seconds * rate_ * speed_;
  if (!looping_ && next >= End()) playing_ = false;
  frame_ = Wrapped(next);
}

void AnimationClock::Step(int count) {
  playing_ = false;
  frame_ = Wrapped(std::floor(frame_ + 1e-6) + count);
}

void AnimationClock::Seek(double frame) {
  playing_ = false;
  frame_ = Wrapped(frame);
}

void AnimationClock::SetSpeed(float speed) {
  speed_ = std::isfinite(speed) ? std::clamp(speed, kMinSpeed, kMaxSpeed) : 1.0f;
}

int AnimationClock::frame_number() const { return int(std::floor(frame_ + 1e-6)); }

std::string AnimationClock::Text() const {
  char text[64];
  std::snprintf(text, sizeof text, "Frame %d of %d  %.2f s", frame_number(), frames_, seconds());
  return text;
}
