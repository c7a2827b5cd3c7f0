// Whole-file reads with POSIX I/O in large blocks.
#include "platform/file_bytes.h"

#include <fcntl.h>     // Required for: open(), fcntl()
#include <sys/stat.h>  // Required for: stat(), fstat()
#include <unistd.h>    // Required for: read(), pread(), close()

#include <cerrno>

#include "platform/fs_paths.h"

namespace platform {

namespace {

int NotRegularError(const struct stat& st) { return S_ISDIR(st.st_mode) ? EISDIR : EINVAL; }

}  // namespace

int OpenRegularFile(const char* path, struct stat& st, int& error) {
  // Checked by name first so that a FIFO is not even opened (opening one
  // would release a writer waiting on it), then again on the descriptor in
  // case the name was swapped in between; O_NONBLOCK keeps that open from
  // waiting for a writer.
  if (::stat(path, &st) != 0) {
    error = errno;
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    error = NotRegularError(st);
    return -1;
  }
  int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    error = errno;
    return -1;
  }
  if (::fstat(fd, &st) != 0) {
    error = errno;
    ::close(fd);
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    error = NotRegularError(st);
    ::close(fd);
    return -1;
  }
  // Reads of a regular file never wait; the flag goes only to be plain.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  error = 0;
  return fd;
}

size_t ReadAt(int fd, uint64_t pos, void* out, size_t n, bool& failed) {
  size_t got = 0;
  while (got < n) {
    ssize_t r = ::pread(fd, static_cast<uint8_t*>(out) + got, n - got, off_t(pos + got));
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) failed = true;
    if (r <= 0) break;
    got += size_t(r);
  }
  return got;
}

void CloseFile(int fd) {
  if (fd >= 0) ::close(fd);
}

int ReadFileBytes(std::string_view path, std::vector<uint8_t>& out, uint64_t max_bytes) {
  out.clear();
  std::optional<std::string> resolved = ResolveExisting(path);
  if (!resolved) return ENOENT;
  struct stat st;
  int error = 0;
  int fd = OpenRegularFile(resolved->c_str(), st, error);
  if (fd < 0) return error;
  if (uint64_t(st.st_size) > max_bytes) {
    ::close(fd);
    return EFBIG;
  }
  out.resize(size_t(st.st_size));
  size_t got = 0;
  while (got < out.size()) {
    ssize_t n = ::read(fd, out.data() + got, out.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // the file shrank under us: keep what was read
    got += size_t(n);
  }
  out.resize(got);
  ::close(fd);
  return 0;
}

}  // namespace platform

#include <sys/mman.h>  // Required for: mmap(), munmap(), madvise()

#include <algorithm>

namespace platform {

LoadedFile::~LoadedFile() { Close(); }

void LoadedFile::Close() {
  if (buffer_) ::munmap(buffer_, capacity_);
  buffer_ = nullptr;
  capacity_ = size_ = released_ = 0;
}

void LoadedFile::Release(size_t up_to) {
  if (!buffer_) return;
  constexpr size_t kPage = 4096;
  size_t end = std::min(up_to, size_) / kPage * kPage;
  if (end <= released_) return;
  ::madvise(static_cast<uint8_t*>(buffer_) + released_, end - released_, MADV_DONTNEED);
  released_ = end;
}

int LoadedFile::Open(std::string_view path, uint64_t max_bytes) {
  Close();
  std::optional<std::string> resolved = ResolveExisting(path);
  if (!resolved) return ENOENT;
  struct stat st;
  int error = 0;
  int fd = OpenRegularFile(resolved->c_str(), st, error);
  if (fd < 0) return error;
  if (uint64_t(st.st_size) > max_bytes) {
    ::close(fd);
    return EFBIG;
  }
  if (st.st_size == 0) {
    ::close(fd);
    return 0;
  }
  // Memory of its own rather than the heap's, so that Release can hand
  // whole pages back; huge pages where the kernel has them, since the read
  // writes every byte once.
  capacity_ = size_t(st.st_size);
  void* m = ::mmap(nullptr, capacity_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (m == MAP_FAILED) {
    capacity_ = 0;
    ::close(fd);
    return ENOMEM;
  }
  buffer_ = m;
  ::madvise(m, capacity_, MADV_HUGEPAGE);
  bool failed = false;
  size_ = ReadAt(fd, 0, buffer_, capacity_, failed);
  ::close(fd);
  if (failed) {
    Close();
    return EIO;
  }
  return 0;
}

}  // namespace platform
