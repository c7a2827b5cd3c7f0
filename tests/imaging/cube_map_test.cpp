// Cube maps: the six faces of an IWI cube map (usage bit 0x04) read in
// stored order with and without mip levels, the DDS cube map written from
// them (read back by us and by ImageMagick as six faces), the TGA strip of
// the six faces, and cube headers that cannot hold what they claim.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "imaging/dds_header.h"
#include "imaging/iwi_image.h"
#include "imaging/png_file.h"
#include "tests/imaging/image_test_support.h"
#include "tools/fixture/fixture_writer.h"
#include "tools/fixture/iwi_writer.h"

namespace {

using image_test::HeaderOf;
using fixture::IwiDesc;
using fixture::Picture;

IwiDesc CubeDesc(int version, uint8_t format, int side, bool mips) {
  IwiDesc d;
  d.version = version;
  d.format = format;
  d.faces = fixture::MakeCubeFaces(side, format == 1);
  d.mips = mips;
  return d;
}

// Our TGA of one face read on its own, as an ordinary IWI of the same bytes:
// its rows, bottom row first as in the file.
std::vector<uint8_t> FaceTgaRows(const IwiImage& cube, int face) {
  IwiImage single;
  single.iwi_header.format = cube.iwi_header.format;
  single.width = cube.width;
  single.height = cube.height;
  single.from_iwi = cube.from_iwi;
  (cube.from_iwi ? single.stored_levels : single.levels).emplace_back(cube.FileTopLevel(face).begin(),
                                                                      cube.FileTopLevel(face).end());
  std::vector<uint8_t> tga;
  EXPECT_EQ(single.EncodeTGA(tga), img::kSuccess);
  return tga.size() > 18 ? std::vector<uint8_t>(tga.begin() + 18, tga.end()) : std::vector<uint8_t>();
}

// Face `f` cut out of a strip of six w x h faces of 4-byte pixels.
std::vector<uint8_t> FaceOfStrip(const std::vector<uint8_t>& strip, size_t at, size_t w, size_t h, int f) {
  std::vector<uint8_t> face;
  for (size_t y = 0; y < h; ++y) {
    const uint8_t* row = &strip[at + (y * 6 * w + size_t(f) * w) * 4];
    face.insert(face.end(), row, row + w * 4);
  }
  return face;
}

// The strip TGA holds each face's own decode side by side, row for row.
void ExpectStripOfFaces(IwiImage& cube) {
  std::vector<uint8_t> strip;
  ASSERT_EQ(cube.EncodeTGA(strip), img::kSuccess);
  const size_t w = size_t(cube.width), h = size_t(cube.height);
  ASSERT_EQ(strip.size(), 18 + 6 * w * h * 4);
  EXPECT_EQ(std::make_pair(strip[12] | strip[13] << 8, strip[14] | strip[15] << 8), std::make_pair(int(6 * w), int(h)));
  for (int f = 0; f < 6; ++f) EXPECT_EQ(FaceOfStrip(strip, 18, w, h, f), FaceTgaRows(cube, f)) << "face " << f;
}

TEST(CubeMap, FacesReadInStoredOrderWithAndWithoutMipLevels) {
  for (int version : {6, 8, 13}) {
    for (uint8_t format : {uint8_t(11), uint8_t(1)}) {
      for (bool mips : {false, true}) {
        SCOPED_TRACE("version " + std::to_string(version) + " format " + std::to_string(format) +
                     (mips ? " mips" : " top only"));
        IwiDesc d = CubeDesc(version, format, 16, mips);
        IwiImage image;
        ASSERT_EQ(image.LoadIWIBytes(fixture::WriteIwi(d)), img::kSuccess);
        EXPECT_EQ(image.face_count, 6);
        const size_t per_face = mips ? 5 : 1;  // 16, 8, 4, 2, 1
        EXPECT_EQ(size_t(image.mip_count), per_face);
        ASSERT_EQ(image.stored_levels.size(), 6 * per_face);
        ASSERT_EQ(image.levels.size(), 6 * per_face);
        for (size_t f = 0; f < 6; ++f) {
          std::vector<Picture> chain = fixture::MipChain(d.faces[f]);
          for (size_t i = 0; i < per_face; ++i)
            EXPECT_EQ(image.stored_levels[f * per_face + i], fixture::EncodeLevel(chain[i], format))
                << "face " << f << " level " << i;
        }
        ExpectStripOfFaces(image);
      }
    }
  }
}

TEST(CubeMap, DdsHoldsSixFacesEachWithItsLevelsAndReadsBack) {
  for (bool mips : {false, true}) {
    SCOPED_TRACE(mips ? "mips" : "top only");
    IwiImage image;
    ASSERT_EQ(image.LoadIWIBytes(fixture::WriteIwi(CubeDesc(6, 13, 8, mips))), img::kSuccess);
    std::vector<uint8_t> dds;
    ASSERT_EQ(image.EncodeDDS(dds), img::kSuccess);
    DdsHeader h = HeaderOf(dds);
    EXPECT_EQ(std::vector<uint32_t>({h.caps2, h.caps, h.mip_map_count}),
              std::vector<uint32_t>({0xFE00u, mips ? 0x401008u : 0x1008u, mips ? 4u : 1u}));
    std::vector<uint8_t> want;
    for (const auto& level : image.stored_levels) want.insert(want.end(), level.begin(), level.end());
    EXPECT_EQ(std::vector<uint8_t>(dds.begin() + 128, dds.end()), want);

    IwiImage back;
    ASSERT_EQ(back.LoadDDSBytes(dds), img::kSuccess);
    EXPECT_EQ(std::vector<int>({back.face_count, back.mip_count}), std::vector<int>({6, image.mip_count}));
    EXPECT_EQ(back.levels, image.stored_levels);
    ExpectStripOfFaces(back);
  }
  // Uncompressed cube maps keep the top level of each face.
  IwiImage argb;
  ASSERT_EQ(argb.LoadIWIBytes(fixture::WriteIwi(CubeDesc(13, 1, 4, true))), img::kSuccess);
  std::vector<uint8_t> dds;
  ASSERT_EQ(argb.EncodeDDS(dds), img::kSuccess);
  EXPECT_EQ(dds.size(), 128u + 6 * 64);
  EXPECT_EQ(HeaderOf(dds).caps2, 0xFE00u);
}

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
    const std::string dds = dir.Sub("cube.dds"), tga = dir.Sub("cube.tga");
    ASSERT_EQ(image.WriteDDS(dds), img::kSuccess);
    ASSERT_EQ(image.WriteTGA(tga), img::kSuccess);
    const std::string side = std::to_string(image.width);
    std::string frames;
    for (int f = 0; f < 6; ++f) frames += std::to_string(f) + " " + side + " " + side + "\n";
    EXPECT_EQ(image_test::Identify(dds, "%p %w %h\\n"), frames);
    EXPECT_EQ(image_test::Identify(tga, "%w %h"), std::to_string(6 * image.width) + " " + side);
    // Frame f of the DDS is the f-th face of the strip; the PNG is the same strip.
    std::vector<uint8_t> strip = image_test::MagickPixels(tga);
    ASSERT_EQ(WritePNG(image, dir.Sub("cube.png")), img::kSuccess);
    EXPECT_EQ(image_test::MagickPixels(dir.Sub("cube.png")), strip);
    const size_t w = size_t(image.width);
    ASSERT_EQ(strip.size(), 6 * w * w * 4);
    for (int f = 0; f < 6; ++f)
      EXPECT_LE(image_test::MaxChannelDifference(image_test::MagickPixels(dds + "[" + std::to_string(f) + "]"),
                                                 FaceOfStrip(strip, 0, w, w, f)),
                1)
          << "face " << f;
  }
}

