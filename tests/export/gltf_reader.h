// A small glTF reader for the exporter tests, written from the glTF 2.0
// format alone: a JSON parser, the GLB container (header, JSON and BIN
// chunks) or a ".gltf" with its external buffer, and accessors read back as
// floats with every offset and length checked against the buffer.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace gltf_test {

struct Json {
  enum Kind { kNull, kBool, kNumber, kString, kArray, kObject } kind = kNull;
  bool boolean = false;
  double number = 0;
  std::string string;
  std::vector<Json> items;
  std::vector<std::pair<std::string, Json>> members;

  const Json& operator[](std::string_view key) const {
    for (const auto& [k, v] : members)
      if (k == key) return v;
    return Null();
  }
  const Json& operator[](size_t i) const { return i < items.size() ? items[i] : Null(); }
  bool Has(std::string_view key) const { return (*this)[key].kind != kNull; }
  size_t size() const { return items.size(); }
  long long Int() const { return (long long)number; }
  static const Json& Null() {
    static const Json null;
    return null;
  }
};

class JsonParser {
 public:
  explicit JsonParser(std::string_view text) : s_(text) {}
  bool Parse(Json& out) {
    if (!Value(out)) return false;
    Blank();
    return i_ == s_.size();
  }

 private:
  void Blank() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\n' || s_[i_] == '\r' || s_[i_] == '\t')) ++i_;
  }
  bool Eat(char c) {
    Blank();
    if (i_ < s_.size() && s_[i_] == c) {
      ++i_;
      return true;
    }
    return false;
  }
  static void Utf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
      out += char(cp);
    } else if (cp < 0x800) {
      out += char(0xC0 | (cp >> 6));
      out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += char(0xE0 | (cp >> 12));
      out += char(0x80 | ((cp >> 6) & 0x3F));
      out += char(0x80 | (cp & 0x3F));
    } else {
      out += char(0xF0 | (cp >> 18));
      out += char(0x80 | ((cp >> 12) & 0x3F));
      out += char(0x80 | ((cp >> 6) & 0x3F));
      out += char(0x80 | (cp & 0x3F));
    }
  }
  bool Hex4(uint32_t& v) {
    if (s_.size() - i_ < 4) return false;
    v = 0;
    for (int k = 0; k < 4; ++k) {
      const char c = s_[i_++];
      v <<= 4;
      if (c >= '0' && c <= '9') v |= uint32_t(c - '0');
      else if (c >= 'a' && c <= 'f') v |= uint32_t(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') v |= uint32_t(c - 'A' + 10);
      else return false;
    }
    return true;
  }
  bool String(std::string& out) {
    if (!Eat('"')) return false;
    while (i_ < s_.size()) {
      const unsigned char c = (unsigned char)s_[i_++];
      if (c == '"') return true;
      if (c < 0x20) return false;  // control characters must be escaped
      if (c != '\\') {
        out += char(c);
        continue;
      }
      if (i_ >= s_.size()) return false;
      const char e = s_[i_++];
      switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          uint32_t cp = 0;
          if (!Hex4(cp)) return false;
          if (cp >= 0xD800 && cp < 0xDC00) {
            uint32_t low = 0;
            if (s_.substr(i_, 2) != "\\u") return false;
            i_ += 2;
            if (!Hex4(low) || low < 0xDC00 || low > 0xDFFF) return false;
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          }
          Utf8(out, cp);
          break;
        }
        default: return false;
      }
    }
    return false;
  }
  bool Value(Json& out) {
    Blank();
    if (i_ >= s_.size()) return false;
    const char c = s_[i_];
    if (c == '{') {
      ++i_;
      out.kind = Json::kObject;
      if (Eat('}')) return true;
      do {
        std::string key;
        Json value;
        Blank();
        if (!String(key) || !Eat(':') || !Value(value)) return false;
        out.members.emplace_back(std::move(key), std::move(value));
      } while (Eat(','));
      return Eat('}');
    }
    if (c == '[') {
      ++i_;
      out.kind = Json::kArray;
      if (Eat(']')) return true;
      do {
        Json value;
        if (!Value(value)) return false;
        out.items.push_back(std::move(value));
      } while (Eat(','));
      return Eat(']');
    }
    if (c == '"') {
      out.kind = Json::kString;
      return String(out.string);
    }
    for (const char* word : {"true", "false", "null"})
      if (s_.substr(i_, std::strlen(word)) == word) {
        i_ += std::strlen(word);
        out.kind = word[0] == 'n' ? Json::kNull : Json::kBool;
        out.boolean = word[0] == 't';
        return true;
      }
    // A number as JSON spells it.
    const size_t start = i_;
    if (s_[i_] == '-') ++i_;
    if (i_ >= s_.size() || s_[i_] < '0' || s_[i_] > '9') return false;
    while (i_ < s_.size() && std::strchr("0123456789.eE+-", s_[i_])) ++i_;
    out.kind = Json::kNumber;
    out.number = std::stod(std::string(s_.substr(start, i_ - start)));
    return true;
  }

  std::string_view s_;
  size_t i_ = 0;
};

