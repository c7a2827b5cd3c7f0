// UTF-8 text from arbitrary bytes: the session bus, JSON and the terminal
// take only valid UTF-8, and model names and folders are whatever bytes the
// file system holds.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// `bytes` as valid UTF-8: each ill-formed sequence (stray continuation
// bytes, overlong forms, surrogates, code points past U+10FFFF, truncated
// sequences) and each NUL (D-Bus strings cannot hold one) becomes U+FFFD;
// anything else comes back unchanged.
std::string ValidUtf8(std::string_view bytes);

// The first `max_chars` characters (code points) of valid UTF-8 text; never
// cuts inside a character.
std::string CutUtf8(std::string_view text, size_t max_chars);

