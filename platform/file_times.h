// Modification times, for the export's "--skip-existing": an output counts
// as current when it is newer than every file it was made from.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The modification time of a regular file in nanoseconds, or nullopt when
// there is none under exactly that path.
std::optional<int64_t> FileModifiedNs(const std::string& path);

// True when `outputs` is not empty, each is a regular file, and each is
// strictly newer than the newest of `sources` (a source that does not
// exist is left out; a file system with coarse times counts a tie as
// stale, so the export runs again).
bool OutputsNewerThanSources(const std::vector<std::string>& outputs, const std::vector<std::string>& sources);

}  // namespace platform
