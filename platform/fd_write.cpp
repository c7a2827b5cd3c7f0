#include "platform/fd_write.h"

#include <fcntl.h>   // Required for: open(), O_* flags
#include <unistd.h>  // Required for: write(), pwrite(), unlink()

#include <cerrno>

namespace platform {

int WriteAll(int fd, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return ENOSPC;
    p += n;
    size -= size_t(n);
  }
  return 0;
}

int WriteAllAt(int fd, const void* data, size_t size, unsigned long long offset) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::pwrite(fd, p, size, off_t(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return ENOSPC;
    p += n;
    size -= size_t(n);
    offset += size_t(n);
  }
  return 0;
}

int CreateExclusive(const std::string& path) {
  ::unlink(path.c_str());
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}

}  // namespace platform
