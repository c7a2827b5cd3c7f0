// IWD archives: the central directory read once and walked from memory,
// and the entries extracted through minizip (open with file functions, the
// entry's record by its offset, open/read/close the entry, close), as the
// library is published.
#include "imaging/iwd_archive.h"

#include <minizip/unzip.h>  // Required for: unzOpen2_64(), unzReadCurrentFile(), ...

#include <algorithm>  // Required for: sort(), min()
#include <cstdint>

namespace {

unzFile Zip(void* f) { return static_cast<unzFile>(f); }

// Deflate's best case: a 258-byte match in about two bits, so no stream
// grows by more than this factor.
constexpr uint64_t kDeflateMaxRatio = 1032;

constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflate = 8;
constexpr size_t kReadBlock = 256 * 1024;
constexpr size_t kLocalHeaderSize = 30;

}  // namespace

const char* IwdReadText(IwdRead result) {
  switch (result) {
    case IwdRead::kOk: return "ok";
    case IwdRead::kEncrypted: return "the entry is encrypted";
    case IwdRead::kUnsupportedMethod: return "unsupported compression method";
    case IwdRead::kSizeNotAllowed: return "its stored size does not fit the archive";
    case IwdRead::kSizeMismatch: return "its data is not as long as its stored size";
    case IwdRead::kCrcMismatch: return "CRC check failed";
    case IwdRead::kDataError: return "its data could not be read";
    case IwdRead::kSinkFailed: return "the image could not be written";
    case IwdRead::kOverlapping: return "its data overlaps another entry's";
    case IwdRead::kArchiveBudget: return "the archive would expand past 1032 times its size";
  }
  return "?";
}

IwdArchive::~IwdArchive() { Close(); }

namespace {

// minizip's file functions over the archive's Stream, handed over as
// `opaque` and returned as the stream.
using Stream = IwdArchive::Stream;

voidpf ZCALLBACK StreamOpen(voidpf opaque, const void*, int mode) {
  return (mode & ZLIB_FILEFUNC_MODE_WRITE) ? nullptr : opaque;
}

uLong ZCALLBACK StreamRead(voidpf, voidpf stream, void* buf, uLong size) {
  Stream& s = *static_cast<Stream*>(stream);
  size_t n = s.file.Read(s.pos, buf, size);
  s.pos += n;
  return uLong(n);
}

uLong ZCALLBACK StreamWrite(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK StreamTell(voidpf, voidpf stream) { return static_cast<Stream*>(stream)->pos; }

long ZCALLBACK StreamSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  Stream& s = *static_cast<Stream*>(stream);
  uint64_t size = s.file.size();
  uint64_t base = origin == ZLIB_FILEFUNC_SEEK_SET ? 0 : origin == ZLIB_FILEFUNC_SEEK_CUR ? s.pos : size;
  // Past the end is refused: a read there could only come back short.
  if (offset > size || base > size - offset) return -1;
  s.pos = base + offset;
  return 0;
}

int ZCALLBACK StreamClose(voidpf, voidpf) { return 0; }

int ZCALLBACK StreamError(voidpf, voidpf stream) { return static_cast<Stream*>(stream)->file.error() ? 1 : 0; }

}  // namespace

bool IwdArchive::Open(const std::string& path) {
  if (!OpenFile(path)) return false;
  ReadDirectory();
  FindOverlaps();
  return true;
}

bool IwdArchive::OpenForOneEntry(const std::string& path) { return OpenFile(path); }

bool IwdArchive::OpenFile(const std::string& path) {
  Close();
  if (!stream_.file.Open(path)) return false;
  stream_.pos = 0;
  archive_bytes_ = stream_.file.size();
  // Found as minizip finds it, with minizip's checks of the end record:
  // where this opens, so does minizip (OpenZip).
  if (!FindZipDirectoryEnd(stream_.file, directory_end_)) {
    Close();
    return false;
  }
  open_ = true;
  expansion_left_ = archive_bytes_ > UINT64_MAX / kDeflateMaxRatio ? UINT64_MAX : archive_bytes_ * kDeflateMaxRatio;
  return true;
}

bool IwdArchive::OpenZip() {
  if (file_) return true;
  if (!open_) return false;
  zlib_filefunc64_def functions = {};
  functions.zopen64_file = StreamOpen;
  functions.zread_file = StreamRead;
  functions.zwrite_file = StreamWrite;
  functions.ztell64_file = StreamTell;
  functions.zseek64_file = StreamSeek;
  functions.zclose_file = StreamClose;
  functions.zerror_file = StreamError;
  functions.opaque = &stream_;
  // StreamOpen hands back the open stream: the name is not read.
  file_ = unzOpen2_64("", &functions);
  return file_ != nullptr;
}

