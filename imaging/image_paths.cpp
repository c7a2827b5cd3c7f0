// Image source and output paths.
#include "imaging/image_paths.h"

#include <algorithm>  // Required for: std::replace

#include "platform/path_names.h"
#include "imaging/iwi_image.h"
#include "platform/fs_paths.h"

bool IsContainedName(std::string_view name) {
  if (name.empty() || name[0] == '/' || name[0] == '\\') return false;
  size_t start = 0;
  for (size_t i = 0; i <= name.size(); ++i) {
    if (i < name.size()) {
      unsigned char c = static_cast<unsigned char>(name[i]);
      if (c < 0x20 || c == 0x7F) return false;
      if (c != '/' && c != '\\') continue;
    }
    if (name.substr(start, i - start) == "..") return false;
    start = i + 1;
  }
  return true;
}

std::string ImageSourcePath(std::string_view raw_dir, std::string_view iwi_file) {
  if (!IsContainedName(iwi_file)) return "";
  return platform::WithTrailingSeparator(raw_dir) + "images/" + std::string(iwi_file);
}

std::string ReplaceExtension(std::string_view path, std::string_view extension) {
  size_t sep = platform::LastSeparator(path);
  size_t dot = path.find_last_of('.');
  if (dot == std::string_view::npos || (sep != std::string_view::npos && dot < sep)) return "";
  return std::string(path.substr(0, dot + 1)) + std::string(extension);
}

std::string ImageOutputPath(const IwiImage& image, std::string_view destination, std::string_view extension) {
  if (destination.empty()) return ReplaceExtension(image.path, extension);
  std::string file = image.name;
  std::replace(file.begin(), file.end(), '~', '_');
  file = ReplaceExtension(file, extension);
  if (file.empty()) return "";
  return platform::WithTrailingSeparator(destination) + file;
}
