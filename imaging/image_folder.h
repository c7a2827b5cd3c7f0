// The mover's side of "raw/images": which images are already there, which
// partial files a killed pass left, and where a new image goes. Images
// themselves are written through platform::AtomicFile, so a pass that is
// killed, or an entry that fails its CRC half way, never leaves a short
// ".iwi" that later passes would take for a finished one.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "base/name_set.h"

// The images present under one "raw/images" folder, each sub-folder listed
// once when first asked about, names compared without regard to case (the
// lookups that read them retry case-insensitively, as Windows does).
class ImageFolderIndex {
 public:
  explicit ImageFolderIndex(std::string images_path) : images_path_(std::move(images_path)) {}

  // `rel`: a path inside the folder with "/" separators ("a.iwi", "ui/b.iwi").
  bool Contains(std::string_view rel);
  // Records `rel` as present and removes the partial file of it a killed
  // pass may have left.
  void Add(std::string_view rel);
  // Whether `rel`'s folder below images_path is, or passes through, a
  // symbolic link: nothing is written through one, whatever it points at.
  bool InLinkedFolder(std::string_view rel);
  // The path to write `rel` to: its folder as it exists on disk (matched
  // without case), else as spelled and then created, below images_path. A
  // dangling symbolic link under the name (which counts as absent) is
  // removed, so the image replaces the link instead of going through it.
  // 0 or the errno of the folder's creation.
  [[nodiscard]] int PrepareTarget(std::string_view rel, std::string& path);

 private:
  struct Folder {
    std::string path;  // on disk, or where it will be made
    bool exists = false;
    bool linked = false;  // a folder below images_path on the way is a link
    NameSet names;  // lower case
    // Symbolic links whose target is missing, lower case: the name on disk.
    std::unordered_map<std::string, std::string> dangling;
    // Partial files, by the lower-case name of their image: the name on disk.
    std::unordered_map<std::string, std::string> partials;
  };
  Folder& FolderOf(std::string_view rel, std::string_view& file_name);

  std::string images_path_;
  std::unordered_map<std::string, Folder> folders_;  // by lower-case relative folder
  // Entries come folder by folder: the last one asked about, as spelled.
  std::string last_spelling_;
  Folder* last_folder_ = nullptr;
  std::string scratch_;  // the lower-case name being looked up
};
