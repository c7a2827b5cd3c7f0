// Percent-encoding for URLs and URIs: every byte but the unreserved
// characters (letters, digits, "-", "_", ".", "~") and those of `keep`
// becomes "%XX".
#pragma once

#include <string>
#include <string_view>

namespace platform {
std::string PercentEncoded(std::string_view text, std::string_view keep = {});
}  // namespace platform
