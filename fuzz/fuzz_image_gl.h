// A GL for the image fuzz targets: it reads every byte of every buffer it is
// handed (so ASan sees a buffer shorter than the level it claims to be) and
// hands out texture names.
#pragma once

#include <cstdint>
#include <span>

#include "imaging/gl_image.h"

class CheckingGl : public ImageGl {
 public:
  uint32_t GenTexture() override { return ++names_; }
  void BindTexture(uint32_t, uint32_t) override {}
  void TexParameter(uint32_t, uint32_t, int32_t) override {}
  void PixelStore(uint32_t, int32_t) override {}
  void CompressedTexImage2D(uint32_t, int32_t, uint32_t, int32_t, int32_t, std::span<const uint8_t> data) override {
    Touch(data.data(), data.size());
  }
  void TexImage2D(uint32_t, int32_t, int32_t, int32_t w, int32_t h, uint32_t format, uint32_t type,
                  const void* data) override {
    // The bytes per pixel of the formats the uploads use.
    size_t bpp = format == 0x1907 && type == 0x1401 ? 3 : type == 0x1401 ? 4 : 2;
    Touch(static_cast<const uint8_t*>(data), size_t(w) * size_t(h) * bpp);
  }
  void ReadBuffer(uint32_t) override {}
  void ReadPixels(int32_t, int32_t, int32_t, int32_t, uint32_t, uint32_t, void*) override {}
  uint32_t sum = 0;

 private:
  void Touch(const uint8_t* p, size_t n) {
    for (size_t i = 0; i < n; ++i) sum += p[i];
  }
  uint32_t names_ = 0;
};
