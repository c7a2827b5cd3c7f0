// The mover's side of "raw/images": which images are already there, and
// writing a new one so that it appears whole or not at all.
//
// An image is written as "<name>.vantor-part" beside its final name and
// renamed into place once every byte is in and checked, so a pass that is
// killed, or an entry that fails its CRC half way, never leaves a short
// ".iwi" that later passes would take for a finished one.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

// The images present under one "raw/images" folder, each sub-folder listed
// once when first asked about, names compared without regard to case (the
// lookups that read them retry case-insensitively, as Windows does).
class ImageFolderIndex {
 public:
  explicit ImageFolderIndex(std::string images_path) : images_path_(std::move(images_path)) {}

  // `rel`: a path inside the folder with "/" separators ("a.iwi", "ui/b.iwi").
  bool Contains(std::string_view rel);
  void Add(std::string_view rel);
  // The path to write `rel` to: its folder as it exists on disk (matched
  // without case), else as spelled and then created, below images_path.
  // 0 or the errno of the folder's creation.
  [[nodiscard]] int PrepareTarget(std::string_view rel, std::string& path);

 private:
  struct Folder {
    std::string path;  // on disk, or where it will be made
    bool exists = false;
    std::unordered_set<std::string> names;  // lower case
  };
  Folder& FolderOf(std::string_view rel, std::string_view& file_name);

  std::string images_path_;
  std::unordered_map<std::string, Folder> folders_;  // by lower-case relative folder
};

// One image on its way to `final_path`. The destructor removes an
// unfinished partial file.
class PartialImageFile {
 public:
  PartialImageFile() = default;
  ~PartialImageFile() { Abandon(); }
  PartialImageFile(const PartialImageFile&) = delete;
  PartialImageFile& operator=(const PartialImageFile&) = delete;

  // Opens the partial file (its folder must exist). 0 or the errno.
  [[nodiscard]] int Open(std::string final_path);
  [[nodiscard]] bool Write(const uint8_t* data, size_t size);
  // Closes and renames into place. 0 or the errno of the failure (the
  // partial file is gone either way).
  [[nodiscard]] int Commit();
  void Abandon();
  // The errno of the first failed write, 0 when none failed.
  int write_error() const { return write_error_; }

 private:
  std::string final_path_;
  std::string part_path_;
  std::FILE* file_ = nullptr;
  int write_error_ = 0;
};
