// Skeleton and weights for the glTF export (see gltf_skin.h).
#include "export/gltf_skin.h"

#include <algorithm>  // Required for: std::min
#include <utility>    // Required for: std::swap
#include <cmath>      // Required for: std::sqrt, std::isfinite

namespace {

struct Influence {
  int bone;
  double weight;
};

// A vertex's influences: in place for the usual few, on the heap past that.
class InfluenceList {
 public:
  explicit InfluenceList(size_t bone_count) : bone_count_(bone_count) {}
  void Add(int bone, double weight) {
    if (bone < 0 || size_t(bone) >= bone_count_ || !(weight > 0)) return;
    Influence* all = data();
    for (size_t i = 0; i < size_; ++i)
      if (all[i].bone == bone) {
        all[i].weight += weight;
        return;
      }
    if (size_ == kInPlace) heap_.assign(in_place_, in_place_ + kInPlace);
    if (size_ >= kInPlace) heap_.push_back({bone, weight});
    else in_place_[size_] = {bone, weight};
    ++size_;
  }
  Influence* data() { return size_ > kInPlace ? heap_.data() : in_place_; }
  size_t size() const { return size_; }

 private:
  static constexpr size_t kInPlace = 8;
  size_t bone_count_;
  size_t size_ = 0;
  Influence in_place_[kInPlace];
  std::vector<Influence> heap_;
};

using Mat3 = double[3][3];

// Column-vector rotation matrix of a unit quaternion.
void RotationMatrix(const float q[4], Mat3 m) {
  const double x = q[0], y = q[1], z = q[2], w = q[3];
  m[0][0] = 1 - 2 * (y * y + z * z);
  m[0][1] = 2 * (x * y - z * w);
  m[0][2] = 2 * (x * z + y * w);
  m[1][0] = 2 * (x * y + z * w);
  m[1][1] = 1 - 2 * (x * x + z * z);
  m[1][2] = 2 * (y * z - x * w);
  m[2][0] = 2 * (x * z - y * w);
  m[2][1] = 2 * (y * z + x * w);
  m[2][2] = 1 - 2 * (x * x + y * y);
}

}  // namespace

JointWeights VertexJointWeights(const XmodelSurface& s, size_t vi, size_t bone_count) {
  const int rigid = s.bone_table.empty() ? 0 : s.bone_table[0].bone;
  const int own = s.weighted ? s.influences[vi].primary_bone : rigid;
  InfluenceList influences(bone_count);
  const std::span<const InfluenceEntry> entries = s.Entries(vi);
  double rest = 1.0;
  for (const InfluenceEntry& e : entries) rest -= ExportWeight(e.weight);
  influences.Add(own, rest);
  for (const InfluenceEntry& e : entries) influences.Add(e.bone, ExportWeight(e.weight));

  // Heaviest first; an insertion sort keeps equal weights in list order.
  Influence* list = influences.data();
  for (size_t i = 1; i < influences.size(); ++i)
    for (size_t k = i; k > 0 && list[k].weight > list[k - 1].weight; --k) std::swap(list[k], list[k - 1]);
  const size_t kept = std::min(influences.size(), kMaxJointInfluences);
  JointWeights out;
  if (kept == 0) {
    out.joints[0] = uint16_t(own >= 0 && size_t(own) < bone_count ? own : 0);
    out.weights[0] = 1.0f;
    return out;
  }
  double sum = 0;
  for (size_t k = 0; k < kept; ++k) sum += list[k].weight;
  for (size_t k = 0; k < kept; ++k) {
    out.joints[k] = uint16_t(list[k].bone);
    out.weights[k] = float(list[k].weight / sum);
  }
  return out;
}

int BoneParent(const std::vector<XmodelBone>& bones, size_t i) {
  const uint8_t parent = bones[i].parent;
  return parent == 255 || parent >= i ? -1 : int(parent);
}

NodeTransform BoneNodeTransform(const XmodelBone& bone) {
  NodeTransform t{};
  for (int k = 0; k < 3; ++k) t.translation[k] = std::isfinite(bone.position[k]) ? bone.position[k] : 0.0f;
  const double* q = bone.rotation;
  const double length = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
  if (!std::isfinite(length) || length < 1e-12) {
    t.rotation[3] = 1.0f;
    return t;
  }
  for (int k = 0; k < 4; ++k) t.rotation[k] = float(q[k] / length);
  return t;
}

std::vector<float> InverseBindMatrices(const std::vector<XmodelBone>& bones) {
  struct Pose {
    Mat3 r;
    double t[3];
  };
  std::vector<Pose> world(bones.size());
  std::vector<float> out(bones.size() * 16, 0.0f);
  for (size_t i = 0; i < bones.size(); ++i) {
    const NodeTransform local = BoneNodeTransform(bones[i]);
    Mat3 r;
    RotationMatrix(local.rotation, r);
    Pose& pose = world[i];
    const int parent = BoneParent(bones, i);
    if (parent < 0) {
      for (int a = 0; a < 3; ++a) {
        for (int b = 0; b < 3; ++b) pose.r[a][b] = r[a][b];
        pose.t[a] = local.translation[a];
      }
    } else {
      const Pose& p = world[size_t(parent)];
      for (int a = 0; a < 3; ++a) {
        for (int b = 0; b < 3; ++b) pose.r[a][b] = p.r[a][0] * r[0][b] + p.r[a][1] * r[1][b] + p.r[a][2] * r[2][b];
        pose.t[a] = p.t[a] + p.r[a][0] * local.translation[0] + p.r[a][1] * local.translation[1] +
                    p.r[a][2] * local.translation[2];
      }
    }
    // Inverse of a rotation and translation: the transposed rotation, and
    // the translation turned back and negated.
    float* m = &out[i * 16];
    for (int row = 0; row < 3; ++row) {
      for (int col = 0; col < 3; ++col) m[col * 4 + row] = float(pose.r[col][row]);
      m[12 + row] = float(-(pose.r[0][row] * pose.t[0] + pose.r[1][row] * pose.t[1] + pose.r[2][row] * pose.t[2]));
    }
    m[15] = 1.0f;
  }
  return out;
}