void IwdArchive::ReadDirectory() {
  entries_.clear();
  walk_end_ = IwdStep::kBroken;
  current_ = SIZE_MAX;
  // FindZipDirectoryEnd keeps start <= end <= the file's size: the length
  // is one the file holds.
  directory_.resize(size_t(directory_end_.end - directory_end_.start));
  if (stream_.file.Read(directory_end_.start, directory_.data(), directory_.size()) != directory_.size())
    directory_.clear();  // a read error: the first record fails, as minizip's read would
  directory_base_ = directory_end_.offset;
  // No more records than the bytes could hold, whatever the count says.
  entries_.reserve(size_t(std::min<uint64_t>(directory_end_.entries, directory_.size() / kZipRecordFixedBytes)));
  size_t at = 0;
  for (uint64_t index = 0;; ++index) {
    Entry entry;
    if (!ParseZipRecord(directory_.data(), directory_.size(), archive_bytes_ - directory_end_.start, at, entry.record))
      break;
    entry.at = at;
    entries_.push_back(entry);
    if (ZipWalkEndsAfter(index, directory_end_.entries)) {
      walk_end_ = IwdStep::kEnd;
      break;
    }
    at += entry.record.length;
  }
}

// Over the parsed records before any entry is read: every entry's local
// header offset (the record's field, or its ZIP64 extra field), sorted; an
// entry whose data reaches past the next one's local header shares bytes
// with it, and both are refused (entries refused on their own facts take no
// part). An entry whose ZIP64 offset cannot be found counts as overlapping
// too. Records past one that cannot be read are not listed at all; the
// pass reports the break, and what lies past it is still held to the
// archive's expansion budget.
void IwdArchive::FindOverlaps() {
  overlapping_.clear();
  struct Span {
    uint64_t start, end, directory_pos;
  };
  std::vector<Span> spans;
  spans.reserve(entries_.size());
  for (const Entry& entry : entries_) {
    IwdEntryInfo info;
    Fill(entry, false, info);
    // Refused on its own facts anyway; a size lie would only make its
    // neighbours look overlapped.
    if (CheckEntry(info) != IwdRead::kOk) continue;
    if (!entry.record.local_offset_found) {
      overlapping_.insert(info.directory_pos);
      continue;
    }
    // Never less than the header and the data: a later entry starting
    // inside them shares bytes.
    const uint64_t offset = entry.record.local_offset;
    const uint64_t length = kLocalHeaderSize + info.compressed_size;
    spans.push_back({offset, offset > UINT64_MAX - length ? UINT64_MAX : offset + length, info.directory_pos});
  }
  std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.start < b.start; });
  // Sorted by start, each span is compared with the furthest end before it.
  uint64_t furthest_end = 0;
  size_t furthest = SIZE_MAX;
  for (size_t i = 0; i < spans.size(); ++i) {
    if (furthest != SIZE_MAX && spans[i].start < furthest_end) {
      overlapping_.insert(spans[i].directory_pos);
      overlapping_.insert(spans[furthest].directory_pos);
    }
    if (furthest == SIZE_MAX || spans[i].end > furthest_end) {
      furthest_end = spans[i].end;
      furthest = i;
    }
  }
}

void IwdArchive::Close() {
  if (file_) unzClose(Zip(file_));
  file_ = nullptr;
  open_ = false;
  overlapping_.clear();
  expansion_left_ = 0;
  stream_.file.Close();
  stream_.pos = 0;
  archive_bytes_ = 0;
  directory_end_ = ZipDirectoryEnd{};
  directory_.clear();
  directory_.shrink_to_fit();
  directory_base_ = 0;
  entries_.clear();
  walk_end_ = IwdStep::kBroken;
  current_ = SIZE_MAX;
}

IwdStep IwdArchive::First() {
  if (!open_) return IwdStep::kBroken;
  current_ = 0;
  return Current();
}

IwdStep IwdArchive::Next() {
  if (!open_ || current_ >= entries_.size()) return IwdStep::kBroken;
  ++current_;
  return Current();
}

