#include "shell/window_icon.h"

#include "imaging/png_file.h"        // Required for: ReadPngArgb()
#include "platform/program_paths.h"  // Required for: IconThemeFolder()

std::vector<platform::WindowIconImage> ProgramIcons(const std::string& data_dir) {
  std::vector<platform::WindowIconImage> icons;
  const std::string theme = platform::IconThemeFolder(data_dir);
  if (theme.empty()) return icons;
  for (int n : {16, 32, 48, 64, 128, 256}) {
    const std::string file = theme + "/" + std::to_string(n) + "x" + std::to_string(n) + "/apps/vantor.png";
    int32_t w = 0, h = 0;
    std::vector<uint32_t> argb;
    if (!ReadPngArgb(file, w, h, argb)) continue;
    platform::WindowIconImage icon{w, h, {}};
    icon.rgba.reserve(argb.size() * 4);
    for (uint32_t p : argb) {
      icon.rgba.push_back(uint8_t(p >> 16));
      icon.rgba.push_back(uint8_t(p >> 8));
      icon.rgba.push_back(uint8_t(p));
      icon.rgba.push_back(uint8_t(p >> 24));
    }
    icons.push_back(std::move(icon));
  }
  return icons;
}
