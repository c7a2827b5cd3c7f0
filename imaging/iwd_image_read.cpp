// Reading one image out of its archive.
#include "imaging/iwd_image_read.h"

#include "base/logger.h"
#include "imaging/image_paths.h"
#include "imaging/iwd_archive.h"
#include "imaging/iwd_entry_name.h"
#include "imaging/iwd_index.h"
#include "imaging/iwi_image.h"
#include "platform/fs_paths.h"

namespace {

// One entry: seek to its record, find it as indexed, extract it whole.
IwdRead ReadEntry(const IwdIndexedArchive& archive_file, const IwdIndexedEntry& entry, std::vector<uint8_t>& out) {
  IwdArchive archive;
  // The index's full Open found this entry clear of shared data; the
  // archive is the same file since (the cache compared its stamp).
  if (!archive.OpenForOneEntry(archive_file.path) || !archive.GoTo(entry.directory_pos)) return IwdRead::kDataError;
  IwdEntryInfo info;
  if (!archive.Info(info)) return IwdRead::kDataError;
  // A record that is no longer the one indexed: the archive was rewritten
  // between the stamp check and this read.
  if (info.name != entry.name || info.crc != entry.crc || info.uncompressed_size != entry.uncompressed_size ||
      info.compressed_size != entry.compressed_size)
    return IwdRead::kDataError;
  if (IwdRead check = archive.Check(info); check != IwdRead::kOk) return check;
  // The size was checked against kMaxIwiBytes and the data's length above.
  out.clear();
  out.reserve(size_t(info.uncompressed_size));
  std::vector<uint8_t> buffer;
  IwdRead read = archive.Extract(info, buffer, [&out](const uint8_t* data, size_t size) {
    out.insert(out.end(), data, data + size);
    return true;
  });
  if (read != IwdRead::kOk) out.clear();
  return read;
}

}  // namespace

ImageResult ReadArchivedImage(const IwdImageIndex& index, std::string_view image, std::vector<uint8_t>& out,
                              std::string* label) {
  out.clear();
  const std::vector<IwdIndexedEntry>* entries = index.Find(image);
  if (!entries) return img::kCantOpen;
  for (const IwdIndexedEntry& entry : *entries) {
    if (entry.archive >= index.archives().size()) continue;
    IwdRead read = ReadEntry(index.archives()[entry.archive], entry, out);
    if (read == IwdRead::kOk) {
      if (label) *label = index.Label(entry);
      return img::kSuccess;
    }
    // Bytes that failed a check never reach the image reader.
    out.clear();
    Logger().warning("IwdIndex:: '%s' in '%s' not read: %s", PrintableEntryName(entry.name).c_str(),
                     PrintableEntryName(index.Label(entry)).c_str(), IwdReadText(read));
  }
  return img::kCantOpen;
}

namespace {

// The first entry the game's index holds for `iwi_file`, with its index.
const IwdIndexedEntry* FirstEntry(std::string_view raw_dir, std::string_view iwi_file,
                                  std::shared_ptr<const IwdImageIndex>& index) {
  if (!IsContainedName(iwi_file)) return nullptr;
  index = IwdImages().Get(GameRootOfRawDir(raw_dir));
  if (!index) return nullptr;
  const std::vector<IwdIndexedEntry>* entries = index->Find(iwi_file);
  return entries && !entries->empty() ? &entries->front() : nullptr;
}

}  // namespace

std::string ArchivedImageLabel(std::string_view raw_dir, std::string_view iwi_file) {
  std::shared_ptr<const IwdImageIndex> index;
  const IwdIndexedEntry* entry = FirstEntry(raw_dir, iwi_file, index);
  return entry ? index->Label(*entry) : "";
}

bool SetArchivedImage(IwiImage& image, std::string_view raw_dir, std::string_view iwi_file) {
  std::shared_ptr<const IwdImageIndex> index;
  const IwdIndexedEntry* entry = FirstEntry(raw_dir, iwi_file, index);
  if (!entry) return false;
  const std::string label = index->Label(*entry);
  image.path = ImageSourcePath(raw_dir, entry->image);
  image.name = image.path.substr(platform::LastSeparator(image.path) + 1);
  image.short_name = image.name;
  image.path_set = true;
  image.archive = label;
  image.archive_root = GameRootOfRawDir(raw_dir);
  image.archive_image = std::string(iwi_file);
  return true;
}

ImageResult LoadArchivedIWI(IwiImage& image) {
  image.from_iwi = true;
  image.loaded = false;
  std::shared_ptr<const IwdImageIndex> index = IwdImages().Get(image.archive_root);
  if (!index) return img::kCantOpen;
  std::vector<uint8_t> bytes;
  ImageResult r = ReadArchivedImage(*index, image.archive_image, bytes, &image.archive);
  if (r != img::kSuccess) return r;
  return image.LoadIWIBytes({bytes.data(), bytes.size()});
}
