// DDS files of an IwiImage: the writer (every IWI format; S3TC images with
// their whole mip chain, ARGB8 and RGB8 with the top level only) and the
// reader of S3TC files (DXT1, DXT3, DXT5), levels top level first. A cube
// map's faces follow one another in the file, each with all its levels, in
// the order IwiImage holds them.
#include <algorithm>  // Required for: std::copy, std::min
#include <memory>     // Required for: std::make_shared

#include "base/logger.h"
#include "imaging/dds_header.h"
#include "imaging/image_file.h"
#include "imaging/image_format.h"
#include "imaging/iwi_image.h"

namespace {

// Most levels a DDS file is read with: 16 halvings take any 16-bit size to 1 x 1.
constexpr uint32_t kMaxDdsLevels = 16;

}  // namespace

ImageResult IwiImage::EncodeDDS(std::vector<uint8_t>& out) {
  out.clear();
  const uint8_t code = iwi_header.format;
  const bool uncompressed = code == iwi::kARGB8 || code == iwi::kRGB8;
  const ImageFormat& format = *(FindIwiFormat(code) ? FindIwiFormat(code) : FindIwiFormat(iwi::kDXT1));
  // Both kinds of source hold the same levels; an IWI image's file bytes are
  // written unchanged.
  const size_t level_count = FileLevelCount();
  const bool cube = face_count == iwi::kCubeFaces;
  const size_t faces = cube ? size_t(iwi::kCubeFaces) : 1;
  const size_t per_face = level_count / faces;
  // A cube map without six whole faces would be written as garbage.
  if (cube && (per_face == 0 || level_count % faces != 0)) return img::kSizeError;
  if (uncompressed) mip_count = 1;

  DdsHeader h{};
  h.magic = dds::kMagic;
  h.size = dds::kHeaderSize;
  h.flags = dds::kCaps | dds::kHeight | dds::kWidth | dds::kPixelFormat;
  if (!uncompressed && mip_count != 0) h.flags |= dds::kMipMapCount;
  h.height = uint32_t(height);
  h.width = uint32_t(width);
  h.mip_map_count = uncompressed ? 0 : uint32_t(per_face);
  h.pf_size = dds::kPixelFormatSize;
  switch (code) {
    case iwi::kDXT5: h.pf_flags = dds::kFourCC, h.four_cc = dds::kDXT5; break;
    case iwi::kDXT3: h.pf_flags = dds::kFourCC, h.four_cc = dds::kDXT3; break;
    case iwi::kARGB8:
      h.pf_flags = dds::kRGB | dds::kAlphaPixels;
      h.rgb_bit_count = 32;
      h.r_mask = 0xFF0000, h.g_mask = 0xFF00, h.b_mask = 0xFF, h.a_mask = 0xFF000000;
      break;
    case iwi::kRGB8:
      h.pf_flags = dds::kRGB;
      h.rgb_bit_count = 24;
      h.r_mask = 0xFF0000, h.g_mask = 0xFF00, h.b_mask = 0xFF;
      break;
    default: h.pf_flags = dds::kFourCC, h.four_cc = dds::kDXT1; break;
  }
  h.caps = uncompressed ? dds::kTexture : dds::kComplex | dds::kTexture | dds::kMipMap;
  if (cube) {
    // The mip map cap only when the faces have levels below the top.
    h.caps = dds::kComplex | dds::kTexture | (!uncompressed && per_face > 1 ? dds::kMipMap : 0);
    h.caps2 = dds::kCubeMap | dds::kCubeMapAllFaces;
  }
  dds::FromHeader(h, dds_header);
  out.assign(dds_header.begin(), dds_header.end());

  const size_t count = uncompressed ? (per_face == 0 ? 0 : 1) : per_face;
  for (size_t f = 0; f < faces; ++f) {
    int64_t w = width, hh = height;
    for (size_t i = 0; i < count; ++i) {
      const uint64_t n = LevelSize(format, w, hh);
      const std::span<const uint8_t> level = FileLevel(f * per_face + i);
      if (level.size() < n)
        Logger().model_log("DDS: (%s) failed to write correct block size.", name.c_str());
      out.insert(out.end(), level.begin(), level.begin() + ptrdiff_t(std::min<uint64_t>(n, level.size())));
      w = HalveSide(w);
      hh = HalveSide(hh);
    }
  }
  return img::kSuccess;
}

