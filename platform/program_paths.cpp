// The executable's folder from /proc/self/exe.
#include "platform/program_paths.h"

#include <unistd.h>  // Required for: readlink()

#include "platform/fs_paths.h"

namespace platform {

std::string ProgramFolder() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  std::string p(buf, size_t(n));
  size_t cut = p.find_last_of('/');
  return cut == std::string::npos || cut == 0 ? "/" : p.substr(0, cut);
}

std::string DataFolder() {
  std::string beside = ProgramFolder() + "/data";
  if (FolderExists(beside)) return beside;
  std::string installed = ProgramFolder() + "/../share/vantor";
  if (FolderExists(installed)) return installed;
  return beside;
}

}  // namespace platform
