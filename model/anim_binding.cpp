#include "model/anim_binding.h"

#include <cctype>  // Required for: std::tolower

#include "model/key_sampling.h"

namespace {

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

float Distance2(const float* a, const float* b) {
  float d = 0;
  for (int i = 0; i < 3; ++i) d += (a[i] - b[i]) * (a[i] - b[i]);
  return d;
}

// a then b, both unit quaternions (x, y, z, w): b turns in a's frame.
void Multiply(const float a[4], const float b[4], float out[4]) {
  out[0] = a[3] * b[0] + a[0] * b[3] + a[1] * b[2] - a[2] * b[1];
  out[1] = a[3] * b[1] - a[0] * b[2] + a[1] * b[3] + a[2] * b[0];
  out[2] = a[3] * b[2] + a[0] * b[1] - a[1] * b[0] + a[2] * b[3];
  out[3] = a[3] * b[3] - a[0] * b[0] - a[1] * b[1] - a[2] * b[2];
}

}  // namespace

std::vector<AnimChannels> ChannelsOf(const Xanim& animation) {
  std::vector<AnimChannels> out;
  out.reserve(animation.bones.size());
  for (const XanimBone& b : animation.bones)
    out.push_back({b.name, b.rotation.frames, b.rotation.values, b.translation.frames, b.translation.values});
  return out;
}

void AnimBinding::Bind(std::span<const std::string_view> model_names, std::span<const BonePose> bind_pose,
                       std::span<const AnimChannels> channels, bool additive) {
  bind_.assign(bind_pose.begin(), bind_pose.end());
  bind_.resize(model_names.size());
  channels_.assign(channels.begin(), channels.end());
  additive_ = additive;
  links_.assign(model_names.size(), Link{});
  matched_ = unmatched_ = 0;
  for (size_t c = 0; c < channels_.size(); ++c) {
    size_t bone = 0;
    while (bone < model_names.size() && !SameName(model_names[bone], channels_[c].name)) ++bone;
    if (bone == model_names.size() || links_[bone].channel >= 0) {
      ++unmatched_;
      continue;
    }
    ++matched_;
    Link& link = links_[bone];
    link.channel = int(c);
    const std::span<const float> t = channels_[c].translations;
    const float zero[3] = {0, 0, 0};
    link.relative_moves =
        additive || (t.size() >= 3 && Distance2(t.data(), zero) < Distance2(t.data(), bind_[bone].translation));
  }
}

void AnimBinding::PoseAt(double frame, std::vector<BonePose>& out) const {
  out.assign(bind_.begin(), bind_.end());
  for (size_t bone = 0; bone < links_.size(); ++bone) {
    const Link& link = links_[bone];
    if (link.channel < 0) continue;
    const AnimChannels& c = channels_[size_t(link.channel)];
    BonePose& pose = out[bone];
    if (!c.rotations.empty()) {
      float q[4] = {0, 0, 0, 1};
      SampleRotation(c.rotation_frames, c.rotations, frame, q);
      if (additive_) {
        Multiply(bind_[bone].rotation, q, pose.rotation);
      } else {
        for (int i = 0; i < 4; ++i) pose.rotation[i] = q[i];
      }
    }
    if (!c.translations.empty()) {
      float t[3] = {0, 0, 0};
      SampleTranslation(c.translation_frames, c.translations, frame, t);
      for (int i = 0; i < 3; ++i) pose.translation[i] = link.relative_moves ? bind_[bone].translation[i] + t[i] : t[i];
    }
  }
}
