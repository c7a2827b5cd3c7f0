#include "platform/file_identity.h"

#include <sys/stat.h>  // Required for: stat()

namespace platform {

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::optional<FileStamp> StampOf(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  FileStamp s;
  s.device = uint64_t(st.st_dev);
  s.inode = uint64_t(st.st_ino);
  s.size = uint64_t(st.st_size);
  s.modified_ns = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  s.changed_ns = int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
  return s;
}

}  // namespace platform
