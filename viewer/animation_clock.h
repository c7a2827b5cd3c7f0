// Where an animation stands as it plays: the frame (fractional between two
// keyed frames), play and pause, a frame's step, the speed (0.25 to 2) and
// looping. The window advances it by each frame's elapsed time. Plain
// data; the main thread's.
#pragma once

#include <string>

class AnimationClock {
 public:
  static constexpr float kMinSpeed = 0.25f;
  static constexpr float kMaxSpeed = 2.0f;

  // A new animation from its first frame, paused: `frames` frames at
  // `frame_rate` a second. A looping animation runs on from its last frame
  // back into its first; one that does not stops on its last.
  void Set(int frames, int frame_rate, bool looping);

  // `seconds` of playing time (nothing while paused).
  void Advance(double seconds);
  void Play() { playing_ = frames_ > 1; }
  void Pause() { playing_ = false; }
  void Toggle() { playing_ ? Pause() : Play(); }
  // Pauses and moves `count` whole frames (back when negative).
  void Step(int count);
  // Pauses on `frame`, kept within the animation.
  void Seek(double frame);
  void SetSpeed(float speed);
  void SetLooping(bool looping) { looping_ = looping; }

  double frame() const { return frame_; }
  int frame_number() const;
  int frames() const { return frames_; }
  double seconds() const { return rate_ > 0 ? frame_ / rate_ : 0; }
  bool playing() const { return playing_; }
  bool looping() const { return looping_; }
  float speed() const { return speed_; }
  // "Frame 12 of 60  0.40 s"
  std::string Text() const;

 private:
  // The frame the time runs to: the last one, or with looping the first
  // one again, one frame's time after the last.
  double End() const { return looping_ ? double(frames_) : double(frames_ - 1); }
  double Wrapped(double frame) const;

  int frames_ = 0;
  int rate_ = 30;
  bool looping_ = false;
  bool playing_ = false;
  float speed_ = 1.0f;
  double frame_ = 0;
};
