// An animation playing on the model on show. The worker thread reads the
// file and binds it to the model as loaded (Load, and ModelBuilt when the
// shown model or level changes); the main thread then poses the skeleton at
// the clock's time each drawn frame, skins the shown level on the CPU and
// writes the moved vertices into the model's vertex buffers, and turns the
// bone display's joints. Stopping puts the model's own pose back.
// Both threads call in under the worker's lock; what the worker binds is
// handed over whole.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "model/anim_binding.h"
#include "model/error_codes.h"
#include "model/xanim.h"
#include "viewer/animation_clock.h"
#include "viewer/skinning.h"

class WorkerGlBuilder;
struct Joint;

class AnimationPlayer {
 public:
  explicit AnimationPlayer(WorkerGlBuilder& gl);
  ~AnimationPlayer();

  // Worker thread: reads the animation at `path` and binds it to `model`;
  // it plays from its first frame, or with `start_frame` >= 0 stands paused
  // on that frame. A file that cannot be read gives its code and `error`
  // says why, naming the file; what plays goes on playing.
  ErrorCode Load(const std::string& path, const Xmodel& model, std::string& error, double start_frame = -1);
  // Worker thread, after the model's GL data was built again: a playing
  // animation binds to the model now shown.
  void ModelBuilt(const Xmodel& model);

  // Main thread. Back to the model's own pose on the next Update.
  void Stop();
  // Takes what the worker bound, advances the clock to `now_ms` and, when
  // the frame moved, poses, skins and uploads (the main context current).
  void Update(double now_ms);
  // Whether passes must draw the scene: playing, a change not shown yet, or
  // something the worker bound or a stop not taken yet.
  bool Moving() const;
  // Marks the pose for drawing again (a step, a seek, the root switch).
  void Touch() { dirty_ = true; }

  bool active() const { return shown_ != nullptr; }
  const std::string& name() const;
  // Animated bones the model lacks.
  size_t unmatched() const;
  // The notetracks of the animation shown.
  const std::vector<XanimNote>& notes() const;
  // Each bone's model-space transform as last posed (model units): the tags
  // panel's positions. Empty without an animation.
  const std::vector<BoneMatrix>& posed() const;
  // Counts the poses drawn, and the animations taken from the worker.
  uint64_t pose_count() const { return pose_count_; }
  uint64_t loads() const { return loads_; }
  // The model's bone names, in its order (that of posed()).
  const std::vector<std::string>& bone_names() const;

  AnimationClock clock;
  // "With root motion": the model moves by the animation's root motion;
  // off, it plays in place.
  bool root_motion = false;

 private:
  struct Bound;
  std::unique_ptr<Bound> BindTo(std::shared_ptr<const Xanim> animation, const std::string& name,
                                const Xmodel& model) const;
  // The skinned positions and normals into the vertex buffers, or none:
  // the model's own pose.
  void Upload(const std::vector<float>* positions, const std::vector<float>* normals);
  void PoseJoints(const std::vector<BonePose>& pose);

  WorkerGlBuilder& gl_;
  // The worker's side, under `mutex_`: the animation to bind the next model
  // to, and what it bound for the main thread to take.
  mutable std::mutex mutex_;
  std::shared_ptr<const Xanim> worker_animation_;
  std::string worker_name_;
  std::unique_ptr<Bound> pending_;
  bool stop_pending_ = false;
  // The main thread's.
  std::unique_ptr<Bound> shown_;
  std::vector<Joint*> joints_;
  uint64_t joints_build_ = UINT64_MAX;
  std::vector<BonePose> pose_;
  std::vector<float> positions_, normals_;
  double last_ms_ = -1;
  double drawn_frame_ = -1;
  bool drawn_root_motion_ = false;
  bool dirty_ = false;
  uint64_t pose_count_ = 0;
  uint64_t loads_ = 0;
};
