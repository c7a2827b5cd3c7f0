// The shown level's mesh moved by a pose of its skeleton, on the CPU, for
// the viewer's animations: every bone's model-space transform from the
// parent-relative poses, then each vertex by up to four bones with the
// weights the glTF export writes (model/skin_weights.h), positions and
// normals. Plain data; one per shown model, used on one thread.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "model/bone_pose.h"
#include "model/xmodel.h"

class SkinnedLevel {
 public:
  // Takes the shown level of a loaded model (its surfaces read): the bind
  // pose, its inverse and every vertex's joints and weights.
  void Prepare(const Xmodel& model);

  // The model's own parent-relative transforms, one per bone: the pose the
  // mesh was made in.
  const std::vector<BonePose>& bind_pose() const { return bind_pose_; }
  size_t vertex_count() const { return weights_.size(); }

  // Poses the skeleton (`pose`: one per bone; missing ones keep the bind
  // pose) and moves every vertex: xyz positions and unit normals, in
  // surface order, into the two arrays (resized to fit).
  void Skin(std::span<const BonePose> pose, std::vector<float>& positions, std::vector<float>& normals);

  // Each bone's model-space transform after the last Skin (the bind pose
  // before one), for the bones display.
  const std::vector<BoneMatrix>& posed() const { return posed_; }

 private:
  struct VertexSkin {
    uint16_t joint[4];
    float weight[4];
  };
  static_assert(sizeof(VertexSkin) == 24, "the layout PutJointWeights writes");

  std::vector<int> parents_;
  std::vector<BonePose> bind_pose_;
  std::vector<BoneMatrix> inverse_bind_;
  std::vector<BoneMatrix> posed_;
  std::vector<BoneMatrix> skin_;
  std::vector<VertexSkin> weights_;
  std::vector<float> bind_positions_;
  std::vector<float> bind_normals_;
};
