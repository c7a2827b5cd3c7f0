// Text from game files and the settings store, made safe to print on a
// terminal: names may hold any byte, and an ESC or OSC sequence in a bone
// name must not clear the screen or retitle the window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Control characters (C0, DEL, and C1 whether UTF-8 encoded or raw) and
// bytes that are not valid UTF-8 become "\xNN"; everything else is kept.
std::string Printable(std::string_view text);

// Length of the valid multi-byte UTF-8 sequence at `s` (`left` bytes
// readable) with its code point, or 0. Overlong forms, surrogates and code
// points past U+10FFFF are not valid.
size_t Utf8Length(const uint8_t* s, size_t left, uint32_t& cp);
