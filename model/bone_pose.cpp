#include "model/bone_pose.h"

BoneMatrix MatrixOf(const BonePose& p) {
  const float x = p.rotation[0], y = p.rotation[1], z = p.rotation[2], w = p.rotation[3];
  BoneMatrix b;
  float(&m)[3][4] = b.m;
  m[0][0] = 1 - 2 * (y * y + z * z), m[0][1] = 2 * (x * y - z * w), m[0][2] = 2 * (x * z + y * w);
  m[1][0] = 2 * (x * y + z * w), m[1][1] = 1 - 2 * (x * x + z * z), m[1][2] = 2 * (y * z - x * w);
  m[2][0] = 2 * (x * z - y * w), m[2][1] = 2 * (y * z + x * w), m[2][2] = 1 - 2 * (x * x + y * y);
  for (int r = 0; r < 3; ++r) m[r][3] = p.translation[r];
  return b;
}

BoneMatrix Times(const BoneMatrix& a, const BoneMatrix& b) {
  BoneMatrix out;
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 4; ++c)
      out.m[r][c] = a.m[r][0] * b.m[0][c] + a.m[r][1] * b.m[1][c] + a.m[r][2] * b.m[2][c];
    out.m[r][3] += a.m[r][3];
  }
  return out;
}

BoneMatrix Inverse(const BoneMatrix& a) {
  BoneMatrix out;
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) out.m[r][c] = a.m[c][r];
    out.m[r][3] = -(a.m[0][r] * a.m[0][3] + a.m[1][r] * a.m[1][3] + a.m[2][r] * a.m[2][3]);
  }
  return out;
}

void ComposeBones(std::span<const int> parents, std::span<const BonePose> pose, std::span<const BonePose> fallback,
                  std::vector<BoneMatrix>& out) {
  out.resize(parents.size());
  for (size_t i = 0; i < parents.size(); ++i) {
    const BoneMatrix local = MatrixOf(i < pose.size() ? pose[i] : fallback[i]);
    out[i] = parents[i] < 0 ? local : Times(out[size_t(parents[i])], local);
  }
}
