// Whole-file reads and writes of the image operations, with the image result
// codes of an open failure: 6 for permissions, 5 for anything else.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "imaging/image_codes.h"
#include "platform/file_bytes.h"

// Reads the file (case-insensitive retry) into `out`; 13 past `max_bytes`.
[[nodiscard]] ImageResult ReadImageFile(const std::string& path, std::vector<uint8_t>& out,
                                        uint64_t max_bytes);
// The same into memory of its own (not zero-filled first, and given back to
// the system whole): the readers copy the levels out of it.
[[nodiscard]] ImageResult LoadImageFile(const std::string& path, platform::LoadedFile& out, uint64_t max_bytes);

// Writes `bytes` to `path`, which appears only complete (a temporary file
// renamed over it). 6 for permissions, 5 for anything else: a failed write,
// a target that is no regular file. platform::LastWriteFailureText names
// the cause.
[[nodiscard]] ImageResult WriteImageFile(const std::string& path, std::span<const uint8_t> bytes);

// The image result of a platform::ReplaceFile errno: 24, 6 or 5.
ImageResult WriteImageResult(int err);
