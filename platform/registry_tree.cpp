// The hive tree and its ".reg" text form.
//
// The file, as regedit exports it:
//   Windows Registry Editor Version 5.00
//   <blank>
//   [HKEY_CURRENT_USER\Software\Qor_Fen\Vantor]      a key, every key listed
//   "Version"="0.987"                                 REG_SZ, \\ and \" escaped
//   "Init_Settings"=dword:00000001                    REG_DWORD, 8 hex digits
//   "key_map"=hex:70,01,74,00,...,\                   REG_BINARY, wrapped with "\"
//     6e,00,31,00
//   "odd"=hex(1):61,00,62                             a REG_SZ that is not one plain line
// Reading also takes "@" for the unnamed value, ";" comments, "[-KEY]" (delete
// the key and its subkeys), "name"=- (delete the value) and CR LF line ends.
#include "platform/registry_tree.h"

#include <cstdio>  // Required for: snprintf()

namespace platform {

// ---------------------------------------------------------------------------
// Names and the tree
// ---------------------------------------------------------------------------

std::string FoldName(std::string_view name) {
  std::string out(name);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return out;
}

std::vector<std::string_view> SplitKeyPath(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

namespace {

bool HasControlChar(std::string_view s) {
  for (unsigned char c : s)
    if (c < 0x20 || c == 0x7f) return true;
  return false;
}

}  // namespace

bool IsValidKeyName(std::string_view name) {
  return !name.empty() && name.size() <= kMaxKeyNameLength &&
         name.find('\\') == std::string_view::npos && !HasControlChar(name);
}

bool IsValidValueName(std::string_view name) {
  return name.size() <= kMaxValueNameLength && !HasControlChar(name);
}

const RegNode* FindNode(const RegNode& root, std::string_view path) {
  const RegNode* node = &root;
  for (std::string_view part : SplitKeyPath(path)) {
    auto it = node->subkeys.find(FoldName(part));
    if (it == node->subkeys.end()) return nullptr;
    node = it->second.get();
  }
  return node;
}

RegNode* FindNode(RegNode& root, std::string_view path) {
  return const_cast<RegNode*>(FindNode(static_cast<const RegNode&>(root), path));
}

RegValue* FindValue(RegNode& node, std::string_view name) {
  auto it = node.value_index.find(FoldName(name));
  return it == node.value_index.end() ? nullptr : &it->second->second;
}

namespace {

bool ValidPath(std::string_view path) {
  std::vector<std::string_view> parts = SplitKeyPath(path);
  if (parts.size() > kMaxKeyDepth) return false;
  for (std::string_view part : parts)
    if (!IsValidKeyName(part)) return false;
  return true;
}

RegStatus CreatePath(RegNode& root, std::string_view path) {
  if (!ValidPath(path)) return RegStatus::kInvalidArgument;
  RegNode* node = &root;
  for (std::string_view part : SplitKeyPath(path)) {
    std::unique_ptr<RegNode>& child = node->subkeys[FoldName(part)];
    if (!child) {
      child = std::make_unique<RegNode>();
      child->name = std::string(part);
    }
    node = child.get();
  }
  return RegStatus::kOk;
}

// Removes the key at `path`; with `whole_tree` false only when it has no subkeys.
RegStatus RemoveKey(RegNode& root, std::string_view path, bool whole_tree) {
  std::vector<std::string_view> parts = SplitKeyPath(path);
  if (parts.empty()) {
    if (!whole_tree) return RegStatus::kInvalidArgument;  // the hive itself stays
    root.values.clear();
    root.value_index.clear();
    root.subkeys.clear();
    return RegStatus::kOk;
  }
  RegNode* parent = &root;
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    auto it = parent->subkeys.find(FoldName(parts[i]));
    if (it == parent->subkeys.end()) return RegStatus::kNotFound;
    parent = it->second.get();
  }
  auto it = parent->subkeys.find(FoldName(parts.back()));
  if (it == parent->subkeys.end()) return RegStatus::kNotFound;
  if (!whole_tree && !it->second->subkeys.empty()) return RegStatus::kHasSubkeys;
  parent->subkeys.erase(it);
  return RegStatus::kOk;
}

}  // namespace

RegStatus ApplyChange(RegNode& root, const RegChange& change) {
  switch (change.kind) {
    case RegChange::kCreateKey:
      return CreatePath(root, change.key);
    case RegChange::kDeleteKey:
      return RemoveKey(root, change.key, false);
    case RegChange::kDeleteTree:
      return RemoveKey(root, change.key, true);
    case RegChange::kSetValue:
    case RegChange::kSetDefault: {
      if (!IsValidValueName(change.name) || change.value.data.size() > kMaxValueBytes)
        return RegStatus::kInvalidArgument;
      RegNode* node = FindNode(root, change.key);
      if (!node) return RegStatus::kNotFound;
      auto [slot, added] = node->value_index.try_emplace(FoldName(change.name));
      if (added) {
        slot->second = node->values.emplace(node->values.end(), change.name, change.value);
      } else if (change.kind == RegChange::kSetValue) {
        slot->second->second = change.value;
      }
      return RegStatus::kOk;
    }
    case RegChange::kDeleteValue: {
      RegNode* node = FindNode(root, change.key);
      if (!node) return RegStatus::kNotFound;
      auto slot = node->value_index.find(FoldName(change.name));
      if (slot == node->value_index.end()) return RegStatus::kNotFound;
      node->values.erase(slot->second);
      node->value_index.erase(slot);
      return RegStatus::kOk;
    }
  }
  return RegStatus::kInvalidArgument;
}

// ---------------------------------------------------------------------------
// Writing
// ---------------------------------------------------------------------------

namespace {

constexpr size_t kWrapColumn = 76;  // regedit keeps hex lines under 80 columns

void AppendQuoted(std::string& out, std::string_view text) {
  out.push_back('"');
  for (char c : text) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  out.push_back('"');
}

void AppendHexList(std::string& out, size_t line_start, const std::vector<uint8_t>& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  for (size_t i = 0; i < bytes.size(); ++i) {
    out.push_back(kDigits[bytes[i] >> 4]);
    out.push_back(kDigits[bytes[i] & 15]);
    if (i + 1 == bytes.size()) break;
    out.push_back(',');
    if (out.size() - line_start > kWrapColumn) {
      out += "\\\n  ";
      line_start = out.size() - 2;
    }
  }
}

// A REG_SZ is written as a quoted string when that gives back its bytes: one
// line of text, no NUL inside, and the terminating NUL at the end.
bool IsPlainString(const std::vector<uint8_t>& data) {
  if (data.empty() || data.back() != 0) return false;
  for (size_t i = 0; i + 1 < data.size(); ++i)
    if (data[i] == 0 || data[i] == '\n' || data[i] == '\r') return false;
  return true;
}

void AppendValue(std::string& out, const std::string& name, const RegValue& value) {
  size_t line_start = out.size();
  if (name.empty()) {
    out.push_back('@');
  } else {
    AppendQuoted(out, name);
  }
  out.push_back('=');
  const std::vector<uint8_t>& d = value.data;
  if (value.type == RegType::kSz && IsPlainString(d)) {
    AppendQuoted(out, std::string_view(reinterpret_cast<const char*>(d.data()), d.size() - 1));
  } else if (value.type == RegType::kDword && d.size() == 4) {
    char digits[16];
    uint32_t v = uint32_t(d[0]) | uint32_t(d[1]) << 8 | uint32_t(d[2]) << 16 | uint32_t(d[3]) << 24;
    std::snprintf(digits, sizeof digits, "dword:%08x", v);
    out += digits;
  } else {
    out += value.type == RegType::kBinary ? "hex:"
           : value.type == RegType::kSz   ? "hex(1):"
                                          : "hex(4):";
    AppendHexList(out, line_start, d);
  }
  out.push_back('\n');
}

void AppendKey(std::string& out, std::string& path, const RegNode& node) {
  size_t restore = path.size();
  if (!node.name.empty()) {
    path += '\\';
    path += node.name;
  }
  // The hive's own header only when values sit directly in it.
  if (!node.name.empty() || !node.values.empty()) {
    out += "\n[";
    out += path;
    out += "]\n";
    for (const auto& [name, value] : node.values) AppendValue(out, name, value);
  }
  for (const auto& [folded, child] : node.subkeys) AppendKey(out, path, *child);
  path.resize(restore);
}

}  // namespace

std::string SerializeHive(const RegNode& root) {
  std::string out = kRegFileHeader;
  out += '\n';
  std::string path = kRegHiveName;
  AppendKey(out, path, root);
  out += '\n';
  return out;
}

// ---------------------------------------------------------------------------
// Reading
// ---------------------------------------------------------------------------

namespace {

class HiveParser {
 public:
  HiveParser(std::string_view text, RegNode& root, RegLoadReport& report)
      : text_(text), root_(root), report_(report) {}

