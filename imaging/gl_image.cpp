// UploadIWI, LoadDDSTexture and QorScreenShot over the ImageGl seam.
// Uncompressed uploads set GL_UNPACK_ALIGNMENT to 1 for their duration:
// rows of 3-byte or 2-byte pixels are not padded to 4 bytes in our buffers
// (a 610-pixel RGB8 row is 1830 bytes), and GL's default would read past
// them.
#include "imaging/gl_image.h"

#include <algorithm>  // Required for: std::swap_ranges
#include <memory>
#include <new>        // Required for: std::nothrow
#include <vector>

#include "base/logger.h"
#include "imaging/dds_header.h"
#include "imaging/dxt_flip.h"
#include "imaging/image_file.h"
#include "imaging/image_format.h"
#include "imaging/iwi_image.h"
#include "platform/replace_file.h"

namespace {

constexpr uint32_t kUnpackAlignment = 0x0CF5;
constexpr uint32_t kMaxGlLevels = 16;

// Row `r` exchanged with row `rows` - 1 - `r`.
void FlipRows(uint8_t* data, size_t row_bytes, size_t rows) {
  for (size_t r = 0; r < rows / 2; ++r)
    std::swap_ranges(data + r * row_bytes, data + (r + 1) * row_bytes, data + (rows - 1 - r) * row_bytes);
}

// The descriptor of a DDS pixel format, or nullptr.
const ImageFormat* PickDdsFormat(const DdsHeader& h, uint8_t& iwi_code) {
  iwi_code = 0;
  const uint32_t rgb_alpha = dds::kRGB | dds::kAlphaPixels;
  if (h.pf_flags & dds::kFourCC) {
    iwi_code = dds::IwiCodeOfFourCC(h.four_cc);
    if (iwi_code) return FindIwiFormat(iwi_code);
  }
  if ((h.pf_flags & rgb_alpha) == rgb_alpha && h.rgb_bit_count == 32 && h.r_mask == 0xFF0000 &&
      h.g_mask == 0xFF00 && h.b_mask == 0xFF && h.a_mask == 0xFF000000)
    return &FormatAt(FormatIndex::kARGB8);
  if ((h.pf_flags & rgb_alpha) == rgb_alpha && h.rgb_bit_count == 16 && h.r_mask == 0x7C00 &&
      h.g_mask == 0x3E0 && h.b_mask == 0x1F && h.a_mask == 0x8000)
    return &FormatAt(FormatIndex::kA1R5G5B5);
  if ((h.pf_flags & dds::kRGB) && !(h.pf_flags & dds::kAlphaPixels) && h.rgb_bit_count == 16 &&
      h.r_mask == 0xF800 && h.g_mask == 0x7E0 && h.b_mask == 0x1F)
    return &FormatAt(FormatIndex::kR5G6B5);
  if ((h.pf_flags & dds::kPalette8) && h.rgb_bit_count == 8) return &FormatAt(FormatIndex::kPalette8);
  return nullptr;
}

}  // namespace

