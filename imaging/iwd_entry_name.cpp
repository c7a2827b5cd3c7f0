// IWD entry names to target paths.
#include "imaging/iwd_entry_name.h"

#include "platform/text_case.h"

bool IsIwiEntryName(std::string_view name) {
  if (name.empty() || name.back() == '/' || name.back() == '\\') return false;
  // The extension at the end only: "x.iwi.sh" is no image.
  return name.size() > 4 && platform::EqualsNoCase(name.substr(name.size() - 4), ".iwi");
}

namespace {

bool UnsafeChar(unsigned char ch) { return ch < 0x20 || ch == 0x7F || ch == ':'; }

}  // namespace

std::optional<std::string> IwdImageTarget(std::string_view name) {
  if (name.empty() || name[0] == '/' || name[0] == '\\') return std::nullopt;
  if (name.ends_with(kPartialSuffix)) return std::nullopt;

  // "images", then at least a file name below it; empty parts (doubled
  // separators) drop out. One walk over the characters: a second pass over
  // present images is mostly this and the name set's look-up.
  std::string out;
  size_t parts = 0;
  for (size_t at = 0; at <= name.size();) {
    size_t end = at;
    for (; end < name.size() && name[end] != '/' && name[end] != '\\'; ++end)
      if (UnsafeChar((unsigned char)name[end])) return std::nullopt;
    const std::string_view c = name.substr(at, end - at);
    at = end + 1;
    if (c.empty()) continue;
    if (c == "." || c == "..") return std::nullopt;
    if (parts == 0 && !platform::EqualsNoCase(c, "images")) return std::nullopt;
    if (parts > 1) out += '/';
    if (parts > 0) out.append(c);
    ++parts;
  }
  if (parts < 2) return std::nullopt;
  return out;
}

std::string PrintableEntryName(std::string_view name, size_t max) {
  std::string out;
  for (unsigned char c : name.substr(0, max)) out += (c < 0x20 || c == 0x7F || c == '^') ? '?' : char(c);
  if (name.size() > max) out += "...";
  return out;
}
