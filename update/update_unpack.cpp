#include "update/update_unpack.h"

#include <unordered_set>
#include <vector>

#include "imaging/iwd_archive.h"
#include "imaging/iwd_entry_name.h"
#include "platform/atomic_file.h"
#include "platform/fs_paths.h"
#include "platform/path_names.h"

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
    if (!platform::IsSafeOutputName(part) || part.find(':') != std::string_view::npos) return std::nullopt;
    if (!out.empty()) out += '/';
    out += part;
    at = end + 1;
  }
  if (folder) out += '/';
  return out;
}

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
    // Folders as the umask has them: the private folder above them is
    // what keeps others out, and the update script copies their modes.
    const std::string path = folder + "/" + *target;
    if (!platform::CreateDirectories(path.substr(0, path.rfind('/'))))
      return "the folder of \"" + shown + "\" cannot be made";
    if (target->back() == '/') continue;
    platform::AtomicFile out;
    if (out.Open(path, std::string(kPartialSuffix)) != 0) return "\"" + shown + "\" cannot be written";
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