ImageResult UploadIWI(ImageGl& gl, IwiImage& image, uint32_t& texture) {
  if (!image.loaded) return img::kNotLoaded;
  uint32_t internal_format = 0, pixel_format = 0;
  bool compressed = true;
  switch (image.iwi_header.format) {
    case iwi::kDXT1: internal_format = 0x83F1; break;
    case iwi::kDXT3: internal_format = 0x83F2; break;
    case iwi::kDXT5: internal_format = 0x83F3; break;
    case iwi::kRGB8: internal_format = 0x8051, pixel_format = gl::kRGB, compressed = false; break;
    case iwi::kARGB8: internal_format = 0x8058, pixel_format = gl::kRGBA, compressed = false; break;
    default: return img::kUploadFormat;
  }
  const ImageFormat& format = *FindIwiFormat(image.iwi_header.format);

  texture = gl.GenTexture();
  image.gl_texture = texture;
  gl.BindTexture(gl::kTexture2D, texture);
  gl.TexParameter(gl::kTexture2D, gl::kTextureMinFilter, gl::kLinear);
  gl.TexParameter(gl::kTexture2D, gl::kTextureMagFilter, gl::kLinear);
  if (!compressed) gl.PixelStore(kUnpackAlignment, 1);

  ImageResult result = img::kSuccess;
  int32_t w = image.width, h = image.height;
  for (int32_t i = 0; i < image.mip_count; ++i) {
    if (w <= 0) w = 1;
    if (h <= 0) h = 1;
    // A level the image does not hold, or one too short for its size, is empty.
    if (size_t(i) >= image.levels.size() || image.levels[size_t(i)].size() < LevelSize(format, w, h)) {
      result = img::kEmptyLevel;
      break;
    }
    const std::vector<uint8_t>& level = image.levels[size_t(i)];
    if (compressed) {
      gl.CompressedTexImage2D(gl::kTexture2D, i, internal_format, w, h, level);
    } else {
      gl.TexImage2D(gl::kTexture2D, i, int32_t(internal_format), w, h, pixel_format, gl::kUnsignedByte,
                    level.data());
    }
    w = (w + 1) >> 1;
    h = (h + 1) >> 1;
  }
  if (!compressed) gl.PixelStore(kUnpackAlignment, 4);
  return result;
}

ImageResult LoadDDSTexture(ImageGl& gl, const std::string& path, uint32_t& texture) {
  std::vector<uint8_t> bytes;
  ImageResult r = ReadImageFile(path, bytes, kMaxImageFile);
  if (r != img::kSuccess) return r;
  return LoadDDSTextureBytes(gl, bytes, texture);
}

ImageResult LoadDDSTextureBytes(ImageGl& gl, std::span<const uint8_t> file, uint32_t& texture) {
  if (file.size() < sizeof(DdsHeader)) return img::kBadDdsHeader;
  std::array<uint8_t, 128> raw;
  std::copy(file.begin(), file.begin() + sizeof(DdsHeader), raw.begin());
  const DdsHeader h = dds::ToHeader(raw);
  if (!dds::HeaderValid(h)) return img::kBadDdsHeader;
  uint8_t code = 0;
  const ImageFormat* format = PickDdsFormat(h, code);
  if (!format) return img::kDdsFormat;
  if (h.width == 0 || h.height == 0 || h.width > 32767 || h.height > 32767) return img::kSizeError;
  uint32_t count = (h.flags & dds::kMipMapCount) ? h.mip_map_count : 1;
  if (count == 0) count = 1;
  if (count > kMaxGlLevels) return img::kSizeError;

  // Every level must lie inside the file before a texture is made.
  const size_t palette_bytes = format->palettized ? 256 * 4 : 0;
  uint64_t need = sizeof(DdsHeader) + palette_bytes;
  for (int64_t i = 0, w = h.width, hh = h.height; i < count; ++i, w = HalveSide(w), hh = HalveSide(hh))
    need += LevelSize(*format, w, hh);
  if (need > file.size()) return img::kSizeError;

  texture = gl.GenTexture();
  gl.BindTexture(gl::kTexture2D, texture);
  gl.TexParameter(gl::kTexture2D, gl::kTextureWrapS, gl::kRepeat);
  gl.TexParameter(gl::kTexture2D, gl::kTextureWrapT, gl::kRepeat);

  const uint8_t* at = file.data() + sizeof(DdsHeader);
  const uint8_t* palette = at;
  at += palette_bytes;
  if (!format->compressed) {
    gl.PixelStore(kUnpackAlignment, 1);
    if (format->swap_bytes) gl.PixelStore(gl::kUnpackSwapBytes, 1);
  }
  int32_t w = int32_t(h.width), hh = int32_t(h.height);
  bool full_chain = false;  // the last level is 1 x 1
  std::vector<uint8_t> level;
  for (int32_t i = 0; i < int32_t(count); ++i) {
    full_chain = w == 1 && hh == 1;
    const size_t n = size_t(LevelSize(*format, w, hh));
    level.assign(at, at + n);
    at += n;
    if (format->compressed) {
      FlipCompressedLevel(level, code, w, hh);
      gl.CompressedTexImage2D(gl::kTexture2D, i, format->gl_internal_format, w, hh, level);
    } else {
      if (format->palettized) {
        // Each index byte becomes its four-byte palette entry.
        std::vector<uint8_t> expanded(n * 4);
        for (size_t p = 0; p < n; ++p) std::copy(palette + 4 * level[p], palette + 4 * level[p] + 4, &expanded[4 * p]);
        level.swap(expanded);
      }
      // Rows bottom-up, as the compressed levels are.
      FlipRows(level.data(), level.size() / size_t(hh), size_t(hh));
      gl.PixelStore(gl::kUnpackRowLength, w);
      gl.TexImage2D(gl::kTexture2D, i, int32_t(format->gl_internal_format), w, hh, format->gl_format,
                    format->gl_type, level.data());
    }
    w = (w + 1) >> 1;
    hh = (hh + 1) >> 1;
  }
  // GL's default minification samples the mip chain, and a chain that
  // stops short of 1 x 1 leaves the texture incomplete: it draws white.
  // Such a picture samples its top level only.
  gl.TexParameter(gl::kTexture2D, gl::kTextureMinFilter, full_chain ? gl::kLinearMipmapLinear : gl::kLinear);
  if (!format->compressed) {
    // Later uploads must not inherit this file's row length or byte order.
    gl.PixelStore(gl::kUnpackRowLength, 0);
    if (format->swap_bytes) gl.PixelStore(gl::kUnpackSwapBytes, 0);
    gl.PixelStore(kUnpackAlignment, 4);
  }
  return img::kSuccess;
}

