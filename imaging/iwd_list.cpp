// Listing the ".iwd" archives of a game's "main" folder, in the order the
// games read them.
#include "imaging/iwd_list.h"

#include <algorithm>  // Required for: sort()

#include "platform/folder_list.h"
#include "platform/text_case.h"

namespace {

// Windows lists a folder in case-insensitive name order; the archives are
// copied in that order on every system, so which archive an image comes
// from does not depend on the file system.
bool WindowsOrder(const std::string& a, const std::string& b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    char x = platform::AsciiLower(a[i]), y = platform::AsciiLower(b[i]);
    if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  }
  return a.size() != b.size() ? a.size() < b.size() : a < b;
}

}  // namespace

std::vector<std::string> ListIwdArchives(const std::string& main_path, int& err) {
  std::vector<std::string> names;
  err = platform::ListFolder(main_path, [&names](std::string_view name, bool is_folder) {
    if (name.find(".iwd") != std::string_view::npos && !is_folder) names.emplace_back(name);
  });
  std::sort(names.begin(), names.end(), WindowsOrder);
  return names;
}
