// Skeleton and weights (see skin_weights.h).
#include "model/skin_weights.h"

#include <algorithm>  // Required for: std::min
#include <cmath>      // Required for: std::sqrt, std::isfinite
#include <cstring>    // Required for: std::memcpy
#include <memory>     // Required for: std::unique_ptr
#include <utility>    // Required for: std::swap

namespace {

struct Influence {
  int bone;
  double weight;
};

// A vertex's influences: in place for the usual few, on the heap past that
// (a vertex of dozens of entries), in a list the caller keeps so the heap's
// room is reused.
class InfluenceList {
 public:
  void Reset(size_t count) {
    size_ = 0;
    if (count > kInPlace && heap_.size() < count) heap_.resize(count);
    all_ = count > kInPlace ? heap_.data() : in_place_;
  }
  void Add(int bone, double weight, size_t bone_count) {
    if (bone < 0 || size_t(bone) >= bone_count || !(weight > 0)) return;
    for (size_t i = 0; i < size_; ++i)
      if (all_[i].bone == bone) {
        all_[i].weight += weight;
        return;
      }
    all_[size_++] = {bone, weight};
  }
  Influence* data() { return all_; }
  size_t size() const { return size_; }

 private:
  static constexpr size_t kInPlace = 8;
  Influence in_place_[kInPlace];
  std::vector<Influence> heap_;
  Influence* all_ = in_place_;
  size_t size_ = 0;
};

// ExportWeight of every raw weight, made once: a look-up instead of a
// division an entry.
const double* ExportWeights() {
  static const std::unique_ptr<double[]> table = [] {
    auto t = std::make_unique<double[]>(65536);
    for (size_t raw = 0; raw < 65536; ++raw) t[raw] = ExportWeight(uint16_t(raw));
    return t;
  }();
  return table.get();
}

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

void PutJointWeights(const XmodelSurface& s, size_t first, size_t count, size_t bone_count, uint8_t* out,
                     size_t stride) {
  const int rigid = s.bone_table.empty() ? 0 : s.bone_table[0].bone;
  const double* export_weight = ExportWeights();
  InfluenceList influences;
  for (size_t vi = first; vi < first + count; ++vi, out += stride) {
    const int own = s.weighted ? s.influences[vi].primary_bone : rigid;
    const std::span<const InfluenceEntry> entries = s.Entries(vi);
    influences.Reset(entries.size() + 1);
    double rest = 1.0;
    for (const InfluenceEntry& e : entries) rest -= export_weight[e.weight];
    influences.Add(own, rest, bone_count);
    for (const InfluenceEntry& e : entries) influences.Add(e.bone, export_weight[e.weight], bone_count);

    // Heaviest first; an insertion sort keeps equal weights in list order.
    Influence* list = influences.data();
    for (size_t i = 1; i < influences.size(); ++i)
      for (size_t k = i; k > 0 && list[k].weight > list[k - 1].weight; --k) std::swap(list[k], list[k - 1]);
    const size_t kept = std::min(influences.size(), kMaxJointInfluences);
    uint16_t joints[kMaxJointInfluences] = {};
    float weights[kMaxJointInfluences] = {};
    if (kept == 0) {
      joints[0] = uint16_t(own >= 0 && size_t(own) < bone_count ? own : 0);
      weights[0] = 1.0f;
    } else {
      double sum = 0;
      for (size_t k = 0; k < kept; ++k) sum += list[k].weight;
      // Weights that already sum to 1 (most vertices) are their own quotients.
      for (size_t k = 0; k < kept; ++k) {
        joints[k] = uint16_t(list[k].bone);
        weights[k] = float(sum == 1.0 ? list[k].weight : list[k].weight / sum);
      }
    }
    std::memcpy(out, joints, sizeof joints);
    std::memcpy(out + sizeof joints, weights, sizeof weights);
  }
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

void BindPose(const std::vector<XmodelBone>& bones, float scale, std::vector<int>& parents,
              std::vector<BonePose>& pose) {
  parents.resize(bones.size());
  pose.resize(bones.size());
  for (size_t i = 0; i < bones.size(); ++i) {
    parents[i] = BoneParent(bones, i);
    const NodeTransform t = BoneNodeTransform(bones[i]);
    for (int k = 0; k < 4; ++k) pose[i].rotation[k] = t.rotation[k];
    for (int k = 0; k < 3; ++k) pose[i].translation[k] = t.translation[k] * scale;
  }
}

ModelSkeleton SkeletonOf(const Xmodel& model) {
  // The bones in memory carry the load scale; an animation's translations
  // are in the file's units.
  const float unscale = model.scale == 0.0f ? 1.0f : 1.0f / model.scale;
  ModelSkeleton s;
  for (const XmodelBone& bone : model.bones) s.names.emplace_back(bone.name);
  BindPose(model.bones, unscale, s.parents, s.bind_pose);
  return s;
}
