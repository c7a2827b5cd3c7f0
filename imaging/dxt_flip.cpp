// Block-level vertical flips of DXT1, DXT3 and DXT5 data.
#include "imaging/dxt_flip.h"

#include <algorithm>  // Required for: std::swap_ranges, std::max
#include <cstring>    // Required for: memcpy

#include "imaging/image_format.h"

namespace {

// The rows of one block, reversed over its first `rows` pixel rows.
void FlipBlock(uint8_t* b, uint8_t format, int rows) {
  // Colour indices: one byte per pixel row, at 4..7 (DXT1) or 12..15.
  uint8_t* colour = b + (format == iwi::kDXT1 ? 4 : 12);
  std::reverse(colour, colour + rows);
  if (format == iwi::kDXT3) {
    // Explicit alpha: one 16-bit row per pixel row, bytes 0..7.
    for (int r = 0; r < rows / 2; ++r) std::swap_ranges(b + 2 * r, b + 2 * r + 2, b + 2 * (rows - 1 - r));
  } else if (format == iwi::kDXT5) {
    // Alpha indices: 48 bits at 2..7, little-endian, 12 bits per pixel row.
    uint64_t bits = 0;
    std::memcpy(&bits, b + 2, 6);
    uint64_t row[4];
    for (int r = 0; r < 4; ++r) row[r] = (bits >> (12 * r)) & 0xFFF;
    std::reverse(row, row + rows);
    bits = 0;
    for (int r = 0; r < 4; ++r) bits |= row[r] << (12 * r);
    std::memcpy(b + 2, &bits, 6);
  }
}

}  // namespace

void FlipCompressedLevel(std::span<uint8_t> level, uint8_t format, int64_t w, int64_t h) {
  const ImageFormat* f = FindIwiFormat(format);
  if (!f || !f->compressed) return;
  const size_t block = f->bytes_per_block;
  const size_t across = size_t((std::max<int64_t>(w, 1) + 3) / 4);
  const size_t down = size_t((std::max<int64_t>(h, 1) + 3) / 4);
  const size_t row_bytes = across * block;
  if (row_bytes == 0 || level.size() / row_bytes < down) return;  // the caller sized the level
  const int rows = down == 1 && h < 4 ? int(std::max<int64_t>(h, 1)) : 4;

  for (size_t top = 0, bottom = down - 1; top < bottom; ++top, --bottom)
    std::swap_ranges(level.data() + top * row_bytes, level.data() + (top + 1) * row_bytes,
                     level.data() + bottom * row_bytes);
  for (size_t i = 0; i < across * down; ++i) FlipBlock(level.data() + i * block, format, rows);
}
