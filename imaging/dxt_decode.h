// The DDS_Convert family: decoders of an image's top level into 32-bit
// pixels (0xAARRGGBB, which is B, G, R, A in memory) for the TGA writer.
// Each converter reads the level as stored in the file, rows top to bottom,
// so the picture comes out upright for every height; the TGA writer then
// writes its rows bottom-up.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

// The pixel target: what a TGA file of the picture holds.
struct TgaImage {
  uint32_t bytes_per_pixel = 4;
  uint32_t width = 0;
  uint32_t height = 0;
  uint8_t image_type = 2;  // uncompressed true colour
  uint8_t bits_per_pixel = 32;
  std::unique_ptr<uint32_t[]> pixels;  // (x, y) at y * width + x, row 0 the top row
  uint32_t byte_size = 0;              // width * height * 4; 0 when not allocated
  bool complete = false;
  // Rows held bottom row first, as a bottom-left-origin TGA file stores
  // them, so the file's pixels are written straight from `pixels`; (x, y)
  // is then at (height - 1 - y) * width + x.
  bool bottom_up = false;
  // A strip of the picture: `height` rows from picture row `first_row`.
  uint32_t first_row = 0;

  uint32_t* Row(uint32_t y) {
    uint32_t r = y - first_row;
    return pixels.get() + size_t(bottom_up ? height - 1 - r : r) * width;
  }

  // Clears the target, fills the fields and allocates the pixels (byte_size
  // stays 0 when the allocation fails or the size is 0 or too big).
  void Setup(int32_t w, int32_t h);
};

class DDS_Convert {
 public:
  // `level` must hold every unit of a `w` x `h` level; when it does not, or
  // the target cannot be allocated, Run decodes nothing.
  DDS_Convert(int32_t w, int32_t h, std::span<const uint8_t> level, uint32_t unit_bytes,
              uint32_t unit_pixels);
  virtual ~DDS_Convert() = default;

  // Sets up the target and decodes the whole level into it.
  void Run(TgaImage& out);

  // Whether the level holds every unit (Run and DecodeStrip decode nothing
  // otherwise).
  bool CanDecode() const { return cursor != nullptr; }
  // Decodes picture rows [y0, y0 + rows) into `strip`, whose pixels hold at
  // least `rows` rows of the picture's width; y0 must be a multiple of 4.
  // The TGA writer streams the file through one small strip this way.
  void DecodeStrip(int32_t y0, int32_t rows, TgaImage& strip);

  virtual void DecodeAll() = 0;
  // Decodes the unit (a 4 x 4 block or one pixel) whose top-left pixel is
  // (x, y) into the target and moves the cursor past it.
  virtual void DecodeBlock(int32_t x, int32_t y) = 0;

 protected:
  void DecodeBlocks();  // the block walk of DXT1, DXT3 and DXT5
  void DecodePixels();  // the pixel walk of ARGB8 and RGB8
  // Writes a decoded 4 x 4 block, skipping pixels outside the picture.
  void PutBlock(int32_t x, int32_t y, const uint32_t texels[16]);

  int32_t width;
  int32_t height;
  const uint8_t* level_start = nullptr;
  uint32_t unit_bytes;
  uint32_t unit_pixels;
  const uint8_t* cursor = nullptr;  // nullptr when the level is too short
  TgaImage* target = nullptr;
  int32_t blocks_wide;
  int32_t blocks_high;
  int32_t block_w;  // min(width, 4)
  int32_t block_h;  // min(height, 4)
};

class DXT1 : public DDS_Convert {
 public:
  DXT1(int32_t w, int32_t h, std::span<const uint8_t> level) : DDS_Convert(w, h, level, 8, 4) {}
  void DecodeAll() override { DecodeBlocks(); }
  void DecodeBlock(int32_t x, int32_t y) override;
};

class DXT3 : public DDS_Convert {
 public:
  DXT3(int32_t w, int32_t h, std::span<const uint8_t> level) : DDS_Convert(w, h, level, 16, 4) {}
  void DecodeAll() override { DecodeBlocks(); }
  void DecodeBlock(int32_t x, int32_t y) override;
};

class DXT5 : public DDS_Convert {
 public:
  DXT5(int32_t w, int32_t h, std::span<const uint8_t> level) : DDS_Convert(w, h, level, 16, 4) {}
  void DecodeAll() override { DecodeBlocks(); }
  void DecodeBlock(int32_t x, int32_t y) override;
};

// Four bytes per pixel, B, G, R, A in the file.
class ARGB8 : public DDS_Convert {
 public:
  ARGB8(int32_t w, int32_t h, std::span<const uint8_t> level) : DDS_Convert(w, h, level, 4, 1) {}
  void DecodeAll() override { DecodePixels(); }
  void DecodeBlock(int32_t x, int32_t y) override;
};

// Three bytes per pixel, B, G, R in the file.
class RGB8 : public DDS_Convert {
 public:
  RGB8(int32_t w, int32_t h, std::span<const uint8_t> level) : DDS_Convert(w, h, level, 3, 1) {}
  void DecodeAll() override { DecodePixels(); }
  void DecodeBlock(int32_t x, int32_t y) override;
};

// The converter of an IWI format code (1, 2, 11, 12, 13), or nullptr.
std::unique_ptr<DDS_Convert> MakeConverter(uint8_t format, int32_t w, int32_t h,
                                           std::span<const uint8_t> level);

// The 5:6:5 expansion of DXT colours, as 0x00RRGGBB.
uint32_t Expand565(uint16_t c);
