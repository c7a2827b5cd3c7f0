// A ZIP archive's central directory read in one piece and parsed from
// memory. The end record is found as minizip finds it, and each record is
// taken exactly as minizip's walk takes it (same fields, same ZIP64 extra
// field reading, same end of the walk), so the entries listed here are the
// ones minizip extracts; on top of that no record may reach past the
// directory's end.
#pragma once

#include <cstddef>
#include <cstdint>

class IwdFileReader;

struct ZipDirectoryEnd {
  uint64_t start = 0;    // file position of the first record
  uint64_t end = 0;      // the end record's position: no record reaches past it
  uint64_t offset = 0;   // the directory's offset as stored, the origin of record positions
  uint64_t entries = 0;  // as the end record announces them
};

// False where minizip's open fails too: no end record in the last 64 KiB, a
// second disk, counts that differ, a directory that ends past the record.
[[nodiscard]] bool FindZipDirectoryEnd(IwdFileReader& file, ZipDirectoryEnd& out);

// One central-directory record as minizip reads it.
struct ZipRecord {
  uint64_t compressed_size = 0;
  uint64_t uncompressed_size = 0;
  uint32_t crc = 0;
  uint16_t method = 0;
  uint16_t flags = 0;
  uint16_t name_length = 0;  // the name follows the 46 fixed bytes
  size_t length = 0;         // the whole record: fixed part, name, extra field, comment
  // Where its local header is, from the record's field or the first ZIP64
  // extra field when that holds it; false when the field says ZIP64 and no
  // such extra field holds the value.
  uint64_t local_offset = 0;
  bool local_offset_found = false;
};

inline constexpr size_t kZipRecordFixedBytes = 46;
// The most a record can take: the fixed part and three 16-bit lengths.
inline constexpr size_t kZipRecordMaxBytes = kZipRecordFixedBytes + 3 * 0xFFFF;

// The record at `at` of `directory` (`size` bytes, followed in the file by
// `seek_limit` - `size` more). False when it is no record, when any part of
// it lies past `size`, or when minizip's reading of its extra field would
// read past `size` or skip past `seek_limit`.
[[nodiscard]] bool ParseZipRecord(const uint8_t* directory, size_t size, uint64_t seek_limit, size_t at,
                                  ZipRecord& out);

// Whether the walk ends after record number `index` (0-based) of an archive
// announcing `entries`: minizip stops at the announced count, except for the
// count 0xFFFF (a 16-bit count that may have overflowed), where it reads on
// until a record fails.
inline bool ZipWalkEndsAfter(uint64_t index, uint64_t entries) { return entries != 0xFFFF && index + 1 == entries; }
