// The format table. Order matters: the DDS texture loader picks rows by index.
#include "imaging/image_format.h"

#include <algorithm>  // Required for: std::max

namespace {

constexpr ImageFormat kFormats[] = {
    {1, 0, 0, 4, 8, 0x83F1, 0, 0},            // DXT1: GL_COMPRESSED_RGBA_S3TC_DXT1_EXT
    {1, 0, 0, 4, 16, 0x83F2, 0, 0},           // DXT3: GL_COMPRESSED_RGBA_S3TC_DXT3_EXT
    {1, 0, 0, 4, 16, 0x83F3, 0, 0},           // DXT5: GL_COMPRESSED_RGBA_S3TC_DXT5_EXT
    {0, 0, 0, 1, 3, 0x8051, 0x80E0, 0x1401},  // RGB8: GL_RGB8, GL_BGR, GL_UNSIGNED_BYTE
    {0, 0, 0, 1, 4, 0x8058, 0x80E1, 0x1401},  // ARGB8: GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE
    {0, 1, 0, 1, 2, 0x8057, 0x80E1, 0x8366},  // A1R5G5B5: GL_RGB5_A1, GL_BGRA, 1_5_5_5_REV
    {0, 1, 0, 1, 2, 0x8050, 0x1907, 0x8363},  // R5G6B5: GL_RGB5, GL_RGB, 5_6_5
    {0, 0, 1, 1, 1, 0x8051, 0x80E1, 0x1401},  // 8-bit palette: GL_RGB8, GL_BGRA, GL_UNSIGNED_BYTE
};

}  // namespace

const ImageFormat& FormatAt(FormatIndex index) { return kFormats[int(index)]; }

const ImageFormat* FindIwiFormat(uint8_t code) {
  switch (code) {
    case iwi::kDXT1: return &kFormats[int(FormatIndex::kDXT1)];
    case iwi::kDXT3: return &kFormats[int(FormatIndex::kDXT3)];
    case iwi::kDXT5: return &kFormats[int(FormatIndex::kDXT5)];
    case iwi::kRGB8: return &kFormats[int(FormatIndex::kRGB8)];
    case iwi::kARGB8: return &kFormats[int(FormatIndex::kARGB8)];
    default: return nullptr;
  }
}

uint64_t LevelSize(const ImageFormat& f, int64_t w, int64_t h) {
  uint64_t b = f.block_size;
  uint64_t uw = uint64_t(std::max<int64_t>(w, 1)), uh = uint64_t(std::max<int64_t>(h, 1));
  return (uw + b - 1) / b * ((uh + b - 1) / b) * f.bytes_per_block;
}
