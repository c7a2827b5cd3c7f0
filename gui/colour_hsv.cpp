#include "gui/colour_hsv.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

Rgba HsvToRgb(const Hsv& hsv) {
  const float h = float(((hsv.hue % 360) + 360) % 360) / 60.0f;
  const float s = float(std::clamp(hsv.saturation, 0, 100)) / 100.0f;
  const float v = float(std::clamp(hsv.value, 0, 100)) / 100.0f;
  const float c = v * s;
  const float x = c * (1.0f - std::fabs(std::fmod(h, 2.0f) - 1.0f));
  const float m = v - c;
  float r = 0, g = 0, b = 0;
  switch (int(h)) {
    case 0: r = c, g = x; break;
    case 1: r = x, g = c; break;
    case 2: g = c, b = x; break;
    case 3: g = x, b = c; break;
    case 4: r = x, b = c; break;
    default: r = c, b = x; break;
  }
  return {r + m, g + m, b + m, 1};
}

Hsv RgbToHsv(const Rgba& rgb) {
  const float r = std::clamp(rgb.r, 0.0f, 1.0f), g = std::clamp(rgb.g, 0.0f, 1.0f), b = std::clamp(rgb.b, 0.0f, 1.0f);
  const float hi = std::max({r, g, b}), lo = std::min({r, g, b}), d = hi - lo;
  float h = 0;
  if (d > 0) {
    if (hi == r) {
      h = 60.0f * std::fmod((g - b) / d, 6.0f);
    } else if (hi == g) {
      h = 60.0f * ((b - r) / d + 2.0f);
    } else {
      h = 60.0f * ((r - g) / d + 4.0f);
    }
    if (h < 0) h += 360.0f;
  }
  Hsv out;
  out.hue = int(std::lround(h)) % 360;
  out.saturation = hi > 0 ? int(std::lround(d / hi * 100.0f)) : 0;
  out.value = int(std::lround(hi * 100.0f));
  return out;
}

Rgba RgbaOfColourRef(uint32_t colour) {
  return {float(colour & 0xFF) / 255.0f, float((colour >> 8) & 0xFF) / 255.0f, float((colour >> 16) & 0xFF) / 255.0f,
          1};
}

uint32_t ColourRefOfRgba(const Rgba& c) {
  auto byte = [](float f) { return uint32_t(std::lround(std::clamp(f, 0.0f, 1.0f) * 255.0f)); };
  return byte(c.r) | byte(c.g) << 8 | byte(c.b) << 16;
}
