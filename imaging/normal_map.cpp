#include "imaging/normal_map.h"

#include <cmath>
#include <vector>

namespace {

// A stored byte as a component in [-1, 1] (128 is 0), and back.
float Component(uint32_t byte) { return (float(byte) - 128.0f) / 127.0f; }

uint32_t Byte(float c) {
  const long v = std::lround(c * 127.0f + 128.0f);
  return uint32_t(v < 0 ? 0 : v > 255 ? 255 : v);
}

// The rebuilt 0xFFRRGGBB of each stored (alpha, green) pair. A pair past
// the unit circle (no Z makes it unit length; some maps made for other
// games hold such pixels) keeps its direction at Z = 0.
std::vector<uint32_t> RebuiltPairs() {
  std::vector<uint32_t> pairs(256 * 256);
  for (uint32_t a = 0; a < 256; ++a)
    for (uint32_t g = 0; g < 256; ++g) {
      float x = Component(a), y = -Component(g);  // Y turned to point up
      float zz = 1.0f - x * x - y * y;
      if (zz < 0) {
        const float length = std::sqrt(x * x + y * y);
        x /= length, y /= length, zz = 0;
      }
      pairs[a * 256 + g] = 0xFF000000u | Byte(x) << 16 | Byte(y) << 8 | Byte(std::sqrt(zz));
    }
  return pairs;
}

}  // namespace

void RebuildNormalMap(std::span<uint32_t> argb) {
  // Once for every pair: a 2048 x 2048 map is four million pixels and there
  // are 65,536 pairs.
  static const std::vector<uint32_t> kPairs = RebuiltPairs();
  for (uint32_t& p : argb) p = kPairs[(p >> 24) * 256 + ((p >> 8) & 0xFF)];
}
