// The skeleton as glTF wants it (and the viewer skins with): each bone's parent-relative translation and
// unit rotation, the inverse bind matrices of the composed bind pose, and
// each vertex's joint influences cut to the four glTF carries, their weights
// summing to 1.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "model/bone_pose.h"
#include "model/xmodel.h"

inline constexpr size_t kMaxJointInfluences = 4;

// Vertices [first, first + count) of `s` over a skeleton of `bone_count`
// bones: each vertex's four joints (uint16) and their weights (float), 24
// bytes, into `out`, `stride` bytes a vertex. The influences are those the
// XMODEL_EXPORT lists: the vertex's own bone (the primary bone, or the
// surface's rigid bone) with what its entries leave of 1, then each entry's
// bone with its weight. A bone named twice counts once with the sum; bones
// past the skeleton and zero weights are dropped; of more than four the
// heaviest four stay (ties: the earlier listed); the kept weights are
// divided by their sum; unused slots are joint 0 with weight 0. Nothing
// left: the own bone, else bone 0, with weight 1.
void PutJointWeights(const XmodelSurface& s, size_t first, size_t count, size_t bone_count, uint8_t* out,
                     size_t stride);

// Bone `i`'s parent in the node tree, or -1 for a root. The readers only
// accept earlier bones as parents; anything else is taken as a root so the
// tree can have no cycle.
int BoneParent(const std::vector<XmodelBone>& bones, size_t i);

struct NodeTransform {
  float translation[3];
  float rotation[4];  // x, y, z, w of unit length; identity for a zero or broken quaternion
};
NodeTransform BoneNodeTransform(const XmodelBone& bone);

// 16 floats a bone, column-major: the inverse of the bone's model-space
// bind pose composed from the node transforms along the parent chain.
std::vector<float> InverseBindMatrices(const std::vector<XmodelBone>& bones);

// Every bone's parent (BoneParent) and parent-relative pose
// (BoneNodeTransform), its translation times `scale`.
void BindPose(const std::vector<XmodelBone>& bones, float scale, std::vector<int>& parents,
              std::vector<BonePose>& pose);

// The model's skeleton as an animation binds to it, in the file's units.
struct ModelSkeleton {
  std::vector<std::string_view> names;  // views of the model's bone names
  std::vector<int> parents;             // -1 for a root
  std::vector<BonePose> bind_pose;      // parent-relative, unit rotations
};
ModelSkeleton SkeletonOf(const Xmodel& model);
