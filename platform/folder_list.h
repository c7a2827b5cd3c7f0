// Listing one folder's names, for code that walks folders of thousands of
// files (the image check, the IWD mover): no path objects per name.
#pragma once

#include <functional>
#include <string_view>

namespace platform {

// Calls `visit` with each name in `folder` (not "." and ".."), in the order
// the file system returns them, and whether it is a folder (symbolic links
// followed). Returns 0, or the errno of opening or reading the folder
// (names seen before a read error have been visited).
int ListFolder(std::string_view folder, const std::function<void(std::string_view name, bool is_folder)>& visit);

enum class FolderEntry {
  kFile,          // anything that is not a folder, or a link to one
  kFolder,        // a folder, or a link to one
  kDanglingLink,  // a symbolic link whose target does not exist
};

// Every entry of `folder` in the order the file system returns them, "."
// and ".." included, with whether it is a folder (by the entry's own type;
// links are not followed). Stops when `visit` returns false. Returns 0, the
// errno of opening or reading the folder, or ECANCELED when `visit` stopped.
int ListFolderEntries(std::string_view folder, const std::function<bool(std::string_view name, bool is_folder)>& visit);

// ListFolder telling dangling links apart.
int ListFolderTypes(std::string_view folder, const std::function<void(std::string_view name, FolderEntry type)>& visit);

}  // namespace platform
