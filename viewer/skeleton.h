// The bone display: one joint tree per model under a root "MaterJoint",
// each joint holding its bone's local offset and rotation, at most 40
// children a joint. Built by the worker from the model's bones; drawn by the
// viewer. Plain data.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/xmodel.h"

struct Joint {
  char name[31] = {};
  uint8_t index = 255;   // the model's bone index; 255 for the root
  int8_t child_count = 0;
  float position[3] = {0, 0, 0};
  double rotation[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};  // column-major
  Joint* parent = nullptr;
  Joint* next_sibling = nullptr;
  Joint* children[40] = {};
};

class Skeleton {
 public:
  static constexpr int kMaxChildren = 40;
  Skeleton() { ClearSkeleton(); }

  void ClearSkeleton();
  // Logs "BoneDisplay: Max Child Joints Exceeded" to the model log and
  // returns nullptr when the parent has 40 children.
  Joint* AddJoint(Joint* parent, const XmodelBone& bone, uint8_t index);
  // Depth-first pre-order: the root, then a joint's first child before its
  // next sibling.
  Joint* FindJoint(uint8_t index);
  // The tree of a model's bones, parents found by index.
  void Build(const Xmodel& model);
  // Each model bone's joint (nullptr for a bone the tree left out), for
  // the poses of an animation.
  std::vector<Joint*> JointsByBone();
  // A joint's offset from its parent and its turn (x, y, z, w).
  static void SetPose(Joint& joint, const float position[3], const double rotation[4]);

  Joint* root() { return root_; }
  int joint_count() const { return joint_count_; }

 private:
  std::vector<std::unique_ptr<Joint>> joints_;
  Joint* root_ = nullptr;
  int joint_count_ = 0;
};
