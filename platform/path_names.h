// Guards for names that reach a path from the game files. The games' own
// names are plain file names (slot names, material names, model names);
// anything that could climb out of its folder is refused.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// A single path component: not empty, not "." or "..", no "/" or "\" and no
// control characters.
bool IsSafeOutputName(std::string_view name);

// The folder with exactly one trailing "/".
std::string WithTrailingSeparator(std::string_view folder);

}  // namespace platform
