#include "platform/links.h"

#include <sys/stat.h>  // Required for: lstat()
#include <unistd.h>    // Required for: unlink()

namespace platform {

bool IsSymlink(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool RemoveSymlink(const std::string& path) { return IsSymlink(path) && ::unlink(path.c_str()) == 0; }

bool PassesThroughLink(const std::string& base, const std::string& path) {
  if (path.size() <= base.size() || path.compare(0, base.size(), base) != 0) return false;
  for (size_t at = base.size() + 1; at <= path.size(); ++at) {
    if (at != path.size() && path[at] != '/') continue;
    if (IsSymlink(path.substr(0, at))) return true;
  }
  return false;
}

}  // namespace platform
