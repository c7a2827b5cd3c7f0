// Whether two path spellings name the same file: "./sub/../in.dds", a
// symlink and a hard link all differ as strings from "in.dds" but are the
// one file, which only the device and inode numbers tell.
#pragma once

#include <string>

namespace platform {

// True when both paths exist and lead (through links) to the same file.
bool SameFile(const std::string& a, const std::string& b);

}  // namespace platform
