// stat() times (see file_times.h).
#include "platform/file_times.h"

#include <sys/stat.h>  // Required for: stat(), S_ISREG()

#include <algorithm>

namespace platform {

std::optional<int64_t> FileModifiedNs(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return int64_t(st.st_mtim.tv_sec) * 1000000000 + int64_t(st.st_mtim.tv_nsec);
}

bool OutputsNewerThanSources(const std::vector<std::string>& outputs, const std::vector<std::string>& sources) {
  if (outputs.empty()) return false;
  int64_t newest_source = INT64_MIN;
  for (const std::string& s : sources)
    if (auto t = FileModifiedNs(s)) newest_source = std::max(newest_source, *t);
  for (const std::string& o : outputs) {
    auto t = FileModifiedNs(o);
    if (!t || *t <= newest_source) return false;
  }
  return true;
}

}  // namespace platform
