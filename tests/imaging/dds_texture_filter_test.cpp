// A DDS picture samples its mip chain only when the chain is complete; an
// incomplete chain would leave the texture incomplete (drawn white).
#include <gtest/gtest.h>

#include <vector>

#include "imaging/gl_image.h"
#include "imaging/image_codes.h"
#include "tools/fixture/iwi_writer.h"

namespace {

class FilterGl : public ImageGl {
 public:
  uint32_t GenTexture() override { return 1; }
  void BindTexture(uint32_t, uint32_t) override {}
  void TexParameter(uint32_t, uint32_t name, int32_t value) override {
    if (name == gl::kTextureMinFilter) min_filter = value;
  }
  void PixelStore(uint32_t, int32_t) override {}
  void CompressedTexImage2D(uint32_t, int32_t, uint32_t, int32_t, int32_t, std::span<const uint8_t>) override {}
  void TexImage2D(uint32_t, int32_t, int32_t, int32_t, int32_t, uint32_t, uint32_t, const void*) override {}
  void ReadBuffer(uint32_t) override {}
  void ReadPixels(int32_t, int32_t, int32_t, int32_t, uint32_t, uint32_t, void*) override {}
  int32_t min_filter = 0;
};

TEST(DdsTexture, MipmappedFilterOnlyForAFullChain) {
  const fixture::Picture picture = fixture::MakeTestPicture(16, 8, true);
  for (bool full : {true, false}) {
    FilterGl gl;
    uint32_t texture = 0;
    ASSERT_EQ(LoadDDSTextureBytes(gl, fixture::WriteDds(picture, 13, full), texture), img::kSuccess);
    EXPECT_EQ(gl.min_filter, full ? gl::kLinearMipmapLinear : gl::kLinear) << full;
  }
}

}  // namespace
