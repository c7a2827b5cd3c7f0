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

// A whole file read into memory of its own. The file is copied, not mapped:
// a mapped file that another program shrinks or rewrites while it is read
// kills the process on the next touch of a lost page, where a copy only
// holds what the file held. Big surface files parse straight from it, front
// to back, and give their pages back with Release as they go, so the copy
// and what is built from it are not both whole at once.
class LoadedFile {
 public:
  LoadedFile() = default;
  ~LoadedFile();
  LoadedFile(const LoadedFile&) = delete;
  LoadedFile& operator=(const LoadedFile&) = delete;

  // 0 or the errno of the failure, as ReadFileBytes (ENOMEM when no memory
  // holds the file). A file that shrinks while it is read gives the bytes
  // read before its end.
  int Open(std::string_view path, uint64_t max_bytes = uint64_t(1) << 31);
  const uint8_t* data() const { return static_cast<const uint8_t*>(buffer_); }
  size_t size() const { return size_; }
  // The reader is done with bytes [0, up_to): their whole pages leave the
  // process and read as zeroes from then on.
  void Release(size_t up_to);

 private:
  void Close();
  void* buffer_ = nullptr;
  size_t capacity_ = 0;
  size_t size_ = 0;
  size_t released_ = 0;
};

}  // namespace platform
