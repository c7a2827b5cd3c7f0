// The bounded NUL-terminated string read shared by the model readers.
#pragma once

#include <string>

#include "base/byte_cursor.h"

// Reads the string at the position into `out` and leaves the position on its
// NUL (every caller skips the NUL itself). The NUL must stand within the
// smaller of `file_size` and 1024 bytes from the start, so a name is at most
// 1023 bytes long; no NUL in reach is a failed read and moves nothing.
bool ReadCString(ByteCursor& file, std::string& out, int64_t file_size);
