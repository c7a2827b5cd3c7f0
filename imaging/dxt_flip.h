// Vertical flip of one S3TC level in place, without decoding: the rows of
// blocks are taken in reverse order and inside every block the pixel rows
// are reversed (two-bit colour indices, DXT3's four-bit alpha rows, DXT5's
// three-bit alpha index rows). IWI and DDS files store rows top to bottom,
// OpenGL wants them bottom to top.
#pragma once

#include <cstdint>
#include <span>

// `format` is the IWI code of the level (11, 12 or 13); `w` x `h` its size.
// A level one block high whose height is below 4 has padding rows under its
// picture: only its `h` picture rows are reversed, so the picture stays in
// the rows a reader takes. Taller levels whose height is not a multiple of 4
// cannot be flipped exactly without re-encoding; they keep whole-block
// reversal. Bytes past the level's whole blocks are left alone.
void FlipCompressedLevel(std::span<uint8_t> level, uint8_t format, int64_t w, int64_t h);
