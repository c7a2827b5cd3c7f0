// The IWI reader: the level walk from the end of the file for every
// version, the stored and oriented levels, the decoders against the picture
// the file was compressed from (libsquish), the six faces of a cube map
// (usage bit 0x04) in stored order, and hostile headers; every IWI of the
// games' own in ../shared/samples. The DDS bytes and ImageMagick reading the
// faces: dds_tga_test.
#include <gtest/gtest.h>
#include <squish.h>

#include <filesystem>
#include <iterator>  // Required for: std::size
#include <utility>

#include "imaging/dxt_decode.h"
#include "tests/imaging/image_test_support.h"

namespace fs = std::filesystem;

namespace {

using fixture::IwiDesc;
using image_test::CubeDesc;
using image_test::Desc;

// Our TGA of the image's top level as R, G, B, A rows top to bottom.
std::vector<uint8_t> DecodedPicture(IwiImage& image) {
  std::vector<uint8_t> tga, rgba;
  EXPECT_EQ(image.EncodeTGA(tga), img::kSuccess);
  if (tga.size() < 18) return {};
  const size_t w = size_t(tga[12] | tga[13] << 8), h = size_t(tga[14] | tga[15] << 8);
  for (size_t i = 0; i < w * h; ++i) {
    const uint8_t* s = &tga[18 + ((h - 1 - i / w) * w + i % w) * 4];  // bottom row first in the file
    rgba.insert(rgba.end(), {s[2], s[1], s[0], s[3]});
  }
  return rgba;
}

// Levels are found walking back from the end of the file, top level last,
// down to the header (28 bytes, 32 in version 8, 48 from version 13); each
// decodes to the picture the file was made from.
TEST(IwiReader, EveryVersionAndFormatDecodesToItsPicture) {
  const int sizes[][2] = {{256, 128}, {64, 32}, {5, 3}, {1, 1}, {20, 12}};
  for (int version : {6, 8, 13}) {
    for (uint8_t format : {uint8_t(1), uint8_t(2), uint8_t(11), uint8_t(12), uint8_t(13)}) {
      for (auto [w, h] : sizes) {
        SCOPED_TRACE(testing::Message() << "version " << version << " format " << int(format) << " " << w << "x" << h);
        IwiDesc d = Desc(version, format, w, h);
        const std::vector<uint8_t> file = fixture::WriteIwi(d);
        IwiImage image;
        ASSERT_EQ(image.LoadIWIBytes(file), img::kSuccess);
        EXPECT_EQ(size_t(image.mip_count), fixture::MipChain(d.picture).size());
        size_t total = 0;
        for (const auto& level : image.stored_levels) total += level.size();
        EXPECT_EQ(total, file.size() - (version == 8 ? 32 : version == 13 ? 48 : 28));
        const std::vector<uint8_t>& top = image.stored_levels[0];
        EXPECT_TRUE(std::equal(top.begin(), top.end(), file.end() - long(top.size())));
        std::vector<uint8_t> got = DecodedPicture(image);
        if (format <= 2) {
          std::vector<uint8_t> want = d.picture.rgba;
          for (size_t i = 3; format == 2 && i < want.size(); i += 4) want[i] = 255;
          EXPECT_EQ(got, want);
        } else {
          // libsquish's own decoder of the blocks it made agrees with ours
          // (the same expansion and truncating interpolation) ...
          std::vector<uint8_t> theirs(size_t(w) * size_t(h) * 4);
          const int flags = format == 11 ? squish::kDxt1 : format == 12 ? squish::kDxt3 : squish::kDxt5;
          squish::DecompressImage(theirs.data(), w, h, image.stored_levels[0].data(), flags);
          EXPECT_LE(image_test::MaxChannelDifference(got, theirs), 1);
          // ... and the picture survives compression: a smooth picture with
          // a few hard edges (tiny pictures are all edges).
          if (w * h >= 64) {
            EXPECT_LT(image_test::MeanChannelDifference(got, d.picture.rgba), 10.0);
          }
        }
      }
    }
  }
}

TEST(IwiReader, LevelsAreOrientedForGl) {
  // One 4 x 4 DXT1 block with index rows 00 55 AA FF.
  // The writer only passes raw levels through for formats it cannot
  // encode: patch the code in after writing an unknown one.
  IwiDesc d;
  d.width = d.height = 4, d.mips = false, d.format = 0x30;
  d.raw_level = {0x1F, 0x00, 0xE0, 0xFF, 0x00, 0x55, 0xAA, 0xFF};
  IwiImage image;
  std::vector<uint8_t> file = fixture::WriteIwi(d);
  file[4] = 11;
  ASSERT_EQ(image.LoadIWIBytes(file), img::kSuccess);
  EXPECT_EQ(image.levels[0], (std::vector<uint8_t>{0x1F, 0x00, 0xE0, 0xFF, 0xFF, 0xAA, 0x55, 0x00}));
  EXPECT_EQ(image.stored_levels[0], d.raw_level);

  // ARGB8 levels swap red and blue for GL and decode as ARGB.
  d.width = d.height = 1, d.raw_level = {0x10, 0x20, 0x30, 0x40};
  file = fixture::WriteIwi(d);
  file[4] = 1;
  ASSERT_EQ(image.LoadIWIBytes(file), img::kSuccess);
  EXPECT_EQ(image.levels[0], (std::vector<uint8_t>{0x30, 0x20, 0x10, 0x40}));
  TgaImage out;
  MakeConverter(1, 1, 1, image.FileTopLevel())->Run(out);
  ASSERT_TRUE(out.complete);
  EXPECT_EQ(out.pixels[0], 0x40302010u);
}

TEST(CubeMap, FacesReadInStoredOrderWithAndWithoutMipLevels) {
  for (int version : {6, 8, 13}) {
    for (uint8_t format : {uint8_t(11), uint8_t(1)}) {
      for (bool mips : {false, true}) {
        SCOPED_TRACE(testing::Message() << "version " << version << " format " << int(format) << " mips " << mips);
        IwiDesc d = CubeDesc(version, format, 16, mips);
        IwiImage image = image_test::Loaded(d);
        const size_t per_face = mips ? 5 : 1;  // 16, 8, 4, 2, 1
        EXPECT_EQ(std::make_pair(int(image.face_count), size_t(image.mip_count)), std::make_pair(6, per_face));
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
// hold six faces: dds_tga_test.
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

// Headers the file cannot hold: the magic, the version and the format (the
// stock logo_cod2.iwi's 6) patched; sizes that are zero, negative or past the
// file; a top level one byte short; cube maps whose faces are not square,
// short or far past the file, and a single picture flagged as one.
TEST(IwiReader, RefusesHeadersTheFileCannotHold) {
  auto patched = [](size_t at, uint8_t byte) {
    std::vector<uint8_t> file = fixture::WriteIwi(Desc(6, 11, 8, 8));
    file[at] = byte;
    return file;
  };
  auto with = [](IwiDesc d, auto change) {
    change(d);
    return fixture::WriteIwi(d);
  };
  IwiDesc cube = CubeDesc(6, 11, 16, false);
  const std::pair<std::vector<uint8_t>, ImageResult> cases[] = {
      {patched(2, 'I'), img::kBadMagic},
      {patched(3, 7), img::kBadVersion},
      {patched(4, 6), img::kUnknownFormat},
      {with(Desc(6, 13, 16, 16), [](IwiDesc& d) { d.width = 0; }), img::kSizeError},
      {with(Desc(6, 13, 16, 16), [](IwiDesc& d) { d.width = -4; }), img::kSizeError},
      {with(Desc(6, 13, 16, 16), [](IwiDesc& d) { d.width = 32767; }), img::kSizeError},
      {with(Desc(8, 11, 16, 16, false), [](IwiDesc& d) { d.cut = 1; }), img::kSizeError},
      {with(cube, [](IwiDesc& d) { d.version = 13, d.height = 8; }), img::kSizeError},
      {with(cube, [](IwiDesc& d) { d.cut = 1; }), img::kSizeError},
      {with(cube, [](IwiDesc& d) { d.mips = true, d.width = d.height = 32767; }), img::kSizeError},
      {with(Desc(6, 11, 64, 64), [](IwiDesc& d) { d.usage = 0x04; }), img::kSizeError},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    IwiImage image;
    EXPECT_EQ(image.LoadIWIBytes(cases[i].first), cases[i].second) << "case " << i;
    EXPECT_FALSE(image.loaded);
    EXPECT_TRUE(image.levels.empty());
  }
  IwiImage image;
  image.path = "/nonexistent/vantor/none.iwi";
  EXPECT_EQ(image.LoadIWI(), img::kCantOpen);
}

TEST(IwiReader, EveryTruncatedPrefixEndsWithACode) {
  std::vector<std::vector<uint8_t>> files;
  for (int version : {6, 8, 13}) files.push_back(fixture::WriteIwi(Desc(version, 12, 16, 8)));
  files.push_back(fixture::WriteIwi(CubeDesc(6, 11, 8, true)));
  for (const std::vector<uint8_t>& file : files) {
    for (size_t n = 0; n <= file.size(); ++n) {
      IwiImage image;
      if (image.LoadIWIBytes(std::span<const uint8_t>(file.data(), n)) != img::kSuccess) continue;
      // What was read decodes without reading past the levels.
      std::vector<uint8_t> tga, dds;
      EXPECT_EQ(image.EncodeTGA(tga), img::kSuccess);
      EXPECT_EQ(image.EncodeDDS(dds), img::kSuccess);
    }
  }
}

// The games' own files: every IWI decodes and its stored levels (all six
// faces of the cube map) cover the file from the level start to the end.
TEST(RealImages, EveryIwiDecodesAndItsLevelsEndTheFile) {
  const std::vector<fs::path> files = image_test::SampleFiles("images");
  if (files.empty()) GTEST_SKIP() << "no samples in " << image_test::SamplesDir();
  size_t v13 = 0;
  for (const fs::path& f : files) {
    if (f.extension() != ".iwi") continue;
    SCOPED_TRACE(f.string());
    IwiImage image;
    ASSERT_TRUE(image.SetImagePath(f.string()));
    ASSERT_EQ(image.LoadIWI(), img::kSuccess);
    std::vector<uint8_t> bytes = image_test::ReadBytes(f.string());
    const size_t start = bytes[3] == 13 ? 48 : 28;
    v13 += bytes[3] == 13;
    size_t stored = 0;
    for (const auto& level : image.stored_levels) stored += level.size();
    EXPECT_EQ(stored + start, bytes.size());
    EXPECT_TRUE(!(image.iwi_header.usage & 0x02) || image.mip_count == 1);
    std::vector<uint8_t> tga;
    ASSERT_EQ(image.EncodeTGA(tga), img::kSuccess);
    EXPECT_EQ(tga.size(), 18u + size_t(image.face_count) * size_t(image.width) * size_t(image.height) * 4);
  }
  EXPECT_GT(v13, 0u);
}

}  // namespace
