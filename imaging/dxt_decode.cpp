// DXT1, DXT3, DXT5, ARGB8 and RGB8 decoding of a top level into 0xAARRGGBB
// pixels. Interpolated colours are computed on the expanded 8-bit channels
// and truncate; DXT1's fourth colour in three-colour mode is opaque black
// (the TGA keeps no transparency for it).
#include "imaging/dxt_decode.h"

#include <cstring>  // Required for: memcpy
#include <new>      // Required for: std::nothrow

namespace {

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

uint32_t Channel(uint32_t c, int shift) { return (c >> shift) & 0xFF; }

// (a * wa + b * wb) / d per channel of two 0x00RRGGBB colours.
uint32_t Mix(uint32_t a, uint32_t b, uint32_t wa, uint32_t wb, uint32_t d) {
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8)
    out |= ((Channel(a, shift) * wa + Channel(b, shift) * wb) / d) << shift;
  return out;
}

// The four colours of a colour block (bytes 0..3 of it), alpha left 0.
// `three_colour` allows DXT1's mode for c0 <= c1: index 2 the average,
// index 3 opaque black.
inline void ColourTable(const uint8_t* block, bool three_colour, uint32_t table[4]) {
  uint16_t c0 = U16(block), c1 = U16(block + 2);
  table[0] = Expand565(c0);
  table[1] = Expand565(c1);
  if (c0 > c1 || !three_colour) {
    table[2] = Mix(table[0], table[1], 2, 1, 3);
    table[3] = Mix(table[0], table[1], 1, 2, 3);
  } else {
    table[2] = Mix(table[0], table[1], 1, 1, 2);
    table[3] = 0;
  }
}

// The DXT5 alpha table from the end points a0, a1.
void AlphaTable(uint32_t a0, uint32_t a1, uint32_t table[8]) {
  table[0] = a0;
  table[1] = a1;
  if (a0 > a1) {
    for (uint32_t i = 2; i < 8; ++i) table[i] = ((8 - i) * a0 + (i - 1) * a1) / 7;
  } else {
    for (uint32_t i = 2; i < 6; ++i) table[i] = ((6 - i) * a0 + (i - 1) * a1) / 5;
    table[6] = 0;
    table[7] = 255;
  }
}

}  // namespace

uint32_t Expand565(uint16_t c) {
  uint32_t r = (uint32_t(c >> 11) * 255 + 16);
  r = (r + (r >> 5)) >> 5;
  uint32_t g = (uint32_t((c >> 5) & 63) * 255 + 32);
  g = (g + (g >> 6)) >> 6;
  uint32_t b = (uint32_t(c & 31) * 255 + 16);
  b = (b + (b >> 5)) >> 5;
  return r << 16 | g << 8 | b;
}

void TgaImage::Setup(int32_t w, int32_t h) {
  // `bottom_up` is the caller's choice and survives the set-up.
  pixels.reset();
  byte_size = 0;
  complete = false;
  first_row = 0;
  bytes_per_pixel = 4;
  image_type = 2;
  bits_per_pixel = 32;
  width = w > 0 ? uint32_t(w) : 0;
  height = h > 0 ? uint32_t(h) : 0;
  uint64_t count = uint64_t(width) * height;
  if (count == 0 || count * 4 > UINT32_MAX) return;
  pixels.reset(new (std::nothrow) uint32_t[count]);
  if (pixels) byte_size = uint32_t(count * 4);
}

DDS_Convert::DDS_Convert(int32_t w, int32_t h, std::span<const uint8_t> level, uint32_t unit_bytes,
                         uint32_t unit_pixels)
    : width(w),
      height(h),
      unit_bytes(unit_bytes),
      unit_pixels(unit_pixels),
      blocks_wide((w + 3) / 4),
      blocks_high((h + 3) / 4),
      block_w(w < 4 ? w : 4),
      block_h(h < 4 ? h : 4) {
  if (w <= 0 || h <= 0) return;
  uint64_t units = unit_pixels == 4 ? uint64_t(blocks_wide) * uint64_t(blocks_high) : uint64_t(w) * uint64_t(h);
  if (units * unit_bytes <= level.size()) cursor = level_start = level.data();
}

void DDS_Convert::Run(TgaImage& out) {
  out.Setup(width, height);
  target = &out;
  if (cursor && out.byte_size != 0) DecodeAll();
  target = nullptr;
}

