// PNG through libpng's simplified API, which reports failures by its result
// (no longjmp through our frames).
#include "imaging/png_file.h"

#include <png.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "imaging/dxt_decode.h"
#include "imaging/image_file.h"
#include "imaging/iwi_image.h"
#include "imaging/normal_map.h"
#include "platform/replace_file.h"

namespace {

// Rows decoded at a time, a multiple of the 4-row block.
constexpr int32_t kStripRows = 64;
// 16384 x 16384 pixels at the most: 1 GiB of pixels.
constexpr int64_t kMaxPixels = int64_t(16384) * 16384;

}  // namespace

ImageResult DecodeTopLevel(const IwiImage& image, std::vector<uint32_t>& pixels, int32_t& width, int32_t& height) {
  pixels.clear();
  std::vector<std::unique_ptr<DDS_Convert>> faces;
  for (int f = 0; f < std::max<int>(image.face_count, 1); ++f) {
    faces.push_back(MakeConverter(image.iwi_header.format, image.width, image.height, image.FileTopLevel(f)));
    if (!faces.back()) return img::kNoConverter;
  }
  const int64_t full_width = int64_t(image.width) * int64_t(faces.size());
  if (image.width <= 0 || image.height <= 0 || full_width * image.height > kMaxPixels) return img::kSizeError;
  for (const auto& face : faces)
    if (!face->CanDecode()) return img::kNotLoaded;
  TgaImage strip;
  strip.Setup(image.width, std::min<int32_t>(image.height, kStripRows));
  if (!strip.pixels) return img::kNotLoaded;
  pixels.resize(size_t(full_width) * size_t(image.height));
  const size_t face_row = size_t(image.width);
  for (int32_t y0 = 0; y0 < image.height; y0 += kStripRows) {
    const int32_t count = std::min(kStripRows, image.height - y0);
    for (size_t f = 0; f < faces.size(); ++f) {
      faces[f]->DecodeStrip(y0, count, strip);
      for (int32_t r = 0; r < count; ++r)
        std::memcpy(&pixels[size_t(y0 + r) * size_t(full_width) + f * face_row], &strip.pixels[size_t(r) * face_row],
                    face_row * 4);
    }
  }
  width = int32_t(full_width);
  height = image.height;
  return img::kSuccess;
}

bool ReadPngArgb(const std::string& path, int32_t& width, int32_t& height, std::vector<uint32_t>& argb) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return false;
  if (png.width < 1 || png.width > 1024 || png.height < 1 || png.height > 1024) {
    png_image_free(&png);
    return false;
  }
  png.format = PNG_FORMAT_BGRA;  // little-endian words read 0xAARRGGBB
  argb.assign(size_t(png.width) * png.height, 0);
  if (!png_image_finish_read(&png, nullptr, argb.data(), 0, nullptr)) {
    argb.clear();
    return false;
  }
  width = int32_t(png.width);
  height = int32_t(png.height);
  return true;
}

ImageResult EncodePNG(const IwiImage& image, std::vector<uint8_t>& bytes, bool normal_map) {
  bytes.clear();
  std::vector<uint32_t> pixels;
  int32_t width = 0, height = 0;
  if (ImageResult r = DecodeTopLevel(image, pixels, width, height); r != img::kSuccess) return r;
  if (normal_map) RebuildNormalMap(pixels);
  return EncodePixelsPNG(pixels, width, height, bytes);
}

ImageResult EncodePixelsPNG(std::span<const uint32_t> argb, int32_t width, int32_t height,
                            std::vector<uint8_t>& bytes) {
  bytes.clear();
  if (width <= 0 || height <= 0 || argb.size() != size_t(width) * size_t(height)) return img::kSizeError;
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = png_uint_32(width);
  png.height = png_uint_32(height);
  png.format = PNG_FORMAT_BGRA;  // the words' bytes in memory
  // libpng's fast setting: on the games' textures about three times
  // quicker than its default and a few per cent smaller (docs/performance.md).
  png.flags = PNG_IMAGE_FLAG_FAST;
  // One compression pass into a buffer of the largest size the image can
  // take; asking for the size first would compress it twice.
  // Not zero-filled: the compressed stream touches only the pages it
  // fills, a few per cent of a bound that is larger than the picture.
  png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(png);
  const std::unique_ptr<uint8_t[]> room = std::make_unique_for_overwrite<uint8_t[]>(size);
  if (!png_image_write_to_memory(&png, room.get(), &size, 0, argb.data(), 0, nullptr)) return img::kSizeError;
  bytes.assign(room.get(), room.get() + size);
  return img::kSuccess;
}

ImageResult WritePNG(const IwiImage& image, const std::string& out_path, bool normal_map) {
  std::vector<uint8_t> bytes;
  if (ImageResult r = EncodePNG(image, bytes, normal_map); r != img::kSuccess) return r;
  return WritePNGBytes(bytes, out_path);
}

ImageResult WritePNGBytes(const std::vector<uint8_t>& bytes, const std::string& out_path) {
  platform::ReplaceFile file;
  if (int err = file.Open(out_path); err != 0) return WriteImageResult(err);
  if (!file.Write(bytes.data(), bytes.size())) {
    const int err = file.Commit();
    return err != 0 ? WriteImageResult(err) : img::kCantOpen;
  }
  return WriteImageResult(file.Commit());
}
