// An animation put on a model: its bones matched to the model's by name
// (without regard to case), and the model's pose at any frame. Bones the
// animation lacks keep the model's own transform; animated bones the model
// lacks are counted and left out. Translations are stored either whole or
// as the difference from the model's own: a bone's are taken as a
// difference when its first stored value lies nearer zero than the model's
// translation of that bone (on the samples of the mod tools this holds for
// the character animations' bones and the weapons' clip bones, while the
// viewmodels' arm bones are stored whole). An additive animation turns and
// moves each bone on top of the model's own transform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "model/bone_pose.h"
#include "model/xanim.h"

// One animated bone as a reader holds it: key frames (empty when every
// frame has a key) and keys, x y z w a rotation, x y z a translation.
struct AnimChannels {
  std::string_view name;
  std::span<const uint16_t> rotation_frames;
  std::span<const float> rotations;
  std::span<const uint16_t> translation_frames;
  std::span<const float> translations;
};

// Views of a read animation's bones (valid while it lives).
std::vector<AnimChannels> ChannelsOf(const Xanim& animation);

class AnimBinding {
 public:
  // `model_names` and `bind_pose`: the model's bones and their own
  // parent-relative transforms, one each.
  void Bind(std::span<const std::string_view> model_names, std::span<const BonePose> bind_pose,
            std::span<const AnimChannels> channels, bool additive);

  // The pose of every model bone at `frame`.
  void PoseAt(double frame, std::vector<BonePose>& out) const;

  size_t matched() const { return matched_; }
  size_t unmatched() const { return unmatched_; }  // animated bones the model lacks

 private:
  struct Link {
    int channel = -1;             // -1: the model's own transform
    bool relative_moves = false;  // translations added to the model's
  };
  std::vector<BonePose> bind_;
  std::vector<AnimChannels> channels_;
  std::vector<Link> links_;
  bool additive_ = false;
  size_t matched_ = 0;
  size_t unmatched_ = 0;
};