ImageResult IwiImage::WriteDDS(const std::string& out_path) {
  std::vector<uint8_t> bytes;
  (void)EncodeDDS(bytes);
  return WriteImageFile(out_path, bytes);
}

ImageResult IwiImage::LoadDDS() {
  loaded = false;
  platform::LoadedFile file;
  ImageResult r = LoadImageFile(path, file, kMaxImageFile);
  if (r != img::kSuccess) return r;
  return LoadDDSBytes({file.data(), file.size()});
}

ImageResult IwiImage::LoadDDSForConversion() {
  loaded = false;
  auto file = std::make_shared<platform::LoadedFile>();
  ImageResult r = LoadImageFile(path, *file, kMaxImageFile);
  if (r != img::kSuccess) return r;
  r = ReadDDS({file->data(), file->size()}, true);
  if (r == img::kSuccess) file_bytes_ = std::move(file);
  return r;
}

ImageResult IwiImage::LoadDDSBytes(std::span<const uint8_t> file) { return ReadDDS(file, false); }

ImageResult IwiImage::ReadDDS(std::span<const uint8_t> file, bool as_views) {
  loaded = false;
  from_iwi = false;
  mip_count = 0;
  face_count = 1;
  levels.clear();
  stored_levels.clear();
  level_views_.clear();
  file_bytes_.reset();

  if (file.size() < sizeof(DdsHeader)) return img::kBadDdsHeader;
  std::copy(file.begin(), file.begin() + sizeof(DdsHeader), dds_header.begin());
  const DdsHeader h = dds::ToHeader(dds_header);
  if (!dds::HeaderValid(h)) return img::kBadDdsHeader;

  const uint8_t code = dds::IwiCodeOfFourCC(h.four_cc);
  if (!(h.pf_flags & dds::kFourCC) || code == 0) return img::kDdsFormat;
  const ImageFormat& format = *FindIwiFormat(code);
  if (!format.compressed) return img::kDdsNotCompressed;
  // The image holds 16-bit sizes.
  if (h.width == 0 || h.height == 0 || h.width > 32767 || h.height > 32767) return img::kSizeError;
  // A volume's levels hold depth slices, and a cube map without all six
  // faces has no face order to keep: read as a picture, either would be cut
  // from the wrong bytes.
  const bool cube = (h.caps2 & dds::kCubeMap) != 0;
  if ((h.caps2 & dds::kVolume) || (cube && (h.caps2 & dds::kCubeMapAllFaces) != dds::kCubeMapAllFaces))
    return img::kDdsFormat;
  if (cube && h.width != h.height) return img::kSizeError;
  const uint32_t faces = cube ? uint32_t(iwi::kCubeFaces) : 1;

  uint32_t count = (h.flags & dds::kMipMapCount) ? h.mip_map_count : 1;
  if (count == 0) count = 1;  // writers that set the flag with a count of 0 mean the top level
  if (count > kMaxDdsLevels) return img::kSizeError;

  iwi_header = IwiHeader{};
  iwi_header.format = code;
  iwi_header.width = width = int16_t(h.width);
  iwi_header.height = height = int16_t(h.height);
  size_t at = sizeof(DdsHeader);
  for (uint32_t f = 0; f < faces; ++f) {
    int64_t w = width, hh = height;
    for (uint32_t i = 0; i < count; ++i) {
      const uint64_t n = LevelSize(format, w, hh);
      if (n > file.size() - at) {
        levels.clear();
        level_views_.clear();
        return img::kSizeError;  // the level runs past the end of the file
      }
      if (as_views)
        level_views_.push_back(file.subspan(at, size_t(n)));
      else
        levels.emplace_back(file.begin() + ptrdiff_t(at), file.begin() + ptrdiff_t(at + n));
      at += size_t(n);
      w = HalveSide(w);
      hh = HalveSide(hh);
    }
  }
  mip_count = int16_t(count);
  face_count = int16_t(faces);
  loaded = true;
  return img::kSuccess;
}
