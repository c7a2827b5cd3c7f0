// The end record found and the central directory's records parsed from
// memory, in the order and with the results of minizip 1.1 (zlib 1.2.13's
// contrib), which still extracts the entries.
#include "imaging/zip_directory.h"

#include <algorithm>  // Required for: min()
#include <cstring>    // Required for: memrchr()
#include <memory>     // Required for: make_unique_for_overwrite()
#include <vector>

#include "imaging/iwd_file_reader.h"

namespace {

uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t Le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint64_t Le64(const uint8_t* p) { return uint64_t(Le32(p)) | uint64_t(Le32(p + 4)) << 32; }

constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kZip64EndSignature = 0x06064b50;
constexpr uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kZip64Marker = 0xFFFFFFFF;
constexpr uint16_t kZip64ExtraId = 0x0001;
// The end record may be followed by a comment of up to 65535 bytes.
constexpr uint64_t kSearchBack = 0xFFFF;

constexpr size_t kEndBytes = 22;
constexpr size_t kZip64LocatorBytes = 20;
constexpr size_t kZip64EndBytes = 56;

// The last `signature` in the file's last 64 KiB; 0 when there is none.
// minizip answers 0 for "none" too, so a record at the very start of the
// file is never found (an empty archive of 22 bytes does not open).
uint64_t SearchBack(IwdFileReader& file, uint32_t signature) {
  const uint64_t size = file.size();
  const size_t span = size_t(std::min(kSearchBack, size));
  if (span < 4) return 0;
  const std::unique_ptr<uint8_t[]> tail = std::make_unique_for_overwrite<uint8_t[]>(span);
  if (file.Read(size - span, tail.get(), span) != span) return 0;
  // Backwards from the last place a record could start, one candidate
  // first byte at a time.
  for (size_t n = span - 3; n > 0;) {
    const void* hit = memrchr(tail.get(), int(signature & 0xFF), n);
    if (!hit) return 0;
    const size_t i = size_t(static_cast<const uint8_t*>(hit) - tail.get());
    if (Le32(&tail[i]) == signature) return size - span + i;
    n = i;
  }
  return 0;
}

// minizip reads the end records a byte at a time and takes a read at the
// end of the file for no error: a field cut by the end keeps its bytes
// read, and each missing byte repeats the last one read of that field (0
// when none was). The end records are read that way here too, so that a
// cut one opens, or does not, as it does for minizip.
struct CutRecord {
  uint8_t bytes[56] = {};
  size_t got = 0;

  bool Read(IwdFileReader& file, uint64_t pos, size_t n) {
    got = file.Read(pos, bytes, n);
    return !file.error();
  }
  uint64_t Field(size_t at, size_t width) const {
    uint64_t value = 0;
    uint8_t last = 0;
    for (size_t i = 0; i < width; ++i) {
      if (at + i < got) last = bytes[at + i];
      value |= uint64_t(last) << (8 * i);
    }
    return value;
  }
};

// The ZIP64 end record's position through its locator, or 0 when there is
// none that minizip takes (it then looks for the plain end record).
uint64_t FindZip64End(IwdFileReader& file) {
  const uint64_t locator_pos = SearchBack(file, kZip64LocatorSignature);
  if (locator_pos == 0) return 0;
  CutRecord locator;
  if (!locator.Read(file, locator_pos, kZip64LocatorBytes)) return 0;
  // On disk 0, of one disk in all.
  if (locator.Field(4, 4) != 0 || locator.Field(16, 4) != 1) return 0;
  const uint64_t end_pos = locator.Field(8, 8);
  CutRecord signature;
  if (end_pos > file.size() || !signature.Read(file, end_pos, 4) || signature.Field(0, 4) != kZip64EndSignature)
    return 0;
  return end_pos;
}

}  // namespace

