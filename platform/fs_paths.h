// File-system paths for the rest of the program. Input may use "\" or "/";
// paths are built with "/". A lookup that misses retries case-insensitively,
// one component at a time, because game files name each other in mixed case.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// "\" becomes "/" and runs of separators fold into one.
std::string NormalizePath(std::string_view path);

// The path of an existing file or folder: the path as written when it exists,
// otherwise the first case-insensitive match of each missing component.
std::optional<std::string> ResolveExisting(std::string_view path);

bool FolderExists(std::string_view path);  // a folder (after the retry)
bool FileExists(std::string_view path);    // a regular file (after the retry)

// The index of the last "\" or "/", or npos.
size_t LastSeparator(std::string_view path);

}  // namespace platform

namespace platform {

// Creates the folder and every missing folder above it. True when the folder
// exists afterwards.
bool CreateDirectories(std::string_view path);

}  // namespace platform
