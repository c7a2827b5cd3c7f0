// Screenshot: glReadPixels as BGR, rows flipped to top first, a 128-byte DDS
// header for 24-bit RGB.
#include "viewer/screenshot.h"

#include <GL/glew.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "shell/logger.h"

bool QorScreenShot(const std::string& path, int width, int height) {
  if (width <= 0 || height <= 0) return false;
  const size_t row = size_t(width) * 3;
  std::vector<uint8_t> pixels(row * size_t(height));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_BGR, GL_UNSIGNED_BYTE, pixels.data());
  std::vector<uint8_t> tmp(row);
  for (int r = 0; r < height / 2; ++r) {
    uint8_t* a = pixels.data() + size_t(r) * row;
    uint8_t* b = pixels.data() + size_t(height - 1 - r) * row;
    std::memcpy(tmp.data(), a, row);
    std::memcpy(a, b, row);
    std::memcpy(b, tmp.data(), row);
  }
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    Logger().warning(errno == EACCES ? "QorScreenShot::Failed To Save DDS (invalid permissions)"
                                     : "QorScreenShot::Failed To Save DDS");
    return false;
  }
  uint32_t h[32] = {};
  h[0] = 0x20534444;  // "DDS "
  h[1] = 124;
  h[2] = 0x1007;
  h[3] = uint32_t(height);
  h[4] = uint32_t(width);
  h[19] = 32;
  h[20] = 0x40;
  h[22] = 24;
  h[23] = 0xFF0000;
  h[24] = 0xFF00;
  h[25] = 0xFF;
  h[27] = 0x1000;
  bool ok = std::fwrite(h, 1, sizeof h, f) == sizeof h &&
            std::fwrite(pixels.data(), 1, pixels.size(), f) == pixels.size();
  ok = std::fclose(f) == 0 && ok;
  if (!ok) Logger().warning("QorScreenShot::Failed To Save DDS");
  return ok;
}
