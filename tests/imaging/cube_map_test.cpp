// Cube maps: the six faces of an IWI cube map (usage bit 0x04) read in
// stored order with and without mip levels, the DDS cube map and the TGA
// strip of the six faces written from them (read by ImageMagick), and cube
// maps that cannot hold what they claim. The DDS bytes: dds_tga_test.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "imaging/png_file.h"
#include "tests/imaging/image_test_support.h"
#include "tools/fixture/fixture_writer.h"

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

// Frame f of the DDS is the f-th face of the TGA strip, the PNG is the same
// strip; on a fixture cube map and on a real one.
TEST(CubeMap, ImageMagickReadsOurDdsAsSixFacesLikeOurStrip) {
  if (image_test::MagickDir().empty()) GTEST_SKIP() << "ImageMagick is not installed";
  image_test::TempDir dir;
  std::vector<std::string> inputs = {dir.Sub("fixture.iwi")};
  ASSERT_TRUE(fixture::WriteFile(inputs[0], fixture::WriteIwi(CubeDesc(6, 11, 32, true))));
  const std::string sky = image_test::SamplesDir() + "/bo-ville/raw/images/skybox_zom_moon_ft.iwi";
  if (std::filesystem::exists(sky)) inputs.push_back(sky);
  for (const std::string& input : inputs) {
    SCOPED_TRACE(input);
    IwiImage image;
    ASSERT_TRUE(image.SetImagePath(input));
    ASSERT_EQ(image.LoadIWI(), img::kSuccess);
    const std::string dds = dir.Sub("cube.dds"), tga = dir.Sub("cube.tga"), png = dir.Sub("cube.png");
    ASSERT_EQ(image.WriteDDS(dds), img::kSuccess);
    ASSERT_EQ(image.WriteTGA(tga), img::kSuccess);
    ASSERT_EQ(WritePNG(image, png), img::kSuccess);
    const size_t w = size_t(image.width);
    std::string frames;
    const std::string side = std::to_string(w);
    for (size_t f = 0; f < 6; ++f) frames += std::to_string(f) + " " + side + " " + side + "\n";
    EXPECT_EQ(image_test::Identify(dds, "%p %w %h\\n"), frames);
    EXPECT_EQ(image_test::Identify(tga, "%w %h"), std::to_string(6 * w) + " " + side);
    std::vector<uint8_t> strip = image_test::MagickPixels(tga);
    EXPECT_EQ(image_test::MagickPixels(png), strip);
    ASSERT_EQ(strip.size(), 6 * w * w * 4);
    for (size_t f = 0; f < 6; ++f) {
      std::vector<uint8_t> face;
      for (size_t y = 0; y < w; ++y) {
        auto row = strip.begin() + long((y * 6 + f) * w * 4);
        face.insert(face.end(), row, row + long(w * 4));
      }
      const std::vector<uint8_t> frame = image_test::MagickPixels(dds + "[" + std::to_string(f) + "]");
      EXPECT_LE(image_test::MaxChannelDifference(frame, face), 1) << "face " << f;
    }
  }
}

// IWI headers that cannot hold six faces: iwi_reader_test.
TEST(CubeMap, DdsThatCannotHoldSixFacesIsRefused) {
  IwiImage image = image_test::Loaded(CubeDesc(6, 11, 8, true));
  std::vector<uint8_t> dds;
  ASSERT_EQ(image.EncodeDDS(dds), img::kSuccess);
  auto patched = [&](size_t at, uint32_t value) {
    std::vector<uint8_t> bad = dds;
    std::memcpy(&bad[at], &value, 4);
    return bad;
  };
  IwiImage back;
  EXPECT_EQ(back.LoadDDSBytes(patched(112, 0x200 | 0x400 | 0x800)), img::kDdsFormat);  // two faces only
  EXPECT_EQ(back.LoadDDSBytes(patched(112, 0x200000)), img::kDdsFormat);             // a volume
  EXPECT_EQ(back.LoadDDSBytes(patched(12, 4)), img::kSizeError);                     // 8 wide, 4 high
  EXPECT_EQ(back.LoadDDSBytes(std::span<const uint8_t>(dds.data(), dds.size() - 1)), img::kSizeError);
  EXPECT_FALSE(back.loaded);

  // Level lists that no longer hold six faces, and a strip wider than a TGA
  // header can say, are refused rather than written.
  IwiImage broken = image;
  broken.stored_levels.pop_back();
  EXPECT_EQ(broken.EncodeDDS(dds), img::kSizeError);
  broken = image;
  broken.width = broken.height = 11000;
  std::vector<uint8_t> tga;
  EXPECT_EQ(broken.EncodeTGA(tga), img::kSizeError);
  EXPECT_TRUE(tga.empty());
}

}  // namespace
