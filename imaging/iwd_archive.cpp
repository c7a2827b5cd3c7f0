// IWD archives through minizip (open with file functions, first/next
// entry, entry info, open/read/close the entry, close), as the library is
// published.
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
  FindOverlaps();
  return true;
}

bool IwdArchive::OpenForOneEntry(const std::string& path) { return OpenFile(path); }

bool IwdArchive::OpenFile(const std::string& path) {
  Close();
  if (!stream_.file.Open(path)) return false;
  stream_.pos = 0;
  archive_bytes_ = stream_.file.size();
  zlib_filefunc64_def functions = {};
  functions.zopen64_file = StreamOpen;
  functions.zread_file = StreamRead;
  functions.zwrite_file = StreamWrite;
  functions.ztell64_file = StreamTell;
  functions.zseek64_file = StreamSeek;
  functions.zclose_file = StreamClose;
  functions.zerror_file = StreamError;
  functions.opaque = &stream_;
  file_ = unzOpen2_64(path.c_str(), &functions);
  if (!file_) return false;
  expansion_left_ = archive_bytes_ > UINT64_MAX / kDeflateMaxRatio ? UINT64_MAX : archive_bytes_ * kDeflateMaxRatio;
  return true;
}

namespace {

uint32_t Le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr size_t kCentralRecordSize = 46;
constexpr size_t kLocalHeaderSize = 30;
constexpr uint32_t kZip64Marker = 0xFFFFFFFF;
constexpr uint16_t kZip64ExtraId = 0x0001;

}  // namespace

// One walk over the central directory before any entry is read: every
// entry's local header offset (the record's field, or its ZIP64 extra
// field), sorted; an entry whose data reaches past the next one's local
// header shares bytes with it, and both are refused (entries refused on
// their own facts take no part). An entry whose record
// cannot be read where minizip says it is counts as overlapping too.
void IwdArchive::FindOverlaps() {
  overlapping_.clear();
  struct Span {
    uint64_t start, end, directory_pos;
  };
  std::vector<Span> spans;
  std::vector<uint8_t> extra;
  // A record that cannot be read ends the walk here; the pass meets it
  // again and reports it, and what lies past it is still held to the
  // archive's expansion budget.
  for (IwdStep step = First(); step == IwdStep::kEntry; step = Next()) {
    IwdEntryInfo info;
    if (!Info(info)) break;
    // Refused on its own facts anyway; a size lie would only make its
    // neighbours look overlapped.
    if (CheckEntry(info) != IwdRead::kOk) continue;
    uint8_t record[kCentralRecordSize];
    if (stream_.file.Read(info.directory_pos, record, sizeof record) != sizeof record ||
        Le32(record) != kCentralSignature) {
      overlapping_.insert(info.directory_pos);
      continue;
    }
    uint64_t offset = Le32(record + 42);
    if (offset == kZip64Marker) {
      // The ZIP64 extra field holds the 8-byte values in order, each only
      // when its 32-bit field is the marker.
      const uint16_t name_len = Le16(record + 28), extra_len = Le16(record + 30);
      extra.resize(extra_len);
      bool found = false;
      if (stream_.file.Read(info.directory_pos + kCentralRecordSize + name_len, extra.data(), extra_len) == extra_len) {
        for (size_t at = 0; at + 4 <= extra.size() && !found;) {
          const uint16_t id = Le16(&extra[at]), size = Le16(&extra[at + 2]);
          if (id == kZip64ExtraId) {
            size_t field = at + 4 + (Le32(record + 24) == kZip64Marker ? 8 : 0) +
                           (Le32(record + 20) == kZip64Marker ? 8 : 0);
            if (field + 8 <= at + 4 + size && field + 8 <= extra.size()) {
              offset = uint64_t(Le32(&extra[field])) | uint64_t(Le32(&extra[field + 4])) << 32;
              found = true;
            }
            break;
          }
          at += 4 + size_t(size);
        }
      }
      if (!found) {
        overlapping_.insert(info.directory_pos);
        continue;
      }
    }
    // Never less than the header and the data: a later entry starting
    // inside them shares bytes.
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
  overlapping_.clear();
  expansion_left_ = 0;
  stream_.file.Close();
  stream_.pos = 0;
  archive_bytes_ = 0;
}

uint64_t IwdArchive::announced_entries() const {
  unz_global_info64 global;
  if (!file_ || unzGetGlobalInfo64(Zip(file_), &global) != UNZ_OK) return 0;
  return global.number_entry;
}

namespace {

IwdStep StepResult(int rc) {
  if (rc == UNZ_OK) return IwdStep::kEntry;
  if (rc == UNZ_END_OF_LIST_OF_FILE) return IwdStep::kEnd;
  return IwdStep::kBroken;
}

}  // namespace

IwdStep IwdArchive::First() { return file_ ? StepResult(unzGoToFirstFile(Zip(file_))) : IwdStep::kBroken; }

bool IwdArchive::GoTo(uint64_t directory_pos) {
  // minizip reads and checks the record's signature there.
  return file_ && directory_pos < archive_bytes_ && unzSetOffset64(Zip(file_), directory_pos) == UNZ_OK;
}

IwdStep IwdArchive::Next() { return file_ ? StepResult(unzGoToNextFile(Zip(file_))) : IwdStep::kBroken; }

bool IwdArchive::Info(IwdEntryInfo& out) {
  out = IwdEntryInfo{};
  if (!file_) return false;
  // The name field holds up to 65535 bytes; a shorter buffer would cut a
  // hostile name and hide what follows the cut.
  if (name_buffer_.empty()) name_buffer_.resize(0x10000 + 1);
  unz_file_info64 info;
  if (unzGetCurrentFileInfo64(Zip(file_), &info, name_buffer_.data(), uLong(name_buffer_.size()), nullptr, 0,
                              nullptr, 0) != UNZ_OK)
    return false;
  if (info.size_filename >= name_buffer_.size()) return false;
  out.name.assign(name_buffer_.data(), info.size_filename);
  out.compressed_size = info.compressed_size;
  out.uncompressed_size = info.uncompressed_size;
  out.crc = uint32_t(info.crc);
  out.method = uint16_t(info.compression_method);
  out.flags = uint16_t(info.flag);
  out.directory_pos = unzGetOffset64(Zip(file_));
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
  if (!file_ || unzOpenCurrentFile(Zip(file_)) != UNZ_OK) return IwdRead::kDataError;

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