bool FindZipDirectoryEnd(IwdFileReader& file, ZipDirectoryEnd& out) {
  out = ZipDirectoryEnd{};
  uint64_t central_pos = FindZip64End(file);
  uint64_t disk = 0, directory_disk = 0, entries = 0, directory_entries = 0, size = 0, offset = 0;
  CutRecord end;
  if (central_pos != 0) {
    if (!end.Read(file, central_pos, kZip64EndBytes)) return false;
    disk = end.Field(16, 4);
    directory_disk = end.Field(20, 4);
    entries = end.Field(24, 8);
    directory_entries = end.Field(32, 8);
    size = end.Field(40, 8);
    offset = end.Field(48, 8);
  } else {
    central_pos = SearchBack(file, kEndSignature);
    if (central_pos == 0 || !end.Read(file, central_pos, kEndBytes)) return false;
    disk = end.Field(4, 2);
    directory_disk = end.Field(6, 2);
    entries = end.Field(8, 2);
    directory_entries = end.Field(10, 2);
    size = end.Field(12, 4);
    offset = end.Field(16, 4);
  }
  if (entries != directory_entries || disk != 0 || directory_disk != 0) return false;
  // minizip's sum, wrapping as its 64-bit arithmetic does; what lies before
  // the directory's stated end is taken as bytes before the archive.
  if (central_pos < offset + size) return false;
  out.end = central_pos;
  // A size larger than the end's position (the sum above wrapped) leaves
  // no directory to read: the first record fails as minizip's seek does.
  out.start = size > central_pos ? central_pos : central_pos - size;
  out.offset = offset;
  out.entries = entries;
  return true;
}

bool ParseZipRecord(const uint8_t* directory, size_t size, uint64_t seek_limit, size_t at, ZipRecord& out) {
  out = ZipRecord{};
  if (at > size || size - at < kZipRecordFixedBytes) return false;
  const uint8_t* record = directory + at;
  if (Le32(record) != kCentralSignature) return false;
  const uint16_t name_length = Le16(record + 28), extra_length = Le16(record + 30);
  const size_t length = kZipRecordFixedBytes + name_length + extra_length + Le16(record + 32);
  // The whole record lies inside the directory, its comment too.
  if (length > size - at) return false;
  out.flags = Le16(record + 8);
  out.method = Le16(record + 10);
  out.crc = Le32(record + 16);
  out.compressed_size = Le32(record + 20);
  out.uncompressed_size = Le32(record + 24);
  out.name_length = name_length;
  out.length = length;

  // The extra field as minizip reads it: header by header, each field that
  // is no ZIP64 one skipped by its size; from a ZIP64 one only the 8-byte
  // values whose 32-bit fields are the marker, in order, and the next header
  // read where those values end, whatever the field's own size says. Every
  // read stays inside the directory; a skip may go on to the file's end
  // (minizip's seek fails only past it), as long as nothing is read there.
  uint64_t cursor = at + kZipRecordFixedBytes + name_length;
  uint64_t local_offset = Le32(record + 42);
  for (uint64_t done = 0; done < extra_length;) {
    if (cursor > size || size - cursor < 4) return false;
    const uint16_t id = Le16(directory + cursor), field_size = Le16(directory + cursor + 2);
    cursor += 4;
    if (id == kZip64ExtraId) {
      for (uint64_t* value : {&out.uncompressed_size, &out.compressed_size, &local_offset}) {
        if (*value != kZip64Marker) continue;
        if (cursor > size || size - cursor < 8) return false;
        *value = Le64(directory + cursor);
        cursor += 8;
      }
    } else {
      if (cursor > seek_limit || field_size > seek_limit - cursor) return false;
      cursor += field_size;
    }
    done += 4 + uint64_t(field_size);
  }

  // The local header's offset for the check of shared data: the first
  // ZIP64 field, its offset after the sizes it holds, and only inside that
  // field.
  out.local_offset = Le32(record + 42);
  out.local_offset_found = out.local_offset != kZip64Marker;
  if (!out.local_offset_found) {
    const uint8_t* extra = record + kZipRecordFixedBytes + name_length;
    for (size_t pos = 0; pos + 4 <= extra_length;) {
      const uint16_t id = Le16(extra + pos), field_size = Le16(extra + pos + 2);
      if (id == kZip64ExtraId) {
        const size_t value = pos + 4 + (Le32(record + 24) == kZip64Marker ? 8 : 0) +
                             (Le32(record + 20) == kZip64Marker ? 8 : 0);
        if (value + 8 <= pos + 4 + field_size && value + 8 <= extra_length) {
          out.local_offset = Le64(extra + value);
          out.local_offset_found = true;
        }
        break;
      }
      pos += 4 + size_t(field_size);
    }
  }
  return true;
}
