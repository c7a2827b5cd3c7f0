// Writing through a descriptor: the loop that puts every byte out, and the
// exclusive creation of a scratch file that never follows a planted link.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// Writes all `size` bytes (retrying short writes and EINTR). 0, or the errno
// of the failure (ENOSPC when the file takes no more bytes).
int WriteAll(int fd, const void* data, size_t size);
// The same at `offset`, leaving the descriptor's position alone.
int WriteAllAt(int fd, const void* data, size_t size, unsigned long long offset);

// Creates `path` for writing, taking over a leftover of that name: unlink
// removes a symlink planted there itself, never what it points at, and
// O_EXCL|O_NOFOLLOW refuses one planted between the two calls. Mode 0666
// less the umask. The descriptor, or -1 with errno set.
int CreateExclusive(const std::string& path);

}  // namespace platform
