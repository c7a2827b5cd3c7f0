// The IWI reader. An IWI file is a header and the mip levels of one image,
// smallest level first and the top level last, ending at the end of the
// file; the reader walks the levels back from the end, top level first.
//
//   version 6:  "IWi" 6,  format, usage, width, height, depth, 4 sizes; levels at 28
//   version 13: the same fields, 20 more header bytes;                  levels at 48
//   version 8:  "IWi" 8,  a word, format, usage, w, h, depth, 2 sizes;  levels at 32
//
// A cube map (usage bit 0x04) stores each level as its six faces one after
// the other, the levels smallest first as in any IWI file: the header's
// size fields mark where each level ends, which only works when a level's
// faces lie together.
#include "imaging/iwi_image.h"

#include <cstring>  // Required for: memcmp
#include <optional>
#include <utility>  // Required for: std::swap

#include "base/byte_cursor.h"
#include "base/logger.h"
#include "imaging/dxt_flip.h"
#include "imaging/image_file.h"
#include "imaging/image_format.h"
#include "imaging/iwd_image_read.h"  // Required for: LoadArchivedIWI()
#include "platform/fs_paths.h"

namespace {

// Where the first stored level starts. Version-13 headers are 48 bytes long
// in the games' files; taking 28 would read header bytes as a level.
size_t LevelStart(int version) { return version == 8 ? 32 : version == 13 ? 48 : 28; }

// Most levels a file can hold: 16 halvings take any 16-bit size to 1 x 1.
constexpr int kMaxLevels = 16;

}  // namespace

bool IwiImage::SetImagePath(const std::string& file) {
  path_set = false;
  path.clear();
  archive.clear();
  archive_root.clear();
  archive_image.clear();
  if (platform::LastSeparator(file) == std::string::npos) return false;
  std::optional<std::string> found = platform::ResolveExisting(file);
  if (!found || !platform::FileExists(*found)) return false;
  path_set = true;
  path = *found;
  name = path.substr(platform::LastSeparator(path) + 1);
  short_name = name;
  return true;
}

void IwiImage::Clear() { *this = IwiImage(); }

// LoadDDS keeps the file's bytes in `levels` (no flip), LoadDDSForConversion
// in views of the file, LoadIWI in `stored_levels`.
size_t IwiImage::FileLevelCount() const {
  return from_iwi ? stored_levels.size() : file_bytes_ ? level_views_.size() : levels.size();
}

std::span<const uint8_t> IwiImage::FileLevel(size_t i) const {
  if (i >= FileLevelCount()) return {};
  return from_iwi ? stored_levels[i] : file_bytes_ ? level_views_[i] : std::span<const uint8_t>(levels[i]);
}

size_t IwiImage::LevelsPerFace() const { return face_count > 0 ? FileLevelCount() / size_t(face_count) : 0; }

std::span<const uint8_t> IwiImage::FileTopLevel(int face) const {
  if (face < 0 || face >= face_count) return {};
  return FileLevel(size_t(face) * LevelsPerFace());
}

ImageResult IwiImage::LoadIWI() {
  if (!archive_image.empty()) return LoadArchivedIWI(*this);
  from_iwi = true;
  loaded = false;
  platform::LoadedFile file;
  ImageResult r = LoadImageFile(path, file, kMaxImageFile);
  if (r != img::kSuccess) return r;
  return LoadIWIBytes({file.data(), file.size()});
}

