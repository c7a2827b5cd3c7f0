// Whole-file reads: the readers parse from memory, which is far faster than a
// field at a time through stdio and keeps the same behaviour.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace platform {

// Reads the whole file (after the case-insensitive retry) into `out`.
// Returns 0 or the errno of the failure (ENOENT when nothing matches,
// EACCES when permission is refused, EFBIG past `max_bytes`).
int ReadFileBytes(std::string_view path, std::vector<uint8_t>& out,
                  uint64_t max_bytes = uint64_t(1) << 31);

}  // namespace platform
