// Symbolic links where a folder is written to: a link is never written
// through, and a link that leads nowhere is removed, never followed.
#pragma once

#include <string>

namespace platform {

// `path` itself is a symbolic link (its target is not looked at).
bool IsSymlink(const std::string& path);

// Removes `path` when it is still a symbolic link (unlink never follows
// one); a file put there meanwhile stays. True when a link was removed.
bool RemoveSymlink(const std::string& path);

// Whether a folder of `path` below `base` (itself trusted: a user may well
// keep raw/images elsewhere), or `path` itself, is a symbolic link. Folders
// not made yet are not links.
bool PassesThroughLink(const std::string& base, const std::string& path);

}  // namespace platform
