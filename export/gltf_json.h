// A compact JSON text builder for the glTF export: objects, arrays, keys,
// strings as UTF-8 (bytes of game names that are not UTF-8 become U+FFFD,
// quotes, backslashes and control characters escaped), integers, and floats
// in their shortest form that reads back to the same float.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class JsonOut {
 public:
  JsonOut& Object();
  JsonOut& Array();
  JsonOut& End();  // closes the innermost object or array
  JsonOut& Key(std::string_view key);
  JsonOut& String(std::string_view value);
  JsonOut& Int(long long value);
  // A value that is not finite is written as 0 (JSON has no NaN).
  JsonOut& Float(float value);
  JsonOut& Bool(bool value);

  // Shorthands for "key": value.
  JsonOut& Field(std::string_view key, std::string_view value) { return Key(key).String(value); }
  JsonOut& Field(std::string_view key, const char* value) { return Key(key).String(value); }
  JsonOut& Field(std::string_view key, long long value) { return Key(key).Int(value); }
  JsonOut& Field(std::string_view key, int value) { return Key(key).Int(value); }
  JsonOut& Field(std::string_view key, size_t value) { return Key(key).Int((long long)value); }
  JsonOut& FieldFloat(std::string_view key, float value) { return Key(key).Float(value); }

  const std::string& text() const { return out_; }

 private:
  void Separate();
  std::string out_;
  std::vector<char> open_;  // '}' or ']' per level
  bool first_ = true;       // nothing written yet at this level
  bool after_key_ = false;
};

// A relative URI for a file name: every byte outside the unreserved set and
// "/" percent-encoded, so a name with blanks, "#", "%" or non-ASCII bytes
// still names the file.
std::string UriOfFileName(std::string_view name);