ImageResult IwiImage::LoadIWIBytes(std::span<const uint8_t> file) {
  from_iwi = true;
  loaded = false;
  mip_count = 0;
  face_count = 1;
  levels.clear();
  stored_levels.clear();
  level_views_.clear();
  file_bytes_.reset();

  ByteCursor in(file);
  char magic[3];
  if (!in.Read(magic, 3) || std::memcmp(magic, "IWi", 3) != 0) return img::kBadMagic;
  uint8_t version = 0;
  if (!in.Get(version) || (version != 6 && version != 8 && version != 13)) return img::kBadVersion;

  iwi_header = IwiHeader{};
  if (version == 8) {
    // A word nobody reads, then the fields; bytes 24 to 31 are not read either.
    raw_header = {};
    if (!in.Read(raw_header.data(), 20)) return img::kSizeError;
    ByteCursor h(std::span<const uint8_t>(raw_header.data(), 20));
    h.Skip(4);
    h.Get(iwi_header.format);
    h.Get(iwi_header.usage);
    h.Get(iwi_header.width);
    h.Get(iwi_header.height);
    h.Get(iwi_header.depth);
    h.Get(iwi_header.sizes[0]);
    h.Get(iwi_header.sizes[1]);
  } else {
    // The games' reader takes 28 bytes here, the last 4 already level data
    // (a 1 x 1 RGB8 file has only 3): the 24 header bytes are what counts.
    if (in.left() < 24) return img::kSizeError;
    in.Get(iwi_header.format);
    in.Get(iwi_header.usage);
    in.Get(iwi_header.width);
    in.Get(iwi_header.height);
    in.Get(iwi_header.depth);
    for (uint32_t& s : iwi_header.sizes) in.Get(s);
  }
  return ReadLevels(file, version);
}

ImageResult IwiImage::ReadLevels(std::span<const uint8_t> file, int version) {
  const ImageFormat* format = FindIwiFormat(iwi_header.format);
  if (!format) return img::kUnknownFormat;
  width = iwi_header.width;
  height = iwi_header.height;
  if (width <= 0 || height <= 0) return img::kSizeError;
  const bool cube = (iwi_header.usage & iwi::kUsageCubeMap) != 0;
  if (cube && width != height) return img::kSizeError;  // cube faces are square
  const uint64_t faces = cube ? uint64_t(iwi::kCubeFaces) : 1;

  const size_t start = LevelStart(version);
  int64_t w = width, h = height;
  uint64_t n = LevelSize(*format, w, h);
  if (file.size() < start || n * faces > file.size() - start) {
    // The top level (of every face) does not fit between the header and
    // the end of the file.
    Logger().model_log("IWI: (%s) failed to read correct block size.", name.c_str());
    return img::kSizeError;
  }

  // Where each level lies, top level first.
  struct Found {
    size_t offset;  // of its first face
    size_t size;    // of one face
    int64_t w, h;
  };
  std::vector<Found> found;
  size_t offset = file.size() - size_t(n * faces);
  for (int i = 0; i < kMaxLevels; ++i) {
    found.push_back({offset, size_t(n), w, h});
    if (offset == start) break;  // the first level stored in the file
    // The file says it holds its top level only: bytes before it are no
    // level of this picture.
    if (iwi_header.usage & iwi::kUsageNoMipMaps) break;
    if (version != 8 && w == 1 && h == 1) break;
    w = HalveSide(w);
    h = HalveSide(h);
    n = LevelSize(*format, w, h);
    if (n * faces > offset - start) break;  // the next level would take header bytes
    offset -= size_t(n * faces);
  }

  // The levels face by face.
  for (uint64_t f = 0; f < faces; ++f) {
    for (const Found& level : found) {
      std::span<const uint8_t> bytes = file.subspan(level.offset + size_t(f) * level.size, level.size);
      stored_levels.emplace_back(bytes.begin(), bytes.end());
      std::vector<uint8_t> oriented(bytes.begin(), bytes.end());
      if (format->compressed) {
        FlipCompressedLevel(oriented, iwi_header.format, level.w, level.h);
      } else {
        // B, G, R (, A) in the file; R, G, B (, A) for GL_RGB / GL_RGBA.
        const size_t step = format->bytes_per_block;
        for (size_t p = 0; p + step <= oriented.size(); p += step) std::swap(oriented[p], oriented[p + 2]);
      }
      levels.push_back(std::move(oriented));
    }
  }
  mip_count = int16_t(found.size());
  face_count = int16_t(faces);
  loaded = true;
  return img::kSuccess;
}
