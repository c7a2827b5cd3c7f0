// The images folder index.
#include "imaging/image_folder.h"

#include <filesystem>  // Required for: create_directories(), remove()

#include "imaging/iwd_entry_name.h"
#include "platform/links.h"
#include "platform/folder_list.h"
#include "platform/fs_paths.h"
#include "platform/text_case.h"


ImageFolderIndex::Folder& ImageFolderIndex::FolderOf(std::string_view rel, std::string_view& file_name) {
  size_t slash = rel.rfind('/');
  std::string_view folder = slash == std::string_view::npos ? std::string_view() : rel.substr(0, slash);
  file_name = slash == std::string_view::npos ? rel : rel.substr(slash + 1);
  if (last_folder_ && folder == last_spelling_) return *last_folder_;
  last_spelling_ = folder;
  std::string key = platform::AsciiLowered(folder);
  auto it = folders_.find(key);
  if (it != folders_.end()) return *(last_folder_ = &it->second);

  Folder f;
  std::string wanted = folder.empty() ? images_path_ : images_path_ + "/" + std::string(folder);
  std::optional<std::string> found = platform::ResolveExisting(wanted);
  f.path = found ? *found : wanted;
  f.exists = found.has_value();
  if (found) {
    // A second pass is mostly this listing and the archives' entry lists.
    std::string lowered;
    (void)platform::ListFolderTypes(*found, [&f, &lowered](std::string_view name, platform::FolderEntry type) {
      // A partial file is an image that never finished.
      if (name.ends_with(kPartialSuffix)) {
        f.partials.emplace(platform::AsciiLowered(name.substr(0, name.size() - kPartialSuffix.size())), std::string(name));
      } else if (type == platform::FolderEntry::kDanglingLink) {
        f.dangling.emplace(platform::AsciiLowered(name), std::string(name));
      } else {
        platform::AssignLowered(lowered, name);
        f.names.Insert(lowered);
      }
    });
  }
  f.linked = platform::PassesThroughLink(images_path_, f.path);
  // Node-based map: the pointer stays valid as folders are added.
  return *(last_folder_ = &folders_.emplace(std::move(key), std::move(f)).first->second);
}

bool ImageFolderIndex::Contains(std::string_view rel) {
  std::string_view name;
  Folder& f = FolderOf(rel, name);
  platform::AssignLowered(scratch_, name);
  return f.names.Contains(scratch_);
}

void ImageFolderIndex::Add(std::string_view rel) {
  std::string_view name;
  Folder& f = FolderOf(rel, name);
  std::string key = platform::AsciiLowered(name);
  if (auto it = f.partials.find(key); it != f.partials.end()) {
    std::error_code ignored;
    std::filesystem::remove(f.path + "/" + it->second, ignored);
    f.partials.erase(it);
  }
  f.names.Insert(key);
}

bool ImageFolderIndex::InLinkedFolder(std::string_view rel) {
  std::string_view name;
  return FolderOf(rel, name).linked;
}

int ImageFolderIndex::PrepareTarget(std::string_view rel, std::string& path) {
  std::string_view name;
  Folder& f = FolderOf(rel, name);
  path = f.path + "/" + std::string(name);
  if (auto it = f.dangling.find(platform::AsciiLowered(name)); it != f.dangling.end()) {
    // Still a link (unlink never follows one); a file put there since stays.
    (void)platform::RemoveSymlink(f.path + "/" + it->second);
    f.dangling.erase(it);
  }
  if (!f.exists) {
    std::error_code ec;
    std::filesystem::create_directories(f.path, ec);
    if (ec) return ec.value();
    f.exists = true;
  }
  return 0;
}
