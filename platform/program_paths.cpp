// The executable's folder from /proc/self/exe; the home folder.
#include "platform/program_paths.h"

#include <pwd.h>     // Required for: getpwuid_r()
#include <unistd.h>  // Required for: readlink(), getuid()

#include <cstdlib>

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

std::string RunningFolder() {
  const std::string program = ProgramFolder();
  if (::access(program.c_str(), W_OK) == 0) return program;
  std::string data;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/') {
    data = xdg;
  } else if (std::string home = HomeFolder(); !home.empty()) {
    data = home + "/.local/share";
  } else {
    return program;
  }
  const std::string folder = data + "/vantor";
  return CreateDirectories(folder) ? folder : program;
}

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  struct passwd pw;
  struct passwd* found = nullptr;
  char buffer[4096];
  if (::getpwuid_r(::getuid(), &pw, buffer, sizeof buffer, &found) == 0 && found && found->pw_dir)
    return found->pw_dir;
  return "";
}

}  // namespace platform
