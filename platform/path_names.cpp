// Path-name guards.
#include "platform/path_names.h"

#include "platform/fs_paths.h"

namespace platform {

bool IsSafeOutputName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (unsigned char c : name)
    if (c == '/' || c == '\\' || c < 0x20 || c == 0x7F) return false;
  return true;
}

std::string WithTrailingSeparator(std::string_view folder) {
  std::string f = NormalizePath(folder);
  if (f.empty() || f.back() != '/') f += '/';
  return f;
}

}  // namespace platform