TEST(CubeMap, HeadersThatCannotHoldSixFacesAreRefused) {
  struct Case {
    const char* what;
    IwiDesc desc;
    ImageResult want;
  };
  std::vector<Case> cases;
  IwiDesc d = CubeDesc(13, 11, 16, false);
  d.height = 8;
  cases.push_back({"faces that are not square", d, img::kSizeError});
  d = CubeDesc(6, 11, 16, false);
  d.cut = 1;
  cases.push_back({"the last face one byte short", d, img::kSizeError});
  d = CubeDesc(6, 13, 8, true);
  d.width = d.height = 32767;
  cases.push_back({"sizes far past the file", d, img::kSizeError});
  d = IwiDesc{};
  d.picture = fixture::MakeTestPicture(64, 64);
  d.usage = 0x04;
  cases.push_back({"a single picture with its mip chain flagged as a cube map", d, img::kSizeError});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    IwiImage image;
    EXPECT_EQ(image.LoadIWIBytes(fixture::WriteIwi(c.desc)), c.want);
    EXPECT_FALSE(image.loaded);
  }

  // DDS cube maps we cannot represent.
  IwiImage image;
  ASSERT_EQ(image.LoadIWIBytes(fixture::WriteIwi(CubeDesc(6, 11, 8, true))), img::kSuccess);
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