  void Run() {
    if (text_.substr(0, 3) == "\xEF\xBB\xBF") text_.remove_prefix(3);  // UTF-8 BOM
    // The store never writes an empty file, but a crash in a careless copy can.
    if (text_.empty()) return Problem("the file is empty");
    bool first = true;
    std::string_view line;
    while (NextLine(line)) {
      std::string_view trimmed = Trim(line);
      if (first) {
        first = false;
        if (trimmed == kRegFileHeader || trimmed == "REGEDIT4") continue;
        Problem("the first line is not \"" + std::string(kRegFileHeader) + "\"");
        // Go on: the rest may still be readable.
      }
      if (trimmed.empty() || trimmed.front() == ';') continue;
      if (trimmed.front() == '[') {
        KeyLine(trimmed);
      } else {
        ValueLine(trimmed);
      }
    }
    if (!text_was_terminated_) {
      // A crash in the middle of writing leaves a file that stops inside a line.
      Problem("the file ends inside a line; it may have been cut short");
    }
  }

 private:
  bool NextLine(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    size_t end = text_.find('\n', pos_);
    ++line_number_;
    if (end == std::string_view::npos) {
      line = text_.substr(pos_);
      pos_ = text_.size();
      text_was_terminated_ = false;
    } else {
      line = text_.substr(pos_, end - pos_);
      pos_ = end + 1;
    }
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return true;
  }

