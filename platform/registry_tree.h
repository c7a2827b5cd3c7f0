// The in-memory hive behind RegistryStore and its ".reg" text form. Internal
// to platform/registry*.cpp and their tests.
#pragma once

#include <list>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/registry.h"

namespace platform {

inline constexpr const char* kRegFileHeader = "Windows Registry Editor Version 5.00";
inline constexpr const char* kRegHiveName = "HKEY_CURRENT_USER";
inline constexpr size_t kMaxKeyNameLength = 255;       // as in the registry
inline constexpr size_t kMaxValueNameLength = 16383;   // as in the registry
inline constexpr size_t kMaxValueBytes = 1u << 20;     // keeps the file readable
inline constexpr size_t kMaxKeyDepth = 512;            // as in the registry; bounds recursion

struct RegNode {
  using ValueList = std::list<std::pair<std::string, RegValue>>;
  std::string name;  // as first created
  ValueList values;  // in order of first write
  // FoldName(value name) -> its entry in `values`: a key may hold tens of
  // thousands of values, and a scan per value made loading them quadratic.
  std::unordered_map<std::string, ValueList::iterator> value_index;
  std::map<std::string, std::unique_ptr<RegNode>> subkeys;  // by FoldName(name)
};

// One change since the last flush, replayed onto the file's current content.
struct RegChange {
  enum Kind { kCreateKey, kDeleteKey, kDeleteTree, kSetValue, kSetDefault, kDeleteValue };
  Kind kind = kCreateKey;
  std::string key;
  std::string name;
  RegValue value;
};

// ASCII case folding: names compare case-insensitively, as in the registry.
std::string FoldName(std::string_view name);

// The non-empty components of a "\"-separated path.
std::vector<std::string_view> SplitKeyPath(std::string_view path);
bool IsValidKeyName(std::string_view name);
bool IsValidValueName(std::string_view name);

RegNode* FindNode(RegNode& root, std::string_view path);
const RegNode* FindNode(const RegNode& root, std::string_view path);
RegValue* FindValue(RegNode& node, std::string_view name);

// Applies one change; the same rules as the RegistryStore calls.
RegStatus ApplyChange(RegNode& root, const RegChange& change);

// The hive in the ".reg" export format.
std::string SerializeHive(const RegNode& root);
// Parses `text` into `root` (which may already hold keys). Lines that cannot
// be understood are skipped and counted in `report`.
void ParseHive(std::string_view text, RegNode& root, RegLoadReport& report);

}  // namespace platform
