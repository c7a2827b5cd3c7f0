// The images folder index and partial-file writes.
#include "imaging/image_folder.h"

#include <cerrno>
#include <filesystem>  // Required for: directory_iterator, create_directories, rename

#include "imaging/iwd_entry_name.h"
#include "platform/fs_paths.h"

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return out;
}

}  // namespace

ImageFolderIndex::Folder& ImageFolderIndex::FolderOf(std::string_view rel, std::string_view& file_name) {
  size_t slash = rel.rfind('/');
  std::string_view folder = slash == std::string_view::npos ? std::string_view() : rel.substr(0, slash);
  file_name = slash == std::string_view::npos ? rel : rel.substr(slash + 1);
  std::string key = Lower(folder);
  auto it = folders_.find(key);
  if (it != folders_.end()) return it->second;

  Folder f;
  std::string wanted = folder.empty() ? images_path_ : images_path_ + "/" + std::string(folder);
  std::optional<std::string> found = platform::ResolveExisting(wanted);
  f.path = found ? *found : wanted;
  f.exists = found.has_value();
  if (found) {
    std::error_code ec;
    for (std::filesystem::directory_iterator d(*found, ec), end; !ec && d != end; d.increment(ec)) {
      std::string name = d->path().filename().string();
      // A partial file is an image that never finished.
      if (!std::string_view(name).ends_with(kPartialSuffix)) f.names.insert(Lower(name));
    }
  }
  return folders_.emplace(std::move(key), std::move(f)).first->second;
}

bool ImageFolderIndex::Contains(std::string_view rel) {
  std::string_view name;
  Folder& f = FolderOf(rel, name);
  return f.names.count(Lower(name)) != 0;
}

void ImageFolderIndex::Add(std::string_view rel) {
  std::string_view name;
  FolderOf(rel, name).names.insert(Lower(name));
}

int ImageFolderIndex::PrepareTarget(std::string_view rel, std::string& path) {
  std::string_view name;
  Folder& f = FolderOf(rel, name);
  path = f.path + "/" + std::string(name);
  if (!f.exists) {
    std::error_code ec;
    std::filesystem::create_directories(f.path, ec);
    if (ec) return ec.value();
    f.exists = true;
  }
  return 0;
}

int PartialImageFile::Open(std::string final_path) {
  Abandon();
  final_path_ = std::move(final_path);
  part_path_ = final_path_ + std::string(kPartialSuffix);
  write_error_ = 0;
  // "wb" also takes over a partial file a killed pass left behind.
  file_ = std::fopen(part_path_.c_str(), "wb");
  if (!file_) return errno ? errno : EIO;
  // The bytes come in blocks of up to 256 KiB already: no stdio buffer
  // (and no file-status call to size one).
  std::setvbuf(file_, nullptr, _IONBF, 0);
  return 0;
}

bool PartialImageFile::Write(const uint8_t* data, size_t size) {
  if (!file_ || write_error_) return false;
  if (std::fwrite(data, 1, size, file_) != size) {
    write_error_ = errno ? errno : EIO;
    return false;
  }
  return true;
}

int PartialImageFile::Commit() {
  if (!file_) return EBADF;
  int rc = write_error_;
  if (std::fclose(file_) != 0 && rc == 0) rc = errno ? errno : EIO;
  file_ = nullptr;
  if (rc == 0) {
    std::error_code ec;
    std::filesystem::rename(part_path_, final_path_, ec);
    rc = ec.value();
  }
  if (rc != 0) {
    std::error_code ignored;
    std::filesystem::remove(part_path_, ignored);
  }
  part_path_.clear();
  return rc;
}

void PartialImageFile::Abandon() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  if (!part_path_.empty()) {
    std::error_code ignored;
    std::filesystem::remove(part_path_, ignored);
  }
  part_path_.clear();
}
