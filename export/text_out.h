// Buffered text output for the exporters. Numbers are formatted with
// std::to_chars into the exact bytes of the printf formats the file formats
// were defined with ("%i", "%f", "%.2f"); "\n" in literal text is written
// as CR LF, which the games' tools expect; the buffer goes out in large
// blocks.
#pragma once

#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

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
