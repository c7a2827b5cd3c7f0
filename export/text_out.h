// Buffered text output for the exporters. Numbers are formatted with
// std::to_chars into the exact bytes of the printf formats the file formats
// were defined with ("%i", "%f", "%.2f"); "\n" in literal text is written
// as CR LF, which the games' tools expect; the buffer goes out in large
// blocks.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

// Writes printf("%.6f", x) into `out` (at least 330 bytes) and returns the
// end. Exact: the double's mantissa times 5^6 is shifted with round-half-even
// on the exact binary value, as glibc's printf rounds; values outside the
// fast range go through std::to_chars, which is exact too.
inline char* FormatFixed6(char* out, double x) {
  uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  const bool negative = bits >> 63;
  const int exponent = int((bits >> 52) & 0x7FF);
  const uint64_t fraction = bits & ((uint64_t(1) << 52) - 1);
  const uint64_t mantissa = exponent ? fraction | (uint64_t(1) << 52) : fraction;
  const int e = exponent ? exponent - 1075 : -1074;
  const int shift = -(e + 6);  // x * 10^6 = mantissa * 5^6 * 2^-shift
  if (exponent == 0x7FF || shift < 4) {
    return std::to_chars(out, out + 330, x, std::chars_format::fixed, 6).ptr;
  }
  uint64_t q = 0;
  if (shift < 128) {
    const unsigned __int128 p = (unsigned __int128)mantissa * 15625u;
    q = uint64_t(p >> shift);
    const unsigned __int128 rem = p & ((((unsigned __int128)1) << shift) - 1);
    const unsigned __int128 half = ((unsigned __int128)1) << (shift - 1);
    if (rem > half || (rem == half && (q & 1))) ++q;
  }
  char* o = out;
  if (negative) *o++ = '-';
  o = std::to_chars(o, o + 24, q / 1000000).ptr;
  *o++ = '.';
  uint32_t f = uint32_t(q % 1000000);
  for (int i = 5; i >= 0; --i) {
    o[i] = char('0' + f % 10);
    f /= 10;
  }
  return o + 6;
}

class TextOut {
 public:
  explicit TextOut(std::FILE* file) : file_(file) { buf_.reserve(kBlock + 4096); }
  ~TextOut() { Flush(); }

  // Literal text; each "\n" becomes "\r\n".
  TextOut& Lit(std::string_view text) {
    for (size_t at = 0;;) {
      size_t nl = text.find('\n', at);
      if (nl == std::string_view::npos) {
        buf_.append(text.substr(at));
        break;
      }
      buf_.append(text.substr(at, nl - at));
      buf_.append("\r\n");
      at = nl + 1;
    }
    return Spill();
  }
  // Text from the model (names): written as it is.
  TextOut& Raw(std::string_view text) {
    buf_.append(text);
    return Spill();
  }
  TextOut& Int(long long value) {
    char tmp[24];
    auto r = std::to_chars(tmp, tmp + sizeof tmp, value);
    buf_.append(tmp, r.ptr);
    return Spill();
  }
  // printf "%.<digits>f" of a double (floats are promoted, as with printf).
  TextOut& Fixed(double value, int digits = 6) {
    char tmp[400];
    if (digits == 6) {
      buf_.append(tmp, FormatFixed6(tmp, value));
      return Spill();
    }
    auto r = std::to_chars(tmp, tmp + sizeof tmp, value, std::chars_format::fixed, digits);
    if (r.ec != std::errc()) {
      int n = std::snprintf(tmp, sizeof tmp, "%.*f", digits, value);
      buf_.append(tmp, size_t(n > 0 ? n : 0));
    } else {
      buf_.append(tmp, r.ptr);
    }
    return Spill();
  }

  bool Flush() {
    if (!buf_.empty() && std::fwrite(buf_.data(), 1, buf_.size(), file_) != buf_.size()) failed_ = true;
    buf_.clear();
    return !failed_;
  }
  bool failed() const { return failed_; }

 private:
  static constexpr size_t kBlock = 1 << 20;
  TextOut& Spill() {
    if (buf_.size() >= kBlock) Flush();
    return *this;
  }
  std::FILE* file_;
  std::string buf_;
  bool failed_ = false;
};
