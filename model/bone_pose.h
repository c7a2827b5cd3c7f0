// A bone's transform relative to its parent, as an animation poses it, and
// the model-space transforms composed from them along the parent chain
// (for the viewer's skinning and the animation exports).
#pragma once

#include <span>
#include <vector>

struct BonePose {
  float rotation[4] = {0, 0, 0, 1};  // x, y, z, w of unit length
  float translation[3] = {0, 0, 0};
};

// A model-space transform: rows of a 3 x 3 rotation with the translation
// as a fourth column (column vectors: p' = R p + t).
struct BoneMatrix {
  float m[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
};

BoneMatrix MatrixOf(const BonePose& pose);
// a then b: the transform that applies b, then a.
BoneMatrix Times(const BoneMatrix& a, const BoneMatrix& b);
// The inverse of a rotation and translation.
BoneMatrix Inverse(const BoneMatrix& a);

// Model-space transforms of every bone: `parents[i]` is an earlier bone or
// -1 for a root; bone i takes pose[i], or `fallback[i]` past the pose's end.
void ComposeBones(std::span<const int> parents, std::span<const BonePose> pose, std::span<const BonePose> fallback,
                  std::vector<BoneMatrix>& out);
