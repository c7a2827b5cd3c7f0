// The executable's folder from /proc/self/exe; the home folder.
#include "platform/program_paths.h"

#include <pwd.h>       // Required for: getpwuid_r()
#include <sys/stat.h>  // Required for: stat()
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

std::string IconThemeFolder(const std::string& data_folder) {
  for (const char* place : {"/icons/hicolor", "/../icons/hicolor"}) {
    std::string folder = data_folder + place;
    if (FolderExists(folder)) return folder;
  }
  return "";
}

namespace {

bool SameFolder(const char* a, const char* b) {
  struct stat sa, sb;
  return ::stat(a, &sa) == 0 && ::stat(b, &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace

std::string LogFolder() {
  const std::string home = HomeFolder();
  const bool at_home = !home.empty() && SameFolder(".", home.c_str());
  if (!at_home && ::access(".", W_OK) == 0) return "";
  std::string state;
  if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg && xdg[0] == '/') {
    state = xdg;
  } else if (!home.empty()) {
    state = home + "/.local/state";
  } else {
    return "";
  }
  const std::string folder = state + "/vantor";
  return CreateDirectories(folder) ? folder : "";
}

std::string CacheFolder() {
  std::string cache;
  if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && xdg[0] == '/') {
    cache = xdg;
  } else if (const std::string home = HomeFolder(); !home.empty()) {
    cache = home + "/.cache";
  } else {
    return "";
  }
  const std::string folder = cache + "/vantor";
  return CreateDirectories(folder) ? folder : "";
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
