#include "viewer/animation_player.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstring>

#include "model/key_sampling.h"
#include "model/skin_weights.h"
#include "platform/fs_paths.h"
#include "viewer/worker_gl_builder.h"

// An animation bound to one build of the model's GL data.
struct AnimationPlayer::Bound {
  std::shared_ptr<const Xanim> animation;  // the channels view its keys
  std::string name;
  std::vector<AnimChannels> channels;
  AnimBinding binding;
  std::vector<int> parents;
  float scale = 1.0f;
  SkinnedLevel skin;
  // Each surface's vertex records as the buffers were filled (the model's
  // own pose, put back on Stop), and the records posed, whose positions
  // and normals each frame rewrites in place.
  std::vector<std::vector<uint8_t>> records, posed;
  uint64_t build = 0;
  std::vector<std::string> bone_names;
  bool fresh = true;  // a new file: the clock starts over
  double start_frame = -1;
};

namespace {

std::vector<std::vector<uint8_t>> RecordsOf(const XmodelLod& lod) {
  std::vector<std::vector<uint8_t>> out(lod.surfaces.size());
  for (size_t s = 0; s < lod.surfaces.size(); ++s) {
    const auto& vertices = lod.surfaces[s].vertices;
    out[s].assign(vertices.size() * kVertexStride, 0);
    for (size_t v = 0; v < vertices.size(); ++v)
      std::memcpy(out[s].data() + v * kVertexStride, &vertices[v], sizeof(XmodelVertex));
  }
  return out;
}

// A buffer's whole contents anew. New storage rather than a write into the
// old: the frame before may still be drawing from it, and a write would
// wait for that draw to end.
void Replace(GLuint buffer, const std::vector<uint8_t>& bytes) {
  glBindBuffer(GL_ARRAY_BUFFER, buffer);
  glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(bytes.size()), bytes.data(), GL_STREAM_DRAW);
}

}  // namespace

std::unique_ptr<AnimationPlayer::Bound> AnimationPlayer::BindTo(std::shared_ptr<const Xanim> animation,
                                                                const std::string& name, const Xmodel& model) const {
  if (model.lods.empty() || !model.ShownLod().surfaces_loaded) return nullptr;
  auto b = std::make_unique<Bound>();
  b->animation = std::move(animation);
  b->name = name;
  b->channels = ChannelsOf(*b->animation);
  const ModelSkeleton skeleton = SkeletonOf(model);
  b->binding.Bind(skeleton.names, skeleton.bind_pose, b->channels, b->animation->additive());
  b->parents = skeleton.parents;
  b->bone_names.assign(skeleton.names.begin(), skeleton.names.end());
  b->scale = model.scale == 0.0f ? 1.0f : model.scale;
  b->skin.Prepare(model);
  b->records = RecordsOf(model.ShownLod());
  b->posed = b->records;
  b->build = gl_.builds;
  return b;
}

AnimationPlayer::AnimationPlayer(WorkerGlBuilder& gl) : gl_(gl) {}
AnimationPlayer::~AnimationPlayer() = default;

ErrorCode AnimationPlayer::Load(const std::string& path, const Xmodel& model, std::string& error,
                                double start_frame) {
  auto animation = std::make_shared<Xanim>();
  if (const ErrorCode code = LoadXanim(path, *animation); code != err::kSuccess) {
    error = ErrorText(code) + ": " + path;
    return code;
  }
  const size_t cut = platform::LastSeparator(path);
  const std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
  std::unique_ptr<Bound> bound = model.xmodel_loaded ? BindTo(animation, name, model) : nullptr;
  if (!bound) {
    error = "No model is shown to play '" + path + "' on";
    return err::kNotLoaded;
  }
  bound->start_frame = start_frame;
  std::lock_guard<std::mutex> hold(mutex_);
  worker_animation_ = std::move(animation);
  worker_name_ = name;
  pending_ = std::move(bound);
  stop_pending_ = false;
  return err::kSuccess;
}

void AnimationPlayer::ModelBuilt(const Xmodel& model) {
  std::shared_ptr<const Xanim> animation;
  std::string name;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    if (!worker_animation_) return;
    animation = worker_animation_;
    name = worker_name_;
  }
  std::unique_ptr<Bound> bound = BindTo(animation, name, model);
  if (bound) bound->fresh = false;
  std::lock_guard<std::mutex> hold(mutex_);
  if (worker_animation_ == animation && bound) pending_ = std::move(bound);
}

bool AnimationPlayer::Moving() const {
  // An animation whose model is gone waits for the next one, still.
  if (active() && shown_->build == gl_.builds && (clock.playing() || dirty_)) return true;
  std::lock_guard<std::mutex> hold(mutex_);
  return pending_ != nullptr || stop_pending_;
}

