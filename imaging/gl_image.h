// Images and OpenGL: uploading an IwiImage's levels to a texture, loading a
// DDS file straight into a texture (the GUI's pictures) and the window
// screenshot. The core has no GL: these run against ImageGl, the few GL
// calls they make, which the window implements over its real context.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "imaging/image_codes.h"

class IwiImage;

namespace gl {
inline constexpr uint32_t kTexture2D = 0x0DE1;
inline constexpr uint32_t kTextureMagFilter = 0x2800;
inline constexpr uint32_t kTextureMinFilter = 0x2801;
inline constexpr uint32_t kTextureWrapS = 0x2802;
inline constexpr uint32_t kTextureWrapT = 0x2803;
inline constexpr int32_t kLinear = 0x2601;
inline constexpr int32_t kLinearMipmapLinear = 0x2703;
inline constexpr int32_t kRepeat = 0x2901;
inline constexpr uint32_t kUnpackSwapBytes = 0x0CF0;
inline constexpr uint32_t kUnpackRowLength = 0x0CF2;
inline constexpr uint32_t kPackAlignment = 0x0D05;
inline constexpr uint32_t kFront = 0x0404;
inline constexpr uint32_t kRGB = 0x1907;
inline constexpr uint32_t kRGBA = 0x1908;
inline constexpr uint32_t kBGR = 0x80E0;
inline constexpr uint32_t kUnsignedByte = 0x1401;
}  // namespace gl

class ImageGl {
 public:
  virtual ~ImageGl() = default;
  virtual uint32_t GenTexture() = 0;  // glGenTextures of one name
  virtual void BindTexture(uint32_t target, uint32_t texture) = 0;
  virtual void TexParameter(uint32_t target, uint32_t name, int32_t value) = 0;
  virtual void PixelStore(uint32_t name, int32_t value) = 0;
  virtual void CompressedTexImage2D(uint32_t target, int32_t level, uint32_t internal_format, int32_t w,
                                    int32_t h, std::span<const uint8_t> data) = 0;
  virtual void TexImage2D(uint32_t target, int32_t level, int32_t internal_format, int32_t w, int32_t h,
                          uint32_t format, uint32_t type, const void* data) = 0;
  virtual void ReadBuffer(uint32_t mode) = 0;
  virtual void ReadPixels(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t format, uint32_t type,
                          void* out) = 0;
};

// Uploads every level of a loaded image; `texture` receives the new name.
// 24, or 7 (not loaded), 21 (format), 23 (an empty or missing level).
[[nodiscard]] ImageResult UploadIWI(ImageGl& gl, IwiImage& image, uint32_t& texture);

// Loads a DDS file into a new texture: S3TC, ARGB8, A1R5G5B5, R5G6B5 or an
// 8-bit palette. 24, or 5 / 6 (open), 11 (header), 12 (pixel format), 13
// (levels past the end of the file).
[[nodiscard]] ImageResult LoadDDSTexture(ImageGl& gl, const std::string& path, uint32_t& texture);
[[nodiscard]] ImageResult LoadDDSTextureBytes(ImageGl& gl, std::span<const uint8_t> file, uint32_t& texture);

// The front buffer's (0, 0, width, height) as an uncompressed 24-bit DDS
// file, top row first. False when nothing was written.
bool QorScreenShot(ImageGl& gl, const std::string& path, int32_t width, int32_t height);
