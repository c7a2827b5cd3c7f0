// Uncompressed 32-bit BGRA DDS pictures read whole, top level only, for what
// is drawn without a texture (the splash window).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

struct BgraPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> bgra;  // rows top first, 4 bytes a pixel
};

// False for anything but a valid 32-bit BGRA DDS of 1 to 4096 pixels a side
// whose top level is all there.
bool ReadBgraPicture(std::span<const uint8_t> file, BgraPicture& out);
