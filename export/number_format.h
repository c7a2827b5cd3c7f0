// Number and text formatting straight into a char buffer for the exporters'
// hot loops, with the exact bytes of printf's "%i", "%f", "%.Nf" and
// "%W.Nf", and a block that collects many formatted lines and hands them to
// a TextOut in one piece. Line ends in these loops are written as "\r\n".
#pragma once

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "export/text_out.h"

// The longest printf("%.6f") of a double: 309 integer digits, sign, point
// and six decimals. Every Put* below writes at most this many bytes.
inline constexpr size_t kMaxNumberChars = 320;

inline char* PutInt(char* out, long long value) { return std::to_chars(out, out + 24, value).ptr; }

// printf("%.<digits>f", value).
inline char* PutFixed(char* out, double value, int digits = 6) {
  // The exact fast path covers every coordinate a model holds; the rest
  // (huge values, NaN, infinity) goes through std::to_chars, exact too.
  if (digits == 6 && std::fabs(value) < 1e15) return FormatFixed6(out, value);
  return std::to_chars(out, out + kMaxNumberChars, value, std::chars_format::fixed, digits).ptr;
}

// printf("%<width>.<digits>f", value): right-aligned, blank-padded.
inline char* PutFixedWidth(char* out, double value, int digits, int width) {
  char* end = PutFixed(out, value, digits);
  ptrdiff_t len = end - out;
  if (len >= width) return end;
  ptrdiff_t pad = width - len;
  std::memmove(out + pad, out, size_t(len));
  std::memset(out, ' ', size_t(pad));
  return out + width;
}

inline char* PutText(char* out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

// Collects lines formatted in place and passes them on in 64 KiB pieces.
// Reserve() gives room for one line of up to kLineMax bytes.
class LineBlock {
 public:
  static constexpr size_t kLineMax = 12 * kMaxNumberChars;

  explicit LineBlock(TextOut& out) : out_(out) {}
  ~LineBlock() { Flush(); }
  LineBlock(const LineBlock&) = delete;
  LineBlock& operator=(const LineBlock&) = delete;

  char* Reserve() {
    if (size_t(end_ - buf_) > sizeof buf_ - kLineMax) Flush();
    return end_;
  }
  void Commit(char* end) { end_ = end; }
  // Text of any length (names from the files), as it is.
  void Text(std::string_view text) {
    if (text.size() > kLineMax) {
      Flush();
      out_.Raw(text);
      return;
    }
    Commit(PutText(Reserve(), text));
  }
  void Flush() {
    if (end_ != buf_) out_.Raw(std::string_view(buf_, size_t(end_ - buf_)));
    end_ = buf_;
  }

 private:
  TextOut& out_;
  char buf_[64 * 1024];
  char* end_ = buf_;
};