bool IwdArchive::GoTo(uint64_t directory_pos) {
  entries_.clear();
  current_ = SIZE_MAX;
  if (!open_ || directory_pos < directory_end_.offset) return false;
  const uint64_t at = directory_pos - directory_end_.offset;
  if (at >= directory_end_.end - directory_end_.start) return false;
  // That record's bytes alone, as many as it could take, not past the
  // directory's end.
  const uint64_t start = directory_end_.start + at;
  directory_.resize(size_t(std::min<uint64_t>(kZipRecordMaxBytes, directory_end_.end - start)));
  if (stream_.file.Read(start, directory_.data(), directory_.size()) != directory_.size()) return false;
  directory_base_ = directory_pos;
  Entry entry;
  if (!ParseZipRecord(directory_.data(), directory_.size(), archive_bytes_ - start, 0, entry.record)) return false;
  entries_.push_back(entry);
  walk_end_ = IwdStep::kEnd;
  current_ = 0;
  return true;
}

void IwdArchive::Fill(const Entry& entry, bool with_name, IwdEntryInfo& out) const {
  if (with_name)
    out.name.assign(reinterpret_cast<const char*>(directory_.data() + entry.at + kZipRecordFixedBytes),
                    entry.record.name_length);
  out.compressed_size = entry.record.compressed_size;
  out.uncompressed_size = entry.record.uncompressed_size;
  out.crc = entry.record.crc;
  out.method = entry.record.method;
  out.flags = entry.record.flags;
  out.directory_pos = directory_base_ + entry.at;
}

bool IwdArchive::Info(IwdEntryInfo& out) {
  out = IwdEntryInfo{};
  if (!open_ || current_ >= entries_.size()) return false;
  Fill(entries_[current_], true, out);
  return true;
}

IwdRead IwdArchive::Check(const IwdEntryInfo& info) const {
  if (IwdRead r = CheckEntry(info); r != IwdRead::kOk) return r;
  if (overlapping_.count(info.directory_pos)) return IwdRead::kOverlapping;
  if (info.uncompressed_size > expansion_left_) return IwdRead::kArchiveBudget;
  return IwdRead::kOk;
}

IwdRead IwdArchive::CheckEntry(const IwdEntryInfo& info) const {
  if (info.flags & kFlagEncrypted) return IwdRead::kEncrypted;
  if (info.method != kMethodStored && info.method != kMethodDeflate) return IwdRead::kUnsupportedMethod;
  if (info.uncompressed_size > kMaxIwiBytes) return IwdRead::kSizeNotAllowed;
  if (info.compressed_size > archive_bytes_) return IwdRead::kSizeNotAllowed;
  if (info.method == kMethodStored && info.uncompressed_size != info.compressed_size)
    return IwdRead::kSizeNotAllowed;
  // Divided on the trusted side so it cannot overflow.
  if (info.method == kMethodDeflate && info.uncompressed_size / kDeflateMaxRatio > info.compressed_size)
    return IwdRead::kSizeNotAllowed;
  return IwdRead::kOk;
}

IwdRead IwdArchive::Extract(const IwdEntryInfo& info, std::vector<uint8_t>& buffer, const Sink& sink) {
  if (IwdRead check = Check(info); check != IwdRead::kOk) return check;
  // minizip reads the same record again and then the local header.
  if (!OpenZip() || unzSetOffset64(Zip(file_), info.directory_pos) != UNZ_OK ||
      unzOpenCurrentFile(Zip(file_)) != UNZ_OK)
    return IwdRead::kDataError;

  if (buffer.size() < kReadBlock) buffer.resize(kReadBlock);
  // Never more than the stored size is asked for: minizip stops there, and
  // whatever the stream holds beyond it shows in the CRC.
  uint64_t total = 0;
  IwdRead result = IwdRead::kOk;
  for (;;) {
    int n = unzReadCurrentFile(Zip(file_), buffer.data(), unsigned(buffer.size()));
    if (n < 0) {
      result = IwdRead::kDataError;
      break;
    }
    if (n == 0) break;
    total += uint64_t(n);
    expansion_left_ -= std::min<uint64_t>(expansion_left_, uint64_t(n));
    if (total > info.uncompressed_size) {
      result = IwdRead::kSizeMismatch;
      break;
    }
    if (!sink(buffer.data(), size_t(n))) {
      result = IwdRead::kSinkFailed;
      break;
    }
  }
  // The CRC is compared when the entry is closed after its last byte.
  int close_rc = unzCloseCurrentFile(Zip(file_));
  if (result != IwdRead::kOk) return result;
  if (total != info.uncompressed_size) return IwdRead::kSizeMismatch;
  if (close_rc == UNZ_CRCERROR) return IwdRead::kCrcMismatch;
  if (close_rc != UNZ_OK) return IwdRead::kDataError;
  return IwdRead::kOk;
}
