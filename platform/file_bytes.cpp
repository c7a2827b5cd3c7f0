// Whole-file reads with POSIX I/O in large blocks.
#include "platform/file_bytes.h"

#include <fcntl.h>     // Required for: open()
#include <sys/stat.h>  // Required for: fstat()
#include <unistd.h>    // Required for: read(), close()

#include <cerrno>

#include "platform/fs_paths.h"

namespace platform {

int ReadFileBytes(std::string_view path, std::vector<uint8_t>& out, uint64_t max_bytes) {
  out.clear();
  std::optional<std::string> resolved = ResolveExisting(path);
  if (!resolved) return ENOENT;
  int fd = ::open(resolved->c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    int e = S_ISDIR(st.st_mode) ? EISDIR : errno;
    ::close(fd);
    return e ? e : EINVAL;
  }
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
