#include "cli/terminal_text.h"

#include <cstdint>

namespace {

void Escape(std::string& out, uint8_t byte) {
  static const char kHex[] = "0123456789ABCDEF";
  out += "\\x";
  out += kHex[byte >> 4];
  out += kHex[byte & 15];
}

}  // namespace

size_t Utf8Length(const uint8_t* s, size_t left, uint32_t& cp) {
  const uint8_t b = s[0];
  size_t n;
  uint32_t min;
  if (b >= 0xC2 && b <= 0xDF) n = 2, cp = b & 0x1F, min = 0x80;
  else if (b >= 0xE0 && b <= 0xEF) n = 3, cp = b & 0x0F, min = 0x800;
  else if (b >= 0xF0 && b <= 0xF4) n = 4, cp = b & 0x07, min = 0x10000;
  else return 0;
  if (left < n) return 0;
  for (size_t i = 1; i < n; ++i) {
    if ((s[i] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (s[i] & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

std::string Printable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  const auto* s = reinterpret_cast<const uint8_t*>(text.data());
  for (size_t i = 0; i < text.size();) {
    const uint8_t b = s[i];
    if (b < 0x80) {
      if (b < 0x20 || b == 0x7F) Escape(out, b);
      else out.push_back(char(b));
      ++i;
      continue;
    }
    uint32_t cp = 0;
    const size_t n = Utf8Length(s + i, text.size() - i, cp);
    if (n == 0 || (cp >= 0x80 && cp <= 0x9F)) {
      // An invalid byte, or a C1 control: escape each byte of it.
      const size_t bad = n == 0 ? 1 : n;
      for (size_t k = 0; k < bad; ++k) Escape(out, s[i + k]);
      i += bad;
      continue;
    }
    out.append(text.substr(i, n));
    i += n;
  }
  return out;
}