inline std::string UriDecode(std::string_view uri) {
  std::string out;
  for (size_t i = 0; i < uri.size(); ++i) {
    if (uri[i] == '%' && i + 2 < uri.size()) {
      out += char(std::stoi(std::string(uri.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      out += uri[i];
    }
  }
  return out;
}

inline uint32_t U32(const std::string& bytes, size_t at) {
  uint32_t v = 0;
  std::memcpy(&v, bytes.data() + at, 4);
  return v;
}

// One ".gltf" (its buffer read from beside it) or ".glb" file.
struct GltfFile {
  Json doc;
  std::string bin;
  std::string error;  // empty when the file was read

  explicit GltfFile(const std::filesystem::path& path) { error = Load(path); }

 private:
  std::string Load(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string json = bytes;
    if (path.extension() == ".glb") {
      if (bytes.size() < 20 || bytes.compare(0, 4, "glTF") != 0 || U32(bytes, 4) != 2 || U32(bytes, 8) != bytes.size())
        return "bad GLB header";
      const uint32_t json_length = U32(bytes, 12);
      if (U32(bytes, 16) != 0x4E4F534A || json_length % 4 || json_length > bytes.size() - 20)
        return "bad JSON chunk";
      json = bytes.substr(20, json_length);
      const size_t at = 20 + size_t(json_length);
      if (at < bytes.size()) {
        if (bytes.size() - at < 8 || U32(bytes, at + 4) != 0x004E4942) return "bad BIN chunk";
        const uint32_t bin_length = U32(bytes, at);
        if (bin_length % 4 || bin_length != bytes.size() - at - 8) return "BIN chunk length";
        bin = bytes.substr(at + 8, bin_length);
      }
    }
    if (!JsonParser(json).Parse(doc)) return "JSON does not parse";
    const Json& buffer = doc["buffers"][0];
    if (buffer.Has("uri")) {
      std::ifstream b(path.parent_path() / UriDecode(buffer["uri"].string), std::ios::binary);
      bin.assign((std::istreambuf_iterator<char>(b)), std::istreambuf_iterator<char>());
    }
    if (buffer.kind != Json::kNull && bin.size() < size_t(buffer["byteLength"].number))
      return "buffer shorter than its byteLength";
    return "";
  }

 public:

  // The bytes of bufferView `index`, or "" when it does not fit the buffer.
  std::string_view View(size_t index) const {
    const Json& v = doc["bufferViews"][index];
    const size_t offset = size_t(v["byteOffset"].number), length = size_t(v["byteLength"].number);
    if (offset > bin.size() || length > bin.size() - offset) return {};
    return std::string_view(bin).substr(offset, length);
  }

  // Accessor `index` as floats, `components` a element (normalised integer
  // types divided by their maximum); empty when it does not fit its view.
  std::vector<double> Read(size_t index, size_t& components) const {
    const Json& a = doc["accessors"][index];
    const std::string& type = a["type"].string;
    components = type == "SCALAR" ? 1 : type == "VEC2" ? 2 : type == "VEC3" ? 3 : type == "VEC4" ? 4 : 16;
    const long long component = a["componentType"].Int();
    const size_t size = component == 5126 ? 4 : component == 5123 ? 2 : component == 5121 ? 1 : 0;
    const size_t count = size_t(a["count"].number);
    const std::string_view view = View(size_t(a["bufferView"].number));
    const size_t offset = size_t(a["byteOffset"].number);
    const size_t element = components * size;
    const size_t stride = doc["bufferViews"][size_t(a["bufferView"].number)].Has("byteStride")
                              ? size_t(doc["bufferViews"][size_t(a["bufferView"].number)]["byteStride"].number)
                              : element;
    if (size == 0 || count == 0 || stride < element || offset > view.size() ||
        (count - 1) * stride + element > view.size() - offset)
      return {};
    std::vector<double> out(count * components);
    const bool normalized = a["normalized"].boolean;
    for (size_t i = 0; i < out.size(); ++i) {
      const char* p = view.data() + offset + (i / components) * stride + (i % components) * size;
      if (size == 4) {
        float f;
        std::memcpy(&f, p, 4);
        out[i] = f;
      } else if (size == 2) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        out[i] = normalized ? v / 65535.0 : v;
      } else {
        const uint8_t v = uint8_t(*p);
        out[i] = normalized ? v / 255.0 : v;
      }
    }
    return out;
  }
};

}  // namespace gltf_test