bool QorScreenShot(ImageGl& gl, const std::string& path, int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return false;
  const size_t row_bytes = size_t(width) * 3;
  const size_t pixel_bytes = row_bytes * size_t(height);
  std::unique_ptr<uint8_t[]> pixels(new (std::nothrow) uint8_t[sizeof(DdsHeader) + pixel_bytes]);
  if (!pixels) return false;

  uint8_t* body = pixels.get() + sizeof(DdsHeader);
  gl.PixelStore(gl::kPackAlignment, 1);
  gl.ReadBuffer(gl::kFront);
  gl.ReadPixels(0, 0, width, height, gl::kBGR, gl::kUnsignedByte, body);
  FlipRows(body, row_bytes, size_t(height));  // GL reads bottom-up; the file is top row first

  DdsHeader h{};
  h.magic = dds::kMagic;
  h.size = dds::kHeaderSize;
  h.flags = dds::kCaps | dds::kHeight | dds::kWidth | dds::kPixelFormat;
  h.height = uint32_t(height);
  h.width = uint32_t(width);
  h.pf_size = dds::kPixelFormatSize;
  h.pf_flags = dds::kRGB;
  h.rgb_bit_count = 24;
  h.r_mask = 0xFF0000, h.g_mask = 0xFF00, h.b_mask = 0xFF;
  h.caps = dds::kTexture;
  std::memcpy(pixels.get(), &h, sizeof h);

  platform::ClearWriteFailure();
  ImageResult r = WriteImageFile(path, std::span<const uint8_t>(pixels.get(), sizeof(DdsHeader) + pixel_bytes));
  if (r == img::kSuccess) return true;
  const std::string cause = platform::LastWriteFailureText();
  Logger().warning(r == img::kPermission ? "QorScreenShot::Failed To Save DDS (invalid permissions)"
                                         : "QorScreenShot::Failed To Save DDS");
  if (cause.empty()) Logger().warning("QorScreenShot: '%s' not written", path.c_str());
  else Logger().warning("QorScreenShot: %s", cause.c_str());
  return false;
}
