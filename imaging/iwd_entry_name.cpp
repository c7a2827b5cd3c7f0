// IWD entry names to target paths.
#include "imaging/iwd_entry_name.h"

#include "platform/text_case.h"

#include <vector>

bool IsIwiEntryName(std::string_view name) {
  if (name.empty() || name.back() == '/' || name.back() == '\\') return false;
  // The extension at the end only: "x.iwi.sh" is no image.
  return name.size() > 4 && platform::EqualsNoCase(name.substr(name.size() - 4), ".iwi");
}

namespace {


bool SafeComponent(std::string_view c) {
  if (c == "." || c == "..") return false;
  for (unsigned char ch : c)
    if (ch < 0x20 || ch == 0x7F || ch == ':') return false;
  return true;
}

}  // namespace

std::optional<std::string> IwdImageTarget(std::string_view name) {
  if (name.empty() || name[0] == '/' || name[0] == '\\') return std::nullopt;
  if (name.ends_with(kPartialSuffix)) return std::nullopt;

  std::vector<std::string_view> parts;
  size_t at = 0;
  while (at <= name.size()) {
    size_t end = name.find_first_of("/\\", at);
    if (end == std::string_view::npos) end = name.size();
    std::string_view c = name.substr(at, end - at);
    if (!c.empty()) {
      if (!SafeComponent(c)) return std::nullopt;
      parts.push_back(c);
    }
    at = end + 1;
  }
  // "images" and at least a file name below it.
  if (parts.size() < 2 || !platform::EqualsNoCase(parts[0], "images")) return std::nullopt;

  std::string out;
  for (size_t i = 1; i < parts.size(); ++i) {
    if (i > 1) out += '/';
    out += parts[i];
  }
  return out;
}

std::string PrintableEntryName(std::string_view name, size_t max) {
  std::string out;
  for (unsigned char c : name.substr(0, max)) out += (c < 0x20 || c == 0x7F || c == '^') ? '?' : char(c);
  if (name.size() > max) out += "...";
  return out;
}
