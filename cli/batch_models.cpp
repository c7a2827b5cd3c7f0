// Gathering the model paths of a batch export.
#include "cli/batch_models.h"

#include <algorithm>
#include <cstring>  // Required for: strerror()

#include "platform/folder_list.h"
#include "platform/fs_paths.h"
#include "platform/path_names.h"

int ModelsInFolder(const std::string& folder, std::vector<std::string>& paths) {
  std::vector<std::string> names;
  // Model files have no extension, as in the model list.
  int rc = platform::ListFolder(folder, [&](std::string_view name, bool is_folder) {
    if (!is_folder && name.find('.') == std::string_view::npos) names.emplace_back(name);
  });
  if (rc != 0) return rc;
  std::sort(names.begin(), names.end());
  const std::string dir = platform::WithTrailingSeparator(folder);
  for (const std::string& n : names) paths.push_back(dir + n);
  return 0;
}

std::optional<std::vector<std::string>> CollectModels(const CliArgs& args, std::string& error) {
  std::vector<std::string> paths;
  auto add_folder = [&](const std::string& folder) {
    if (int rc = ModelsInFolder(folder, paths); rc != 0) {
      error = "cannot list \"" + folder + "\": " + std::strerror(rc);
      return false;
    }
    return true;
  };
  for (const std::string& p : args.positional) {
    if (platform::FolderExists(p)) {
      if (!add_folder(platform::ResolveExisting(p).value_or(p))) return std::nullopt;
    } else {
      paths.push_back(p);
    }
  }
  if (auto root = args.Get("--all")) {
    auto folder = platform::ResolveExisting(platform::WithTrailingSeparator(*root) + "raw/xmodel");
    if (!folder || !platform::FolderExists(*folder)) {
      error = "\"" + *root + "\" holds no raw/xmodel folder";
      return std::nullopt;
    }
    if (!add_folder(*folder)) return std::nullopt;
  }
  return paths;
}
