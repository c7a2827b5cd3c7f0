// One IWD archive: the entries in central-directory order with each one's
// stored facts, read from the directory in one piece (zip_directory.h), and
// the extraction of one entry through minizip's unzip API, in blocks, with
// every check an untrusted archive needs (sizes that fit, the whole stream,
// the CRC) before its bytes count as good.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "imaging/iwd_file_reader.h"
#include "imaging/zip_directory.h"

// Nothing in the games' archives comes near this; a larger entry would only
// fill the disk.
inline constexpr uint64_t kMaxIwiBytes = uint64_t(256) << 20;

struct IwdEntryInfo {
  std::string name;  // the stored bytes, any length the format allows
  uint64_t compressed_size = 0;
  uint64_t uncompressed_size = 0;
  uint32_t crc = 0;
  uint16_t method = 0;  // 0 stored, 8 deflate
  uint16_t flags = 0;   // general purpose bits
  uint64_t directory_pos = 0;  // where its central-directory record starts
};

enum class IwdRead {
  kOk,
  kEncrypted,          // bit 0 of the flags: no password to read it with
  kUnsupportedMethod,  // neither stored nor deflate
  kSizeNotAllowed,     // the stored sizes cannot be true for this archive
  kSizeMismatch,       // the data gave another number of bytes than stored
  kCrcMismatch,
  kDataError,          // broken compressed data or local header, or a read error
  kSinkFailed,         // the consumer refused a block
  kOverlapping,        // its data is shared with, or overlaps, another entry's
  kArchiveBudget,      // the archive as a whole would expand past its bound
};

const char* IwdReadText(IwdRead result);

enum class IwdStep {
  kEntry,   // positioned on an entry
  kEnd,     // past the last entry
  kBroken,  // the central directory could not be read on
};

class IwdArchive {
 public:
  IwdArchive() = default;
  ~IwdArchive();
  IwdArchive(const IwdArchive&) = delete;
  IwdArchive& operator=(const IwdArchive&) = delete;

  // False when the file cannot be opened or is no ZIP archive.
  [[nodiscard]] bool Open(const std::string& path);
  // Open without reading the central directory or finding the entries
  // that share data: for reading one entry (GoTo) that a full Open of the
  // same archive (same size and times) already found clear of that.
  [[nodiscard]] bool OpenForOneEntry(const std::string& path);
  void Close();

  [[nodiscard]] IwdStep First();
  [[nodiscard]] IwdStep Next();
  // Positions on the entry whose central-directory record starts at
  // `directory_pos` (IwdEntryInfo::directory_pos), reading that record
  // alone; false when no record inside the directory can be read there.
  [[nodiscard]] bool GoTo(uint64_t directory_pos);
  // The current entry's central-directory record.
  [[nodiscard]] bool Info(IwdEntryInfo& out);

  // Whether the entry can be read and its stored sizes can be true: not
  // encrypted, stored or deflated, stored entries as long as their data,
  // deflated ones within deflate's largest ratio, nothing longer than the
  // archive or kMaxIwiBytes, no data shared with another entry, and no more
  // than the archive's expansion budget left. Extract checks this first too.
  [[nodiscard]] IwdRead Check(const IwdEntryInfo& info) const;

  // Decompresses the current entry into `sink`, block by block, through the
  // caller's `buffer` (kept between calls so a pass allocates it once).
  // kOk only when the whole stream arrived, as many bytes as stored, with
  // the stored CRC; the sink has seen bytes even when the result is not kOk.
  using Sink = std::function<bool(const uint8_t* data, size_t size)>;
  [[nodiscard]] IwdRead Extract(const IwdEntryInfo& info, std::vector<uint8_t>& buffer, const Sink& sink);

  uint64_t archive_bytes() const { return archive_bytes_; }
  // Entries whose data is shared with or overlaps another's (found by Open).
  // Each entry's own ratio check cannot see a central directory of many
  // entries pointing at one large local entry: together they would expand
  // the archive far past any ratio.
  uint64_t overlapping_entries() const { return overlapping_.size(); }
  // What the entries extracted so far may still expand to: the archive's
  // size times deflate's largest ratio, less what Extract has delivered.
  uint64_t expansion_left() const { return expansion_left_; }

  // The file and the position minizip reads it at (its file functions).
  struct Stream {
    IwdFileReader file;
    uint64_t pos = 0;
  };
  // The entry count the end record announces (for progress only: the walk
  // ends where the central directory does).
  uint64_t announced_entries() const { return open_ ? directory_end_.entries : 0; }

 private:
  // One parsed record and where it lies in `directory_`.
  struct Entry {
    ZipRecord record;
    size_t at = 0;
  };

  bool OpenFile(const std::string& path);
  // minizip over the open file, made for the first entry extracted: a pass
  // that finds every image present never needs it.
  bool OpenZip();
  // The whole directory read at once and every record parsed.
  void ReadDirectory();
  void FindOverlaps();
  IwdStep Current() const { return current_ < entries_.size() ? IwdStep::kEntry : walk_end_; }
  // The facts of `entry`, its name only when `with_name`.
  void Fill(const Entry& entry, bool with_name, IwdEntryInfo& out) const;
  // Check without the checks against the other entries.
  IwdRead CheckEntry(const IwdEntryInfo& info) const;

  bool open_ = false;     // the file is open and its directory's end found
  void* file_ = nullptr;  // unzFile, once OpenZip made it
  Stream stream_;
  std::unordered_set<uint64_t> overlapping_;  // by directory_pos
  uint64_t expansion_left_ = 0;
  uint64_t archive_bytes_ = 0;

  ZipDirectoryEnd directory_end_;
  // The directory's bytes (after GoTo, one record's) and the record
  // position of their first byte.
  std::vector<uint8_t> directory_;
  uint64_t directory_base_ = 0;
  std::vector<Entry> entries_;  // in directory order, as far as they could be read
  IwdStep walk_end_ = IwdStep::kBroken;  // what follows the last of them
  size_t current_ = SIZE_MAX;
};
