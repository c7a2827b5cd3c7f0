// Material files: a 64-byte head holding the texture slot count, then a
// table of (slot-name offset, unused word, image-name offset) entries whose
// strings lie anywhere in the file.
//
// The count is the low 16 bits of the word at 48: the stock files keep a
// small non-zero number in bytes 50-51 (1 to 4 in the games' files), so the
// whole word is not the slot count.
#include "model/material_library.h"

#include <cerrno>
#include <algorithm>
#include <cstring>

#include "base/byte_cursor.h"
#include "imaging/image_paths.h"
#include "imaging/iwd_image_read.h"
#include "imaging/iwd_index.h"
#include "platform/file_bytes.h"
#include "platform/fs_paths.h"

namespace {

constexpr size_t kCountOffset = 48;
constexpr size_t kTableOffset = 64;
constexpr size_t kTableEntrySize = 12;
constexpr size_t kSlotNameScan = 50;
constexpr size_t kImageNameScan = 200;
constexpr uint64_t kMaxMaterialFile = 1 << 20;  // material files are a few hundred bytes

// The bytes up to the first NUL within `scan` bytes at `offset`, cut at the
// end of the file. The offset must lie inside the file.
std::string StringAt(std::span<const uint8_t> bytes, uint32_t offset, size_t scan) {
  size_t n = std::min(scan, bytes.size() - offset);
  const char* p = reinterpret_cast<const char*>(bytes.data() + offset);
  const void* nul = std::memchr(p, 0, n);
  return std::string(p, nul ? static_cast<const char*>(nul) - p : n);
}

constexpr std::string_view kImagesFolder = "images/";

}  // namespace

bool MaterialLibrary::SetRoot(const std::string& raw_dir) {
  if (!platform::FolderExists(raw_dir)) return false;
  materials_dir = raw_dir + "materials/";
  images_dir = raw_dir + std::string(kImagesFolder);
  // The game's archive index is wanted by the image lookups that follow;
  // its build starts now, beside the model's own reading.
  IwdImages().Prepare(GameRootOfRawDir(raw_dir));
  return true;
}

ErrorCode MaterialLibrary::LoadMaterials() {
  if (names.empty()) return err::kNoMaterials;
  entries.assign(names.size(), MaterialEntry{});
  texture_sets.clear();
  for (size_t i = 0; i < names.size(); ++i) {
    // A missing or unreadable material keeps its name and no images.
    (void)LoadMaterial(names[i], entries[i]);
  }
  loaded = true;
  return err::kSuccess;
}

ErrorCode MaterialLibrary::LoadMaterial(const std::string& material, MaterialEntry& entry) {
  entry = MaterialEntry{};
  entry.name = material;
  // The name comes from the xmodel file: it must not lead out of the folder.
  if (!IsContainedName(material)) return err::kInvalidPath;
  std::vector<uint8_t> bytes;
  int e = platform::ReadFileBytes(materials_dir + material, bytes, kMaxMaterialFile);
  if (e == EACCES) return err::kPermission;
  if (e != 0) return err::kCantOpen;
  return LoadMaterialBytes(bytes, entry);
}

ErrorCode MaterialLibrary::LoadMaterialBytes(std::span<const uint8_t> bytes, MaterialEntry& entry) {
  entry.image_count = 0;
  entry.images.clear();
  ByteCursor file(bytes);
  if (!file.Seek(kCountOffset) || !file.Get(image_count_scratch)) return err::kOutOfRange;
  int16_t count = int16_t(image_count_scratch & 0xFFFF);
  if (count < 0 || !file.Seek(kTableOffset) ||
      size_t(count) * kTableEntrySize > file.left())
    return err::kOutOfRange;

  std::vector<MaterialImage> images(static_cast<size_t>(count));
  for (MaterialImage& image : images) {
    uint32_t slot_offset = 0, unused = 0, image_offset = 0;
    file.Get(slot_offset);
    file.Get(unused);
    file.Get(image_offset);
    // A string outside the file is a damaged table: the material gets no
    // images rather than made-up names.
    if (slot_offset >= bytes.size() || image_offset >= bytes.size()) return err::kOutOfRange;
    image.slot = StringAt(bytes, slot_offset, kSlotNameScan);
    std::string image_name = StringAt(bytes, image_offset, kImageNameScan);
    image.iwi_file = image_name + ".iwi";
    image.dds_file = image_name + ".dds";
    // A name that would lead out of the images folder is never looked up.
    if (IsContainedName(image.iwi_file)) {
      image.iwi_exists = platform::FileExists(images_dir + image.iwi_file);
      image.dds_exists = platform::FileExists(images_dir + image.dds_file);
      if (!image.iwi_exists && images_dir.size() > kImagesFolder.size())
        image.iwi_archive =
            ArchivedImageLabel(std::string_view(images_dir).substr(0, images_dir.size() - kImagesFolder.size()),
                               image.iwi_file);
    }
  }
  entry.image_count = count;
  entry.images = std::move(images);
  return err::kSuccess;
}

void MaterialLibrary::Clear() {
  image_count_scratch = 0;
  names.clear();
  materials_dir.clear();
  images_dir.clear();
  loaded = false;
  entries.clear();
  texture_sets.clear();
}
