// Whether two path spellings name the same file: "./sub/../in.dds", a
// symlink and a hard link all differ as strings from "in.dds" but are the
// one file, which only the device and inode numbers tell. And whether a
// file is still the one seen before: its stamp (identity, size, change
// times) differs once it is rewritten, replaced or touched.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// True when both paths exist and lead (through links) to the same file.
bool SameFile(const std::string& a, const std::string& b);

struct FileStamp {
  uint64_t device = 0;
  uint64_t inode = 0;
  uint64_t size = 0;
  int64_t modified_ns = 0;
  int64_t changed_ns = 0;  // status change: a rename over it, a chmod
  bool operator==(const FileStamp&) const = default;
};

// The stamp of the file `path` leads to; nullopt when it does not exist.
std::optional<FileStamp> StampOf(const std::string& path);

}  // namespace platform
