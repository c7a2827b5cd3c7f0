// One texture in memory: the levels of an IWI or DDS file, top level first,
// once as OpenGL wants them (`levels`) and once exactly as stored in an IWI
// file (`stored_levels`), with the operations that read and write it. The
// readers parse whole files from memory; the *Bytes forms are the same
// readers over bytes already in memory (tests, fuzz targets).
//
// A cube map holds six faces. Both level lists then hold face 0's levels,
// top level first, then face 1's, and so on (the order of a DDS cube map),
// so whoever takes the first `mip_count` levels gets face 0 as a picture.
//
// Readers: imaging/iwi_image.cpp (LoadIWI), imaging/dds_file.cpp (LoadDDS,
// WriteDDS), imaging/tga_file.cpp (WriteTGA).
#pragma once

#include <array>
#include <cstdint>
#include <memory>  // Required for: std::shared_ptr
#include <span>
#include <string>
#include <vector>

#include "imaging/image_codes.h"

namespace platform {
class LoadedFile;
}  // namespace platform

// The IWI header fields, the same for every version.
struct IwiHeader {
  uint8_t format = 0;
  uint8_t usage = 0;  // iwi::kUsageNoMipMaps, iwi::kUsageCubeMap and bits nothing reads
  int16_t width = 0;
  int16_t height = 0;
  int16_t depth = 0;
  uint32_t sizes[4] = {0, 0, 0, 0};
};

namespace iwi {
// Usage bits. Among the games' files only the cube map sets 0x04, and only
// it holds six times the bytes of its levels.
inline constexpr uint8_t kUsageNoMipMaps = 0x02;  // the file holds its top level only
inline constexpr uint8_t kUsageCubeMap = 0x04;    // six square faces
inline constexpr int16_t kCubeFaces = 6;
}  // namespace iwi

// The biggest image file any reader takes in: a 4096 x 4096 ARGB8 chain is
// under 90 MB.
inline constexpr uint64_t kMaxImageFile = uint64_t(256) << 20;

class IwiImage {
 public:
  // Finds the file name after the last "/" or "\" of `path`; false (nothing
  // set) without a separator or when the file does not exist. Sets
  // `path_set`, `name`, `short_name` and `path` (the file as found on disk,
  // which may differ in case from `path`).
  bool SetImagePath(const std::string& path);

  // The IWI reader (versions 6, 8, 13), cube maps with all six faces. 24, or
  // 5 / 6 (open), 16 (magic), 17 (version), 20 (format), 13 (sizes that do
  // not fit the file; a cube map whose faces are not square).
  [[nodiscard]] ImageResult LoadIWI();
  [[nodiscard]] ImageResult LoadIWIBytes(std::span<const uint8_t> file);

  // The DDS reader (DXT1, DXT3, DXT5; cube maps with all six faces). 24, or
  // 5 / 6, 11 (header), 12 (pixel format; a cube map with faces missing, a
  // volume texture), 15 (not compressed), 13 (levels past the end of the
  // file, cube faces that are not square).
  [[nodiscard]] ImageResult LoadDDS();
  [[nodiscard]] ImageResult LoadDDSBytes(std::span<const uint8_t> file);
  // The same reader for an image that is only converted (WriteTGA, WriteDDS,
  // PNG): the image keeps the file's bytes and its levels are views into
  // them, nothing copied. `levels` stays empty, so the image cannot go to
  // OpenGL; any other load replaces the views.
  [[nodiscard]] ImageResult LoadDDSForConversion();

  // The DDS file of the image: the IWI bytes unchanged for an image read from
  // an IWI file, else `levels`; a cube map as a DDS cube map of six faces.
  // 13 for a cube map whose level lists do not hold six faces. Encode*
  // build the file in memory.
  [[nodiscard]] ImageResult WriteDDS(const std::string& out_path);
  [[nodiscard]] ImageResult EncodeDDS(std::vector<uint8_t>& out);

  // The top level as a 32-bit TGA with bottom-left origin; a cube map's six
  // faces side by side in stored order, one strip six faces wide. 24 (also
  // when nothing could be decoded: no file then, and `written` is cleared),
  // 22 for a format without a converter, 13 for a strip wider than a TGA
  // holds (65535), 5 / 6 on open failure. With `normal_map`, a stored normal
  // map rebuilt as RGB normals (imaging/normal_map.h).
  [[nodiscard]] ImageResult WriteTGA(const std::string& out_path, bool* written = nullptr, bool normal_map = false);
  [[nodiscard]] ImageResult EncodeTGA(std::vector<uint8_t>& out, bool normal_map = false);

  // Back to the state of a new image.
  void Clear();

  // A face's top level in file orientation (rows top to bottom) and file
  // byte order: what the TGA converters decode. Empty when nothing was read.
  std::span<const uint8_t> FileTopLevel(int face = 0) const;

  // Levels each face holds in the file's order (`stored_levels` of an IWI
  // image, else `levels` or the views of LoadDDSForConversion).
  size_t LevelsPerFace() const;

  uint32_t gl_texture = 0;
  std::array<uint8_t, 128> dds_header{};  // "DDS " and the 124-byte header, as on disk
  bool loaded = false;
  bool path_set = false;
  bool is_dds = false;  // read with LoadDDS; the DDS export leaves it alone
  std::string name;     // file name: messages, and exported names ("~" -> "_")
  std::string short_name;
  std::string path;
  std::string source_path;
  IwiHeader iwi_header;
  std::array<uint8_t, 24> raw_header{};  // the version-8 header as read
  int16_t mip_count = 0;   // levels read, per face
  int16_t face_count = 1;  // 6 for a cube map
  int16_t width = 0;
  int16_t height = 0;
  std::vector<std::vector<uint8_t>> levels;         // GL orientation and byte order
  std::vector<std::vector<uint8_t>> stored_levels;  // as stored in the IWI file
  bool from_iwi = false;
  // An image with no loose file, read from the game's archives
  // (imaging/iwd_image_read.h): the archive as "main/<name>", the game root
  // whose archives hold it and its name below "images/". `path` is then
  // where the loose file would be. LoadIWI reads such an image from there.
  std::string archive;
  std::string archive_root;
  std::string archive_image;

 private:
  ImageResult ReadLevels(std::span<const uint8_t> file, int version);
  ImageResult ReadDDS(std::span<const uint8_t> file, bool as_views);
  // The file-order levels, whichever list holds them.
  size_t FileLevelCount() const;
  std::span<const uint8_t> FileLevel(size_t i) const;

  // LoadDDSForConversion's file and the levels as views into it. Shared, so
  // a copy of the image keeps alive the bytes its views point into.
  std::shared_ptr<const platform::LoadedFile> file_bytes_;
  std::vector<std::span<const uint8_t>> level_views_;
};
