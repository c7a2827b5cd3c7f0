// Joint tree of the bone display.
#include "viewer/skeleton.h"

#include <cstring>

#include "base/logger.h"

void Skeleton::ClearSkeleton() {
  joints_.clear();
  joints_.push_back(std::make_unique<Joint>());
  root_ = joints_.back().get();
  std::strcpy(root_->name, "MaterJoint");
  root_->index = 255;
  joint_count_ = 0;
}

Joint* Skeleton::AddJoint(Joint* parent, const XmodelBone& bone, uint8_t index) {
  if (!parent) return nullptr;
  if (parent->child_count >= kMaxChildren) {
    Logger().model_log("BoneDisplay: Max Child Joints Exceeded");
    return nullptr;
  }
  joints_.push_back(std::make_unique<Joint>());
  Joint* j = joints_.back().get();
  std::strncpy(j->name, bone.name.c_str(), sizeof j->name - 1);
  j->index = index;
  SetPose(*j, bone.position, bone.rotation);
  j->parent = parent;
  if (parent->child_count > 0) parent->children[parent->child_count - 1]->next_sibling = j;
  parent->children[parent->child_count++] = j;
  ++joint_count_;
  return j;
}

void Skeleton::SetPose(Joint& j, const float position[3], const double rotation[4]) {
  for (int k = 0; k < 3; ++k) j.position[k] = position[k];
  // The standard quaternion matrix; its rows are the joint's axes, stored
  // as GL columns.
  const double x = rotation[0], y = rotation[1], z = rotation[2], w = rotation[3];
  const double m[3][3] = {{1 - 2 * y * y - 2 * z * z, 2 * x * y + 2 * z * w, 2 * x * z - 2 * y * w},
                          {2 * x * y - 2 * z * w, 1 - 2 * x * x - 2 * z * z, 2 * y * z + 2 * x * w},
                          {2 * x * z + 2 * y * w, 2 * y * z - 2 * x * w, 1 - 2 * x * x - 2 * y * y}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) j.rotation[r * 4 + c] = m[r][c];
}

std::vector<Joint*> Skeleton::JointsByBone() {
  std::vector<Joint*> out;
  for (const std::unique_ptr<Joint>& j : joints_) {
    if (j->index == 255) continue;
    if (out.size() <= j->index) out.resize(size_t(j->index) + 1, nullptr);
    out[j->index] = j.get();
  }
  return out;
}

Joint* Skeleton::FindJoint(uint8_t index) {
  // Pre-order walk without recursion: deep chains cannot overflow the stack.
  std::vector<Joint*> stack{root_};
  while (!stack.empty()) {
    Joint* j = stack.back();
    stack.pop_back();
    if (j->index == index) return j;
    for (int c = j->child_count - 1; c >= 0; --c) stack.push_back(j->children[c]);
  }
  return nullptr;
}

void Skeleton::Build(const Xmodel& model) {
  ClearSkeleton();
  if (!model.parts_loaded) return;
  // Parents always come before their children in the bone list.
  std::vector<Joint*> of_bone(model.bones.size(), nullptr);
  for (size_t i = 0; i < model.bones.size() && i < 255; ++i) {
    const XmodelBone& b = model.bones[i];
    Joint* parent = b.parent == 255 || b.parent >= i ? root_ : of_bone[b.parent];
    of_bone[i] = AddJoint(parent ? parent : root_, b, uint8_t(i));
  }
}
