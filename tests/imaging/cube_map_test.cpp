// Cube maps: the six faces of an IWI cube map (usage bit 0x04) read in
// stored order with and without mip levels, and faces that no longer make a
// cube map. The DDS bytes and ImageMagick reading the faces: dds_tga_test.
#include <gtest/gtest.h>

#include "tests/imaging/image_test_support.h"

namespace {

using fixture::IwiDesc;
using image_test::CubeDesc;

TEST(CubeMap, FacesReadInStoredOrderWithAndWithoutMipLevels) {
  for (int version : {6, 8, 13}) {
    for (uint8_t format : {uint8_t(11), uint8_t(1)}) {
      for (bool mips : {false, true}) {
        SCOPED_TRACE("version " + std::to_string(version) + " format " + std::to_string(format) +
                     (mips ? " mips" : " top only"));
        IwiDesc d = CubeDesc(version, format, 16, mips);
        IwiImage image = image_test::Loaded(d);
        EXPECT_EQ(image.face_count, 6);
        const size_t per_face = mips ? 5 : 1;  // 16, 8, 4, 2, 1
        EXPECT_EQ(size_t(image.mip_count), per_face);
        ASSERT_EQ(image.stored_levels.size(), 6 * per_face);
        ASSERT_EQ(image.levels.size(), 6 * per_face);
        for (size_t f = 0; f < 6; ++f) {
          std::vector<fixture::Picture> chain = fixture::MipChain(d.faces[f]);
          for (size_t i = 0; i < per_face; ++i)
            EXPECT_EQ(image.stored_levels[f * per_face + i], fixture::EncodeLevel(chain[i], format))
                << "face " << f << " level " << i;
        }
      }
    }
  }
}

// Level lists that no longer hold six faces, and a strip wider than a TGA
// header can say, are refused rather than written. DDS files that cannot
// hold six faces: dds_tga_test; IWI headers: iwi_reader_test.
TEST(CubeMap, BrokenFacesAreNotWritten) {
  IwiImage broken = image_test::Loaded(CubeDesc(6, 11, 8, true));
  broken.stored_levels.pop_back();
  std::vector<uint8_t> dds, tga;
  EXPECT_EQ(broken.EncodeDDS(dds), img::kSizeError);
  broken = image_test::Loaded(CubeDesc(6, 11, 8, true));
  broken.width = broken.height = 11000;
  EXPECT_EQ(broken.EncodeTGA(tga), img::kSizeError);
  EXPECT_TRUE(tga.empty());
}

}  // namespace
