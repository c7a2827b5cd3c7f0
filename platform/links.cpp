#include "platform/links.h"

#include <sys/stat.h>  // Required for: lstat()
#include <unistd.h>    // Required for: unlink()

namespace platform {

bool IsSymlink(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool RemoveSymlink(const std::string& path) { return IsSymlink(path) && ::unlink(path.c_str()) == 0; }

}  // namespace platform
