#include "base/json_text.h"

#include "base/utf8_text.h"

void AppendJsonEscaped(std::string& out, std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  const std::string utf8 = ValidUtf8(text);
  for (unsigned char c : utf8) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          out += "\\u00";
          out += kHex[c >> 4];
          out += kHex[c & 15];
        } else {
          out += char(c);
        }
    }
  }
}

