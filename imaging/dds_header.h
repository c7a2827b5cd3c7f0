// The DDS file header as written and read here: "DDS " and the 124-byte
// header, little-endian, kept byte for byte in IwiImage::dds_header.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>

struct DdsHeader {
  uint32_t magic;  // "DDS "
  uint32_t size;   // 124
  uint32_t flags;
  uint32_t height;
  uint32_t width;
  uint32_t pitch_or_linear_size;
  uint32_t depth;
  uint32_t mip_map_count;
  uint32_t reserved1[11];
  uint32_t pf_size;  // 32
  uint32_t pf_flags;
  uint32_t four_cc;
  uint32_t rgb_bit_count;
  uint32_t r_mask;
  uint32_t g_mask;
  uint32_t b_mask;
  uint32_t a_mask;
  uint32_t caps;
  uint32_t caps2;
  uint32_t caps3;
  uint32_t caps4;
  uint32_t reserved2;
};
static_assert(sizeof(DdsHeader) == 128, "the DDS header is 128 bytes on disk");
static_assert(std::endian::native == std::endian::little, "DDS fields are copied as little-endian words");

namespace dds {
inline constexpr uint32_t kMagic = 0x20534444;  // "DDS "
inline constexpr uint32_t kHeaderSize = 124;
inline constexpr uint32_t kPixelFormatSize = 32;
// Header flags.
inline constexpr uint32_t kCaps = 0x1;
inline constexpr uint32_t kHeight = 0x2;
inline constexpr uint32_t kWidth = 0x4;
inline constexpr uint32_t kPixelFormat = 0x1000;
inline constexpr uint32_t kMipMapCount = 0x20000;
// Pixel format flags.
inline constexpr uint32_t kAlphaPixels = 0x1;
inline constexpr uint32_t kFourCC = 0x4;
inline constexpr uint32_t kPalette8 = 0x20;
inline constexpr uint32_t kRGB = 0x40;
// Caps.
inline constexpr uint32_t kComplex = 0x8;
inline constexpr uint32_t kTexture = 0x1000;
inline constexpr uint32_t kMipMap = 0x400000;
// Caps2: a cube map names each face it holds; readers take a cube map only
// with all six (faces missing from a file are not stored at all).
inline constexpr uint32_t kCubeMap = 0x200;
inline constexpr uint32_t kCubeMapAllFaces = 0xFC00;  // +X, -X, +Y, -Y, +Z, -Z
inline constexpr uint32_t kVolume = 0x200000;

constexpr uint32_t FourCC(const char (&s)[5]) {
  return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
         uint32_t(uint8_t(s[3])) << 24;
}
inline constexpr uint32_t kDXT1 = FourCC("DXT1");
inline constexpr uint32_t kDXT3 = FourCC("DXT3");
inline constexpr uint32_t kDXT5 = FourCC("DXT5");

// The IWI format code of an S3TC FourCC (11, 12, 13), or 0.
inline uint8_t IwiCodeOfFourCC(uint32_t four_cc) {
  return four_cc == kDXT1 ? 11 : four_cc == kDXT3 ? 12 : four_cc == kDXT5 ? 13 : 0;
}

// The magic, the size and the caps and pixel-format flags every reader here
// requires.
inline bool HeaderValid(const DdsHeader& h) {
  return h.magic == kMagic && h.size == kHeaderSize && (h.flags & kPixelFormat) && (h.flags & kCaps);
}

inline DdsHeader ToHeader(const std::array<uint8_t, 128>& bytes) {
  DdsHeader h;
  std::memcpy(&h, bytes.data(), sizeof h);
  return h;
}

inline void FromHeader(const DdsHeader& h, std::array<uint8_t, 128>& bytes) {
  std::memcpy(bytes.data(), &h, sizeof h);
}
}  // namespace dds
