// GL calls for the image code.
#include "viewer/real_image_gl.h"

#include <GL/glew.h>

#include "base/logger.h"
#include "imaging/iwi_image.h"

uint32_t RealImageGl::GenTexture() {
  GLuint t = 0;
  glGenTextures(1, &t);
  return t;
}
void RealImageGl::BindTexture(uint32_t target, uint32_t texture) { glBindTexture(target, texture); }
void RealImageGl::TexParameter(uint32_t target, uint32_t name, int32_t value) {
  glTexParameteri(target, name, value);
}
void RealImageGl::PixelStore(uint32_t name, int32_t value) { glPixelStorei(name, value); }
void RealImageGl::CompressedTexImage2D(uint32_t target, int32_t level, uint32_t internal_format,
                                       int32_t w, int32_t h, std::span<const uint8_t> data) {
  glCompressedTexImage2D(target, level, internal_format, w, h, 0, GLsizei(data.size()), data.data());
}
void RealImageGl::TexImage2D(uint32_t target, int32_t level, int32_t internal_format, int32_t w,
                             int32_t h, uint32_t format, uint32_t type, const void* data) {
  glTexImage2D(target, level, internal_format, w, h, 0, format, type, data);
}
void RealImageGl::ReadBuffer(uint32_t mode) {
  // The finished frame is read before its swap, from the back buffer: the
  // front buffer reads back black under Mesa once the frame is swapped.
  glReadBuffer(mode == gl::kFront ? GL_BACK : mode);
}
void RealImageGl::ReadPixels(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t format,
                             uint32_t type, void* out) {
  glReadPixels(x, y, w, h, format, type, out);
}

uint32_t UploadTexture(IwiImage& image) {
  RealImageGl gl;
  uint32_t texture = 0;
  ImageResult r = UploadIWI(gl, image, texture);
  if (r != 24) {
    Logger().log("^1IWI Error(^4%s^7): %s", image.name.c_str(), QorLogger::error_text(r).c_str());
    return 0;
  }
  return texture;
}
