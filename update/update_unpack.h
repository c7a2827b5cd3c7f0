// Unpacks the update's archive into a folder of ours, through the same ZIP
// reader and checks as the game archives: every entry must pass its size,
// ratio and CRC checks, and its name must stay inside the folder. One bad
// entry fails the whole update; what was unpacked is then worthless and the
// caller drops the folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace update {

// The entry's path below the target folder ("bin/vantor"), or nullopt when
// the name is empty, absolute, holds a drive letter, a "\\", a control
// character, or a "." or ".." component. A folder entry ends in "/".
std::optional<std::string> UpdateEntryTarget(std::string_view name);

// "" when every entry was written under `folder` (which exists and is
// empty), else what stopped it.
std::string UnpackUpdate(const std::string& archive, const std::string& folder);

}  // namespace update
