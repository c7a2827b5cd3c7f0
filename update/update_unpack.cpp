#include "update/update_unpack.h"

#include <sys/stat.h>  // Required for: mkdir(), lstat()

#include <cerrno>
#include <cstring>
#include <unordered_set>
#include <vector>

#include "imaging/iwd_archive.h"
#include "imaging/iwd_entry_name.h"
#include "platform/atomic_file.h"

namespace update {

std::optional<std::string> UpdateEntryTarget(std::string_view name) {
  if (name.empty() || name[0] == '/') return std::nullopt;
  const bool folder = name.back() == '/';
  std::string out;
  size_t at = 0;
  while (at < name.size()) {
    size_t end = name.find('/', at);
    if (end == std::string_view::npos) end = name.size();
    const std::string_view part = name.substr(at, end - at);
    // Empty parts ("a//b") are refused too: a name is written one way only.
    if (part.empty() || part == "." || part == "..") return std::nullopt;
    for (unsigned char c : part)
      if (c < 0x20 || c == 0x7F || c == ':' || c == '\\') return std::nullopt;
    if (!out.empty()) out += '/';
    out += part;
    at = end + 1;
  }
  if (folder) out += '/';
  return out;
}

namespace {

// Makes every folder of `relative` below `root`; a folder we did not make
// (a link) is never followed, as the root is new and only we write in it.
bool MakeFolders(const std::string& root, const std::string& relative) {
  size_t at = 0;
  while ((at = relative.find('/', at)) != std::string::npos) {
    const std::string path = root + "/" + relative.substr(0, at);
    struct stat st;
    if (::mkdir(path.c_str(), 0700) != 0) {
      if (errno != EEXIST || ::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    }
    ++at;
  }
  return true;
}

}  // namespace

std::string UnpackUpdate(const std::string& archive_path, const std::string& folder) {
  IwdArchive archive;
  if (!archive.Open(archive_path)) return "the archive cannot be read";
  std::unordered_set<std::string> seen;
  std::vector<uint8_t> buffer;
  size_t files = 0;
  IwdStep step = archive.First();
  for (; step == IwdStep::kEntry; step = archive.Next()) {
    IwdEntryInfo info;
    if (!archive.Info(info)) return "an entry cannot be read";
    const std::string shown = PrintableEntryName(info.name);
    const std::optional<std::string> target = UpdateEntryTarget(info.name);
    if (!target) return "the entry \"" + shown + "\" has a name that leaves the folder";
    if (!seen.insert(*target).second) return "the entry \"" + shown + "\" is in the archive twice";
    if (target->back() == '/') {
      if (!MakeFolders(folder, *target)) return "the folder \"" + shown + "\" cannot be made";
      continue;
    }
    if (!MakeFolders(folder, *target)) return "the folder of \"" + shown + "\" cannot be made";
    platform::AtomicFile out;
    if (out.Open(folder + "/" + *target, ".vantor-part") != 0) return "\"" + shown + "\" cannot be written";
    const IwdRead read =
        archive.Extract(info, buffer, [&out](const uint8_t* data, size_t size) { return out.Write(data, size); });
    if (read != IwdRead::kOk) return "\"" + shown + "\": " + IwdReadText(read);
    if (out.Commit() != 0) return "\"" + shown + "\" cannot be written";
    ++files;
  }
  if (step == IwdStep::kBroken) return "the archive's directory is broken";
  if (files == 0) return "the archive holds no files";
  return "";
}

}  // namespace update
