// The pixel formats an image can be held in: one read-only descriptor each,
// looked up by IWI format code (the first five) or picked by the DDS texture
// loader (all eight), and the level-size rule every reader and writer shares.
#pragma once

#include <cstdint>

struct ImageFormat {
  uint8_t compressed;
  uint8_t swap_bytes;
  uint8_t palettized;
  uint32_t block_size;       // pixels along one side of a unit
  uint32_t bytes_per_block;  // bytes of one unit
  uint32_t gl_internal_format;
  uint32_t gl_format;
  uint32_t gl_type;
};

// IWI format codes.
namespace iwi {
inline constexpr uint8_t kARGB8 = 1;
inline constexpr uint8_t kRGB8 = 2;
inline constexpr uint8_t kDXT1 = 11;
inline constexpr uint8_t kDXT3 = 12;
inline constexpr uint8_t kDXT5 = 13;
}  // namespace iwi

// Indexes into the table for the DDS texture loader.
enum class FormatIndex : int { kDXT1, kDXT3, kDXT5, kRGB8, kARGB8, kA1R5G5B5, kR5G6B5, kPalette8 };

const ImageFormat& FormatAt(FormatIndex index);

// The descriptor of an IWI format code, or nullptr for every other code.
const ImageFormat* FindIwiFormat(uint8_t code);

// Bytes of one level: whole blocks across times whole blocks down times bytes
// per block. A side that is not a multiple of the block size still needs its
// last, partial block (a 5 x 3 DXT1 level is 2 x 1 blocks, as GL and every
// DDS reader expect); a side below one block takes one block. 64 bits so
// hostile sizes cannot wrap; sizes below 1 count as 1.
uint64_t LevelSize(const ImageFormat& format, int64_t w, int64_t h);

// The next smaller level's side: (x + 1) / 2.
inline int64_t HalveSide(int64_t x) { return (x + 1) / 2; }
