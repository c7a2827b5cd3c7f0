// The image code's GL calls over the real context that is current.
#pragma once

#include "imaging/gl_image.h"

class RealImageGl : public ImageGl {
 public:
  uint32_t GenTexture() override;
  void BindTexture(uint32_t target, uint32_t texture) override;
  void TexParameter(uint32_t target, uint32_t name, int32_t value) override;
  void PixelStore(uint32_t name, int32_t value) override;
  void CompressedTexImage2D(uint32_t target, int32_t level, uint32_t internal_format, int32_t w,
                            int32_t h, std::span<const uint8_t> data) override;
  void TexImage2D(uint32_t target, int32_t level, int32_t internal_format, int32_t w, int32_t h,
                  uint32_t format, uint32_t type, const void* data) override;
  void ReadBuffer(uint32_t mode) override;
  void ReadPixels(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t format, uint32_t type,
                  void* out) override;
};

// Uploads a loaded image; 0 when it cannot be uploaded (logged as
// "^1IWI Error(^4%s^7): %s").
uint32_t UploadTexture(IwiImage& image);
