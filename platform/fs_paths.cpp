// Path normalising and the case-insensitive lookup retry.
#include "platform/fs_paths.h"

#include <dirent.h>    // Required for: opendir(), readdir()
#include <strings.h>   // Required for: strcasecmp()
#include <sys/stat.h>  // Required for: stat()

#include <vector>

namespace platform {

std::string NormalizePath(std::string_view path) {
  std::string out;
  out.reserve(path.size());
  for (char c : path) {
    if (c == '\\') c = '/';
    if (c == '/' && !out.empty() && out.back() == '/') continue;
    out.push_back(c);
  }
  return out;
}

size_t LastSeparator(std::string_view path) { return path.find_last_of("\\/"); }

namespace {

bool StatOk(const std::string& p, struct stat& st) { return ::stat(p.c_str(), &st) == 0; }

// Looks for a case-insensitive match of `name` in folder `dir`.
std::optional<std::string> MatchInFolder(const std::string& dir, const std::string& name) {
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return std::nullopt;
  std::optional<std::string> found;
  while (dirent* e = ::readdir(d)) {
    if (::strcasecmp(e->d_name, name.c_str()) == 0) {
      found = e->d_name;
      break;
    }
  }
  ::closedir(d);
  return found;
}

}  // namespace

std::optional<std::string> ResolveExisting(std::string_view raw) {
  std::string path = NormalizePath(raw);
  if (path.empty()) return std::nullopt;
  struct stat st;
  if (StatOk(path, st)) return path;

  // Walk the components, keeping those that exist as written and matching
  // the others without regard to case.
  std::string built = path[0] == '/' ? "/" : "";
  size_t i = path[0] == '/' ? 1 : 0;
  while (i <= path.size()) {
    size_t j = path.find('/', i);
    if (j == std::string::npos) j = path.size();
    std::string comp = path.substr(i, j - i);
    i = j + 1;
    if (comp.empty()) continue;
    std::string candidate = built.empty() || built.back() == '/' ? built + comp : built + "/" + comp;
    if (comp == "." || comp == ".." || StatOk(candidate, st)) {
      built = candidate;
      continue;
    }
    std::optional<std::string> match = MatchInFolder(built, comp);
    if (!match) return std::nullopt;
    built = built.empty() || built.back() == '/' ? built + *match : built + "/" + *match;
  }
  if (!StatOk(built, st)) return std::nullopt;
  return built;
}

bool FolderExists(std::string_view path) {
  std::optional<std::string> p = ResolveExisting(path);
  struct stat st;
  return p && StatOk(*p, st) && S_ISDIR(st.st_mode);
}

bool FileExists(std::string_view path) {
  std::optional<std::string> p = ResolveExisting(path);
  struct stat st;
  return p && StatOk(*p, st) && S_ISREG(st.st_mode);
}

}  // namespace platform

#include <cerrno>

namespace platform {

bool CreateDirectories(std::string_view raw) {
  std::string path = NormalizePath(raw);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  if (path.empty()) return false;
  for (size_t i = 1; i <= path.size(); ++i) {
    if (i != path.size() && path[i] != '/') continue;
    std::string part = path.substr(0, i);
    if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
  }
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace platform
