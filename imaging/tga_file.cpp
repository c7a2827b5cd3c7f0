// 32-bit TGA files of an image's top level: an 18-byte header (type 2,
// uncompressed true colour; descriptor 0, bottom-left origin) and B, G, R, A
// pixels, bottom row first, so viewers show the picture upright. The
// converters decode straight into the file's row order; WriteTGA streams
// the file through a strip of rows instead of holding the whole picture.
#include <algorithm>  // Required for: std::min
#include <bit>      // Required for: std::endian
#include <cstring>  // Required for: memcpy

#include "imaging/dxt_decode.h"
#include "imaging/image_file.h"
#include "imaging/iwi_image.h"
#include "platform/replace_file.h"

// 0xAARRGGBB in memory must be B, G, R, A.
static_assert(std::endian::native == std::endian::little, "TGA pixels are written from memory");

namespace {

constexpr size_t kTgaHeaderSize = 18;
// Rows a strip of the streamed writer holds: a multiple of the 4-row block,
// 512 KB of a 2048-pixel picture.
constexpr int32_t kStripRows = 64;

void FillHeader(const TgaImage& picture, uint8_t h[kTgaHeaderSize]) {
  std::memset(h, 0, kTgaHeaderSize);
  h[2] = picture.image_type;
  h[12] = uint8_t(picture.width), h[13] = uint8_t(picture.width >> 8);
  h[14] = uint8_t(picture.height), h[15] = uint8_t(picture.height >> 8);
  h[16] = picture.bits_per_pixel;
}

// The top level decoded bottom row first; 22 without a converter. The
// picture is not `complete` when nothing could be decoded.
ImageResult Decode(const IwiImage& image, TgaImage& picture) {
  std::unique_ptr<DDS_Convert> converter =
      MakeConverter(image.iwi_header.format, image.width, image.height, image.FileTopLevel());
  if (!converter) return img::kNoConverter;
  picture.bottom_up = true;
  converter->Run(picture);
  return img::kSuccess;
}

}  // namespace

ImageResult IwiImage::EncodeTGA(std::vector<uint8_t>& out) {
  out.clear();
  TgaImage picture;
  ImageResult r = Decode(*this, picture);
  // Nothing decoded (no level, a level too short, no memory): no file.
  if (r != img::kSuccess || !picture.complete || !picture.pixels) return r;
  out.resize(kTgaHeaderSize + picture.byte_size);
  FillHeader(picture, out.data());
  std::memcpy(out.data() + kTgaHeaderSize, picture.pixels.get(), picture.byte_size);
  return img::kSuccess;
}

ImageResult IwiImage::WriteTGA(const std::string& out_path, bool* written) {
  if (written) *written = false;
  std::unique_ptr<DDS_Convert> converter = MakeConverter(iwi_header.format, width, height, FileTopLevel());
  if (!converter) return img::kNoConverter;
  // The picture goes out a strip at a time, bottom strip first, through a
  // buffer that stays in cache: the file is the same as EncodeTGA's.
  TgaImage strip;
  strip.bottom_up = true;
  strip.Setup(width, std::min<int32_t>(height, kStripRows));
  if (!converter->CanDecode() || !strip.pixels) return img::kSuccess;  // nothing decoded: no file

  platform::ReplaceFile file;
  if (int err = file.Open(out_path); err != 0) return WriteImageResult(err);
  TgaImage whole;  // the header's fields
  whole.width = strip.width;
  whole.height = uint32_t(height);
  uint8_t header[kTgaHeaderSize];
  FillHeader(whole, header);
  bool ok = file.Write(header, kTgaHeaderSize);
  const int32_t strips = (height + kStripRows - 1) / kStripRows;
  for (int32_t s = strips - 1; s >= 0 && ok; --s) {
    const int32_t y0 = s * kStripRows, rows = std::min(kStripRows, height - y0);
    converter->DecodeStrip(y0, rows, strip);
    const size_t bytes = size_t(rows) * strip.width * 4;
    ok = file.Write(strip.pixels.get(), bytes);
  }
  // A failed write shows in Commit, which removes the temporary file.
  if (ImageResult r = WriteImageResult(file.Commit()); r != img::kSuccess) return r;
  if (written) *written = true;
  return img::kSuccess;
}
