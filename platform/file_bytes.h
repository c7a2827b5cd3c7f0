// Whole-file reads: the readers parse from memory, which is far faster than a
// field at a time through stdio and keeps the same behaviour.
#pragma once

#include <sys/stat.h>  // Required for: struct stat

#include <cstdint>
#include <string_view>
#include <vector>

namespace platform {

// Opens `path` read-only when it is a regular file, else fails without
// waiting: a FIFO or a device named like a game file would block the open or
// the reads for ever. Returns the descriptor with `st` filled, or -1 with
// `error` set (ENOENT, EACCES..., EISDIR for a folder, EINVAL for any other
// file that is not a regular one).
int OpenRegularFile(const char* path, struct stat& st, int& error);

// Up to `n` bytes at `pos` of an open file (short only at its end or on a
// read error, which sets `failed`), and the close of such a descriptor.
size_t ReadAt(int fd, uint64_t pos, void* out, size_t n, bool& failed);
void CloseFile(int fd);

// Reads the whole file (after the case-insensitive retry) into `out`.
// Returns 0 or the errno of the failure (ENOENT when nothing matches,
// EACCES when permission is refused, EFBIG past `max_bytes`, EISDIR or EINVAL
// when it is not a regular file, as OpenRegularFile).
int ReadFileBytes(std::string_view path, std::vector<uint8_t>& out,
                  uint64_t max_bytes = uint64_t(1) << 31);

}  // namespace platform

namespace platform {

// A read-only view of a whole file, mapped from the page cache instead of
// copied (falls back to a read when mapping is not possible). Big surface
// files parse straight from it; pages come in as they are read and go out
// again with Release, so a reader going front to back holds a window of the
// file, not all of it, beside what it builds.
class MappedFile {
 public:
  MappedFile() = default;
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  // 0 or the errno of the failure, as ReadFileBytes.
  int Open(std::string_view path, uint64_t max_bytes = uint64_t(1) << 31);
  const uint8_t* data() const { return map_ ? static_cast<const uint8_t*>(map_) : copy_.data(); }
  size_t size() const { return map_ ? map_size_ : copy_.size(); }
  // The reader is done with bytes [0, up_to): their pages leave the
  // process (reading them again still works, from the page cache).
  void Release(size_t up_to);

 private:
  void Close();
  void* map_ = nullptr;
  size_t map_size_ = 0;
  size_t released_ = 0;
  std::vector<uint8_t> copy_;
};

}  // namespace platform
