// UTF-8 repair after the Unicode "maximal subpart" practice: a broken
// sequence is replaced up to the byte where it stopped being valid, so a
// following valid character is never swallowed.
#include "base/utf8_text.h"

#include <cstdint>

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

bool IsContinuation(uint8_t b) { return (b & 0xC0) == 0x80; }

// Length of the valid character at the start of `s`, or 0 together with the
// length of the broken prefix to replace in `bad`.
size_t ValidCharLength(std::string_view s, size_t& bad) {
  const auto b0 = static_cast<uint8_t>(s[0]);
  bad = 1;
  if (b0 == 0) return 0;
  if (b0 < 0x80) return 1;
  size_t need = 0;
  uint8_t lo = 0x80, hi = 0xBF;  // the second byte's range
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    need = 2;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    need = 3;
    if (b0 == 0xE0) lo = 0xA0;  // overlong
    if (b0 == 0xED) hi = 0x9F;  // surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    need = 4;
    if (b0 == 0xF0) lo = 0x90;  // overlong
    if (b0 == 0xF4) hi = 0x8F;  // past U+10FFFF
  } else {
    return 0;  // 0x80-0xC1, 0xF5-0xFF never start a character
  }
  for (size_t i = 1; i < need; ++i) {
    if (i >= s.size()) return 0;
    const auto b = static_cast<uint8_t>(s[i]);
    const bool ok = i == 1 ? (b >= lo && b <= hi) : IsContinuation(b);
    if (!ok) return 0;
    bad = i + 1;
  }
  return need;
}

}  // namespace

std::string ValidUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  size_t at = 0;
  while (at < bytes.size()) {
    size_t bad = 0;
    const size_t n = ValidCharLength(bytes.substr(at), bad);
    if (n > 0) {
      out.append(bytes.substr(at, n));
      at += n;
    } else {
      out.append(kReplacement);
      at += bad;
    }
  }
  return out;
}

std::string CutUtf8(std::string_view text, size_t max_chars) {
  size_t chars = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsContinuation(static_cast<uint8_t>(text[i]))) continue;
    if (chars == max_chars) return std::string(text.substr(0, i));
    ++chars;
  }
  return std::string(text);
}

