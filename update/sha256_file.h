// SHA-256 of a file, read in blocks, as lowercase hexadecimal: what an
// update's manifest states for each file it lists.
#pragma once

#include <optional>
#include <string>

// nullopt when the file cannot be read to its end. libcrypto is opened by
// the first call; QorDownloadError "Can't load libcrypto.so.3" without it.
std::optional<std::string> Sha256OfFile(const std::string& path);
