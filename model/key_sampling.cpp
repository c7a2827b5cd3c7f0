#include "model/key_sampling.h"

#include <algorithm>  // Required for: std::upper_bound
#include <cmath>      // Required for: std::sqrt

namespace {

// The key at or before `frame` and the blend towards the next one.
struct Span {
  size_t key = 0;
  double t = 0;  // 0: key alone
};

Span Locate(std::span<const uint16_t> frames, size_t count, double frame) {
  if (count <= 1 || frame <= 0) return {};
  if (frames.empty()) {
    if (frame >= double(count - 1)) return {count - 1, 0};
    const size_t k = size_t(frame);
    return {k, frame - double(k)};
  }
  const size_t n = std::min(count, frames.size());
  const auto next = std::upper_bound(frames.begin(), frames.begin() + ptrdiff_t(n), frame,
                                     [](double f, uint16_t key) { return f < double(key); });
  if (next == frames.begin()) return {};
  const size_t k = size_t(next - frames.begin()) - 1;
  if (k + 1 >= n) return {n - 1, 0};
  const double gap = double(frames[k + 1]) - double(frames[k]);
  return {k, gap > 0 ? (frame - double(frames[k])) / gap : 0};
}

}  // namespace

void SampleRotation(std::span<const uint16_t> frames, std::span<const float> keys, double frame, float out[4]) {
  const size_t count = keys.size() / 4;
  if (count == 0) return;
  const Span s = Locate(frames, count, frame);
  const float* a = &keys[s.key * 4];
  if (s.t == 0 || s.key + 1 >= count) {
    for (int i = 0; i < 4; ++i) out[i] = a[i];
    return;
  }
  const float* b = &keys[(s.key + 1) * 4];
  const float dot = a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3];
  const float sign = dot < 0 ? -1.0f : 1.0f;
  const float t = float(s.t);
  float q[4], length = 0;
  for (int i = 0; i < 4; ++i) {
    q[i] = a[i] + (sign * b[i] - a[i]) * t;
    length += q[i] * q[i];
  }
  length = std::sqrt(length);
  for (int i = 0; i < 4; ++i) out[i] = length > 0 ? q[i] / length : a[i];
}

void SampleTranslation(std::span<const uint16_t> frames, std::span<const float> keys, double frame, float out[3]) {
  const size_t count = keys.size() / 3;
  if (count == 0) return;
  const Span s = Locate(frames, count, frame);
  const float* a = &keys[s.key * 3];
  const float* b = s.key + 1 < count ? &keys[(s.key + 1) * 3] : a;
  const float t = float(s.t);
  for (int i = 0; i < 3; ++i) out[i] = a[i] + (b[i] - a[i]) * t;
}