void AnimationPlayer::Stop() {
  std::lock_guard<std::mutex> hold(mutex_);
  worker_animation_.reset();
  pending_.reset();
  stop_pending_ = true;
}

const std::string& AnimationPlayer::name() const {
  static const std::string kNone;
  return shown_ ? shown_->name : kNone;
}

size_t AnimationPlayer::unmatched() const { return shown_ ? shown_->binding.unmatched() : 0; }

const std::vector<XanimNote>& AnimationPlayer::notes() const {
  static const std::vector<XanimNote> kNone;
  return shown_ ? shown_->animation->notes : kNone;
}

const std::vector<std::string>& AnimationPlayer::bone_names() const {
  static const std::vector<std::string> kNone;
  return shown_ ? shown_->bone_names : kNone;
}

const std::vector<BoneMatrix>& AnimationPlayer::posed() const {
  static const std::vector<BoneMatrix> kNone;
  return shown_ ? shown_->skin.posed() : kNone;
}

void AnimationPlayer::Upload(const std::vector<float>* positions, const std::vector<float>* normals) {
  const std::vector<SurfaceDraw>& surfaces = gl_.draw.surfaces;
  size_t first = 0;
  for (size_t s = 0; s < shown_->records.size() && s < surfaces.size(); ++s) {
    std::vector<uint8_t>& posed = shown_->posed[s];
    const size_t count = posed.size() / kVertexStride;
    if (positions) {
      for (size_t v = 0; v < count; ++v) {
        uint8_t* record = posed.data() + v * kVertexStride;
        std::memcpy(record + kNormalOffset, normals->data() + (first + v) * 3, 3 * sizeof(float));
        std::memcpy(record + kPositionOffset, positions->data() + (first + v) * 3, 3 * sizeof(float));
      }
    }
    Replace(surfaces[s].vertex_buffer, positions ? posed : shown_->records[s]);
    first += count;
  }
  glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void AnimationPlayer::PoseJoints(const std::vector<BonePose>& pose) {
  if (joints_build_ != gl_.builds) {
    joints_ = gl_.skeleton.JointsByBone();
    joints_build_ = gl_.builds;
  }
  for (size_t i = 0; i < pose.size() && i < joints_.size(); ++i) {
    if (!joints_[i]) continue;
    const double turn[4] = {pose[i].rotation[0], pose[i].rotation[1], pose[i].rotation[2], pose[i].rotation[3]};
    Skeleton::SetPose(*joints_[i], pose[i].translation, turn);
  }
}

void AnimationPlayer::Update(double now_ms) {
  // A long stall (a dialog, a load) does not jump the animation ahead.
  const double seconds = last_ms_ < 0 ? 0 : std::clamp((now_ms - last_ms_) / 1000.0, 0.0, 0.25);
  last_ms_ = now_ms;
  std::unique_ptr<Bound> taken;
  bool stop = false;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    taken = std::move(pending_);
    stop = stop_pending_;
    stop_pending_ = false;
  }
  if (stop && shown_) {
    // The model's own pose back, when its buffers are still those posed.
    if (shown_->build == gl_.builds) {
      Upload(nullptr, nullptr);
      PoseJoints(shown_->skin.bind_pose());
    }
    shown_.reset();
  }
  if (taken) {
    const Xanim& a = *taken->animation;
    if (taken->fresh) {
      // A looping animation's last keyed frame repeats its first: the
      // clock runs from the last frame into it and on round.
      clock.Set(a.frames, a.frame_rate, a.looping());
      if (taken->start_frame < 0) {
        clock.Play();
      } else {
        clock.Seek(taken->start_frame);
      }
      ++loads_;
    }
    shown_ = std::move(taken);
    drawn_frame_ = -1;
  }
  if (!shown_ || shown_->build != gl_.builds) return;
  clock.Advance(seconds);
  const double frame = clock.frame();
  if (frame == drawn_frame_ && root_motion == drawn_root_motion_ && !dirty_) return;
  drawn_frame_ = frame;
  drawn_root_motion_ = root_motion;
  dirty_ = false;

  shown_->binding.PoseAt(frame, pose_);
  // The bones of the model in memory carry its load scale.
  for (BonePose& p : pose_)
    for (float& t : p.translation) t *= shown_->scale;
  const Xanim& a = *shown_->animation;
  if (root_motion && a.root_motion() && !a.root_translation.values.empty()) {
    float move[3] = {0, 0, 0};
    SampleTranslation(a.root_translation.frames, a.root_translation.values, frame, move);
    for (size_t i = 0; i < pose_.size() && i < shown_->parents.size(); ++i)
      if (shown_->parents[i] < 0)
        for (int k = 0; k < 3; ++k) pose_[i].translation[k] += move[k] * shown_->scale;
  }
  shown_->skin.Skin(pose_, positions_, normals_);
  Upload(&positions_, &normals_);
  PoseJoints(pose_);
  ++pose_count_;
}