  static std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
  }

  void Problem(const std::string& what) {
    report_.damaged = true;
    ++report_.skipped_lines;
    if (report_.first_problem.empty())
      report_.first_problem =
          line_number_ ? "line " + std::to_string(line_number_) + ": " + what : what;
  }

  void KeyLine(std::string_view line) {
    current_ = nullptr;
    current_deleted_ = false;
    if (line.back() != ']') return Problem("a key line without its closing \"]\"");
    std::string_view inner = line.substr(1, line.size() - 2);
    bool remove = !inner.empty() && inner.front() == '-';
    if (remove) inner.remove_prefix(1);
    size_t hive_len = std::string_view(kRegHiveName).size();
    if (FoldName(inner.substr(0, hive_len)) != FoldName(kRegHiveName) ||
        (inner.size() > hive_len && inner[hive_len] != '\\'))
      return Problem("a key outside HKEY_CURRENT_USER");
    std::string_view path = inner.substr(std::min(inner.size(), hive_len + 1));
    if (inner.size() > hive_len) {
      // Every component must be a name: "A\\B" or a trailing "\" is not a key.
      size_t start = 0;
      while (true) {
        size_t end = path.find('\\', start);
        std::string_view part = path.substr(start, end == std::string_view::npos ? end : end - start);
        if (!IsValidKeyName(part)) return Problem("a key with an empty or unusable name");
        if (end == std::string_view::npos) break;
        start = end + 1;
      }
    }
    RegChange change;
    change.key = std::string(path);
    if (remove) {
      change.kind = RegChange::kDeleteTree;
      ApplyChange(root_, change);  // deleting a missing key is no error
      current_deleted_ = true;
      return;
    }
    change.kind = RegChange::kCreateKey;
    if (ApplyChange(root_, change) != RegStatus::kOk) return Problem("a key nested too deeply");
    current_ = FindNode(root_, path);
  }

  // Parses a quoted string at the start of `s` (past the opening quote) into
  // `out`; returns the length consumed including the closing quote, or 0.
  static size_t ParseQuoted(std::string_view s, std::string& out) {
    out.clear();
    for (size_t i = 1; i < s.size(); ++i) {
      char c = s[i];
      if (c == '"') return i + 1;
      if (c == '\\') {
        if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"')) return 0;
        c = s[++i];
      }
      if (c == '\0') return 0;
      out.push_back(c);
    }
    return 0;
  }

  static int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }

