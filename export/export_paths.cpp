// Output-name guards.
#include "export/export_paths.h"

#include "platform/fs_paths.h"

bool IsSafeOutputName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (unsigned char c : name)
    if (c == '/' || c == '\\' || c < 0x20 || c == 0x7F) return false;
  return true;
}

std::string WithTrailingSeparator(std::string_view folder) {
  std::string f = platform::NormalizePath(folder);
  if (f.empty() || f.back() != '/') f += '/';
  return f;
}
