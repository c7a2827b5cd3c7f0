// ASCII case folding for names that compare without regard to case (game
// file names, archive entries, setting keys), independent of the locale.
#pragma once

#include <string>
#include <string_view>

namespace platform {

inline char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

// `s` lowered into `out`, whose memory is reused (a loop's scratch).
inline void AssignLowered(std::string& out, std::string_view s) {
  out.assign(s);
  for (char& c : out) c = AsciiLower(c);
}

inline std::string AsciiLowered(std::string_view s) {
  std::string out;
  AssignLowered(out, s);
  return out;
}

inline bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

}  // namespace platform