  // "01,00,ff" with the continuation lines already joined.
  static bool ParseHexList(std::string_view s, std::vector<uint8_t>& out) {
    out.clear();
    s = Trim(s);
    if (s.empty()) return true;
    size_t start = 0;
    while (true) {
      size_t end = s.find(',', start);
      std::string_view byte = Trim(s.substr(start, end == std::string_view::npos ? end : end - start));
      if (byte.size() != 2 || HexDigit(byte[0]) < 0 || HexDigit(byte[1]) < 0) return false;
      out.push_back(uint8_t(HexDigit(byte[0]) << 4 | HexDigit(byte[1])));
      if (end == std::string_view::npos) return true;
      start = end + 1;
    }
  }

  void ValueLine(std::string_view line) {
    // The data of a wrapped hex value goes on over the lines that follow.
    std::string joined;
    if (line.back() == '\\' && line.find("=hex") != std::string_view::npos) {
      joined = std::string(line.substr(0, line.size() - 1));
      std::string_view next;
      bool complete = false;
      while (NextLine(next)) {
        next = Trim(next);
        if (!next.empty() && next.back() == '\\') {
          joined += next.substr(0, next.size() - 1);
          continue;
        }
        joined += next;
        complete = true;
        break;
      }
      if (!complete) return Problem("a wrapped value that stops at the end of the file");
      line = joined;
    }
    if (!current_) {
      if (!current_deleted_) Problem("a value outside any key");
      else Problem("a value under a deleted key");
      return;
    }

    std::string name;
    size_t used = 0;
    if (line.front() == '@') {
      used = 1;
    } else if (line.front() == '"') {
      used = ParseQuoted(line, name);
      if (used == 0) return Problem("a value name without its closing quote");
    } else {
      return Problem("a line that is neither a key nor a value");
    }
    std::string_view rest = Trim(line.substr(used));
    if (rest.empty() || rest.front() != '=') return Problem("a value without \"=\"");
    rest = Trim(rest.substr(1));
    if (!IsValidValueName(name)) return Problem("a value name with control characters");

    RegChange change;  // applied to current_, so the key path stays empty
    change.name = name;
    if (rest == "-") {
      RegChange del;
      del.kind = RegChange::kDeleteValue;
      del.name = name;
      ApplyChange(*current_, del);
      return;
    }
    RegValue value;
    if (!rest.empty() && rest.front() == '"') {
      std::string text;
      size_t n = ParseQuoted(rest, text);
      if (n == 0 || !Trim(rest.substr(n)).empty()) return Problem("a string without its closing quote");
      value.type = RegType::kSz;
      value.data.assign(text.begin(), text.end());
      value.data.push_back(0);
    } else if (rest.substr(0, 6) == "dword:") {
      std::string_view digits = rest.substr(6);
      if (digits.size() != 8) return Problem("a dword without 8 hex digits");
      uint32_t v = 0;
      for (char c : digits) {
        int d = HexDigit(c);
        if (d < 0) return Problem("a dword with a character that is not a hex digit");
        v = v << 4 | uint32_t(d);
      }
      value.type = RegType::kDword;
      value.data = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    } else if (rest.substr(0, 3) == "hex") {
      size_t colon = rest.find(':');
      if (colon == std::string_view::npos) return Problem("a hex value without \":\"");
      std::string_view kind = rest.substr(3, colon - 3);
      if (kind.empty() || kind == "(3)") {
        value.type = RegType::kBinary;
      } else if (kind == "(1)") {
        value.type = RegType::kSz;
      } else if (kind == "(4)") {
        value.type = RegType::kDword;
      } else {
        return Problem("a value of a type this store does not keep");
      }
      if (!ParseHexList(rest.substr(colon + 1), value.data))
        return Problem("a hex value with a malformed byte list");
    } else {
      return Problem("a value of an unknown form");
    }
    if (value.data.size() > kMaxValueBytes) return Problem("a value too large to keep");
    change.kind = RegChange::kSetValue;
    change.value = std::move(value);
    ApplyChange(*current_, change);
  }

  std::string_view text_;
  RegNode& root_;
  RegLoadReport& report_;
  size_t pos_ = 0;
  int line_number_ = 0;
  bool text_was_terminated_ = true;
  RegNode* current_ = nullptr;  // the key the value lines belong to
  bool current_deleted_ = false;
};

}  // namespace

void ParseHive(std::string_view text, RegNode& root, RegLoadReport& report) {
  HiveParser(text, root, report).Run();
}

}  // namespace platform
