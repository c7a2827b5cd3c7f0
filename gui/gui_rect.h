// A rectangle of the interface with its anchoring: x, y, width, height in
// window pixels (y down) and the flags that say how it follows a change of
// the window's (or a framed menu's) size.
#pragma once

#include <cstdint>

// Anchor flags; -1 (all bits) keeps the rectangle where it is.
inline constexpr int32_t kAnchorX = 0x1;        // x moves with the width change
inline constexpr int32_t kAnchorY = 0x2;        // y moves with the height change
inline constexpr int32_t kAnchorWidth = 0x4;    // width grows with the width change
inline constexpr int32_t kAnchorHeight = 0x8;   // height grows with the height change
inline constexpr int32_t kAnchorHalfX = 0x10;   // x moves by half the width change
inline constexpr int32_t kAnchorHalfY = 0x20;   // y moves by half the height change
inline constexpr int32_t kAnchorFixed = -1;

struct GuiRect {
  int32_t x = 0, y = 0, w = 0, h = 0;
  int32_t flags = kAnchorFixed;

  bool operator==(const GuiRect&) const = default;
};

// The rectangle laid out for a size `dx`, `dy` larger than the one `design`
// was made for. Always computed from the design rectangle, never step by
// step: halved odd changes would otherwise drift a pixel on every resize.
inline GuiRect Anchored(const GuiRect& design, int32_t dx, int32_t dy) {
  GuiRect r = design;
  const int32_t f = design.flags;
  if (f == kAnchorFixed) return r;
  if (f & kAnchorX) r.x += dx;
  if (f & kAnchorY) r.y += dy;
  if (f & kAnchorWidth) r.w += dx;
  if (f & kAnchorHeight) r.h += dy;
  if (f & kAnchorHalfX) r.x += dx / 2;
  if (f & kAnchorHalfY) r.y += dy / 2;
  return r;
}
