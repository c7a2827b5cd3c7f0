#include "viewer/skinning.h"

#include <cmath>  // Required for: std::sqrt

#include "model/skin_weights.h"

void SkinnedLevel::Prepare(const Xmodel& model) {
  const std::vector<XmodelBone>& bones = model.bones;
  BindPose(bones, 1.0f, parents_, bind_pose_);
  ComposeBones(parents_, bind_pose_, bind_pose_, posed_);
  inverse_bind_.resize(posed_.size());
  for (size_t i = 0; i < posed_.size(); ++i) inverse_bind_[i] = Inverse(posed_[i]);

  weights_.clear();
  bind_positions_.clear();
  bind_normals_.clear();
  if (model.lods.empty() || !model.ShownLod().surfaces_loaded) return;
  for (const XmodelSurface& s : model.ShownLod().surfaces) {
    const size_t first = weights_.size();
    weights_.resize(first + s.vertices.size());
    PutJointWeights(s, 0, s.vertices.size(), bones.size(), reinterpret_cast<uint8_t*>(weights_.data() + first),
                    sizeof(VertexSkin));
    for (const XmodelVertex& v : s.vertices) {
      bind_positions_.insert(bind_positions_.end(), v.position, v.position + 3);
      bind_normals_.insert(bind_normals_.end(), v.normal, v.normal + 3);
    }
  }
  // A model without bones moves nothing: its vertices stay on joint 0's
  // identity below.
  if (bones.empty()) inverse_bind_.assign(1, BoneMatrix{}), posed_.assign(1, BoneMatrix{});
}

void SkinnedLevel::Skin(std::span<const BonePose> pose, std::vector<float>& positions, std::vector<float>& normals) {
  if (!parents_.empty()) ComposeBones(parents_, pose, bind_pose_, posed_);
  skin_.resize(posed_.size());
  for (size_t i = 0; i < posed_.size(); ++i) skin_[i] = Times(posed_[i], inverse_bind_[i]);
  const size_t n = weights_.size();
  positions.resize(n * 3);
  normals.resize(n * 3);
  const float* p = bind_positions_.data();
  const float* q = bind_normals_.data();
  for (size_t v = 0; v < n; ++v, p += 3, q += 3) {
    // The weighted sum of the vertex's bones' transforms, applied once.
    const VertexSkin& s = weights_[v];
    float m[3][4] = {};
    for (int k = 0; k < 4; ++k) {
      const float w = s.weight[k];
      if (w == 0.0f || s.joint[k] >= skin_.size()) continue;
      const float(&b)[3][4] = skin_[s.joint[k]].m;
      for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) m[r][c] += w * b[r][c];
    }
    float* out_p = &positions[v * 3];
    float* out_n = &normals[v * 3];
    for (int r = 0; r < 3; ++r) {
      out_p[r] = m[r][0] * p[0] + m[r][1] * p[1] + m[r][2] * p[2] + m[r][3];
      out_n[r] = m[r][0] * q[0] + m[r][1] * q[1] + m[r][2] * q[2];
    }
    const float length = std::sqrt(out_n[0] * out_n[0] + out_n[1] * out_n[1] + out_n[2] * out_n[2]);
    if (length > 1e-12f)
      for (int r = 0; r < 3; ++r) out_n[r] /= length;
  }
}
