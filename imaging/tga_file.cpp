// 32-bit TGA files of an image's top level: an 18-byte header (type 2,
// uncompressed true colour; descriptor 0, bottom-left origin) and B, G, R, A
// pixels, bottom row first, so viewers show the picture upright. A cube
// map's six faces stand side by side in one strip, in stored order. The
// converters decode straight into the file's row order; the file goes out
// through a strip of rows instead of the whole picture; a normal map to be
// rebuilt as RGB normals is rebuilt a strip at a time on its way out.
#include <algorithm>  // Required for: std::min
#include <bit>      // Required for: std::endian
#include <cstring>  // Required for: memcpy
#include <functional>
#include <vector>

#include "imaging/dxt_decode.h"
#include "imaging/image_file.h"
#include "imaging/iwi_image.h"
#include "imaging/normal_map.h"
#include "platform/replace_file.h"

// 0xAARRGGBB in memory must be B, G, R, A.
static_assert(std::endian::native == std::endian::little, "TGA pixels are written from memory");

namespace {

constexpr size_t kTgaHeaderSize = 18;
// Rows a strip holds: a multiple of the 4-row block, 512 KB of a
// 2048-pixel picture.
constexpr int32_t kStripRows = 64;
// The header's 16-bit width.
constexpr int64_t kMaxTgaSide = 0xFFFF;

void FillHeader(uint32_t width, uint32_t height, uint8_t h[kTgaHeaderSize]) {
  std::memset(h, 0, kTgaHeaderSize);
  h[2] = 2;  // uncompressed true colour
  h[12] = uint8_t(width), h[13] = uint8_t(width >> 8);
  h[14] = uint8_t(height), h[15] = uint8_t(height >> 8);
  h[16] = 32;
}

using Put = std::function<bool(const void* bytes, size_t n)>;

// The whole file through `put`: the header, then the strips bottom first.
// 22 without a converter, 13 for a picture wider than the header holds;
// `decoded` stays false (and nothing is put) when a face's top level cannot
// be decoded or the strip cannot be allocated. With `normal_map` the pixels
// are rebuilt as RGB normals (imaging/normal_map.h).
ImageResult StreamTga(const IwiImage& image, const Put& put, bool& decoded, bool normal_map) {
  decoded = false;
  std::vector<std::unique_ptr<DDS_Convert>> faces;
  for (int f = 0; f < std::max<int>(image.face_count, 1); ++f) {
    faces.push_back(MakeConverter(image.iwi_header.format, image.width, image.height, image.FileTopLevel(f)));
    if (!faces.back()) return img::kNoConverter;
  }
  const int64_t strip_width = int64_t(image.width) * int64_t(faces.size());
  if (strip_width > kMaxTgaSide) return img::kSizeError;
  const int32_t height = image.height;

  TgaImage strip;  // one face's rows
  strip.bottom_up = true;
  strip.Setup(image.width, std::min<int32_t>(height, kStripRows));
  for (const auto& face : faces)
    if (!face->CanDecode()) return img::kSuccess;
  if (!strip.pixels) return img::kSuccess;
  // Several faces are put side by side row by row into `rows`.
  const size_t face_row = size_t(strip.width);
  std::vector<uint32_t> rows(faces.size() > 1 ? size_t(strip_width) * size_t(strip.height) : 0);

  decoded = true;
  uint8_t header[kTgaHeaderSize];
  FillHeader(uint32_t(strip_width), uint32_t(height), header);
  if (!put(header, kTgaHeaderSize)) return img::kCantOpen;
  const int32_t strips = (height + kStripRows - 1) / kStripRows;
  const auto decode = [&](DDS_Convert& face, int32_t y0, int32_t count) {
    face.DecodeStrip(y0, count, strip);
    if (normal_map) RebuildNormalMap({strip.pixels.get(), size_t(count) * face_row});
  };
  for (int32_t s = strips - 1; s >= 0; --s) {
    const int32_t y0 = s * kStripRows, count = std::min(kStripRows, height - y0);
    if (faces.size() == 1) {
      decode(*faces[0], y0, count);
      if (!put(strip.pixels.get(), size_t(count) * face_row * 4)) return img::kCantOpen;
      continue;
    }
    for (size_t f = 0; f < faces.size(); ++f) {
      decode(*faces[f], y0, count);
      for (int32_t r = 0; r < count; ++r)
        std::memcpy(&rows[size_t(r) * size_t(strip_width) + f * face_row], &strip.pixels[size_t(r) * face_row],
                    face_row * 4);
    }
    if (!put(rows.data(), size_t(count) * size_t(strip_width) * 4)) return img::kCantOpen;
  }
  return img::kSuccess;
}

}  // namespace

ImageResult IwiImage::EncodeTGA(std::vector<uint8_t>& out, bool normal_map) {
  out.clear();
  bool decoded = false;
  ImageResult r = StreamTga(
      *this,
      [&](const void* bytes, size_t n) {
        const uint8_t* p = static_cast<const uint8_t*>(bytes);
        out.insert(out.end(), p, p + n);
        return true;
      },
      decoded, normal_map);
  if (r != img::kSuccess) out.clear();
  return r;
}

ImageResult IwiImage::WriteTGA(const std::string& out_path, bool* written, bool normal_map) {
  if (written) *written = false;
  // Nothing is opened before the picture is known to decode: a refused or
  // undecodable image leaves no file behind. The file replaces its target
  // only once complete (a failed write shows in Commit, which removes the
  // temporary file).
  platform::ReplaceFile file;
  int open_error = 0;
  bool opened = false;
  bool decoded = false;
  ImageResult r = StreamTga(
      *this,
      [&](const void* bytes, size_t n) {
        if (!opened) {
          open_error = file.Open(out_path);
          if (open_error != 0) return false;
          opened = true;
        }
        return file.Write(bytes, n);
      },
      decoded, normal_map);
  if (decoded && open_error != 0) return WriteImageResult(open_error);
  // Once the file is open only a failed write stops the stream; the error
  // it left on the stream makes Commit fail, drop the temporary file and
  // record the cause.
  if (opened && r != img::kSuccess) {
    const int err = file.Commit();
    return err != 0 ? WriteImageResult(err) : img::kCantOpen;
  }
  if (r != img::kSuccess || !decoded) return r;
  if (ImageResult c = WriteImageResult(file.Commit()); c != img::kSuccess) return c;
  if (written) *written = true;
  return img::kSuccess;
}