void DDS_Convert::DecodeStrip(int32_t y0, int32_t rows, TgaImage& strip) {
  if (!cursor) return;
  strip.first_row = uint32_t(y0);
  strip.height = uint32_t(rows);
  target = &strip;
  if (unit_pixels == 4) {
    for (int32_t by = y0 / 4; by < (y0 + rows + 3) / 4; ++by) {
      cursor = level_start + size_t(by) * size_t(blocks_wide) * unit_bytes;
      for (int32_t bx = 0; bx < blocks_wide; ++bx) DecodeBlock(4 * bx, 4 * by);
    }
  } else {
    for (int32_t y = y0; y < y0 + rows; ++y) {
      cursor = level_start + size_t(y) * size_t(width) * unit_bytes;
      for (int32_t x = 0; x < width; ++x) DecodeBlock(x, y);
    }
  }
  target = nullptr;
}

void DDS_Convert::DecodeBlocks() {
  for (int32_t by = 0; by < blocks_high; ++by)
    for (int32_t bx = 0; bx < blocks_wide; ++bx) DecodeBlock(4 * bx, 4 * by);
  target->complete = true;
}

void DDS_Convert::DecodePixels() {
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) DecodeBlock(x, y);
  target->complete = true;
}

void DDS_Convert::PutBlock(int32_t x, int32_t y, const uint32_t texels[16]) {
  const ptrdiff_t step = target->bottom_up ? -ptrdiff_t(target->width) : ptrdiff_t(target->width);
  uint32_t* row = target->Row(uint32_t(y)) + x;
  if (x + 4 <= width && y + 4 <= height) {
    for (int r = 0; r < 4; ++r, row += step) std::memcpy(row, texels + 4 * r, 16);
    return;
  }
  int cols = width - x < 4 ? width - x : 4, rows = height - y < 4 ? height - y : 4;
  for (int r = 0; r < rows; ++r, row += step) std::memcpy(row, texels + 4 * r, size_t(cols) * 4);
}

void DXT1::DecodeBlock(int32_t x, int32_t y) {
  uint32_t table[4];
  ColourTable(cursor, true, table);
  for (uint32_t& c : table) c |= 0xFF000000u;
  uint32_t indices = U32(cursor + 4);
  uint32_t texels[16];
  for (int t = 0; t < 16; ++t) texels[t] = table[(indices >> (2 * t)) & 3];
  PutBlock(x, y, texels);
  cursor += 8;
}

void DXT3::DecodeBlock(int32_t x, int32_t y) {
  // 64 bits of explicit alpha, four bits a texel, then a four-colour block.
  uint64_t alpha = 0;
  std::memcpy(&alpha, cursor, 8);
  uint32_t table[4];
  ColourTable(cursor + 8, false, table);
  uint32_t indices = U32(cursor + 12);
  uint32_t texels[16];
  for (int t = 0; t < 16; ++t)
    texels[t] = uint32_t((alpha >> (4 * t)) & 0xF) * 0x11u << 24 | table[(indices >> (2 * t)) & 3];
  PutBlock(x, y, texels);
  cursor += 16;
}

void DXT5::DecodeBlock(int32_t x, int32_t y) {
  uint32_t alpha[8];
  AlphaTable(cursor[0], cursor[1], alpha);
  for (uint32_t& a : alpha) a <<= 24;
  uint64_t alpha_bits = 0;
  std::memcpy(&alpha_bits, cursor + 2, 6);
  uint32_t table[4];
  ColourTable(cursor + 8, false, table);
  uint32_t indices = U32(cursor + 12);
  uint32_t texels[16];
  for (int t = 0; t < 16; ++t, alpha_bits >>= 3, indices >>= 2)
    texels[t] = alpha[alpha_bits & 7] | table[indices & 3];
  PutBlock(x, y, texels);
  cursor += 16;
}

void ARGB8::DecodeBlock(int32_t x, int32_t y) {
  target->Row(uint32_t(y))[x] = U32(cursor);  // B, G, R, A
  cursor += 4;
}

void RGB8::DecodeBlock(int32_t x, int32_t y) {
  target->Row(uint32_t(y))[x] =
      0xFF000000u | uint32_t(cursor[2]) << 16 | uint32_t(cursor[1]) << 8 | cursor[0];  // B, G, R
  cursor += 3;
}

std::unique_ptr<DDS_Convert> MakeConverter(uint8_t format, int32_t w, int32_t h,
                                           std::span<const uint8_t> level) {
  switch (format) {
    case 1: return std::make_unique<ARGB8>(w, h, level);
    case 2: return std::make_unique<RGB8>(w, h, level);
    case 11: return std::make_unique<DXT1>(w, h, level);
    case 12: return std::make_unique<DXT3>(w, h, level);
    case 13: return std::make_unique<DXT5>(w, h, level);
    default: return nullptr;
  }
}
