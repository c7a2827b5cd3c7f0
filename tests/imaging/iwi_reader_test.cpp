// The IWI reader: the level walk from the end of the file for every
// version, the stored and oriented levels, the decoders against the picture
// the file was compressed from (libsquish), and hostile headers.
#include <gtest/gtest.h>
#include <squish.h>

#include <iterator>  // Required for: std::size
#include <utility>

#include "imaging/dxt_decode.h"
#include "imaging/iwi_image.h"
#include "tests/imaging/image_test_support.h"
#include "tools/fixture/iwi_writer.h"

namespace {

using fixture::IwiDesc;
using image_test::Desc;

// Our TGA of the image's top level as R, G, B, A rows top to bottom.
std::vector<uint8_t> DecodedPicture(IwiImage& image) {
  std::vector<uint8_t> tga;
  EXPECT_EQ(image.EncodeTGA(tga), img::kSuccess);
  if (tga.size() < 18) return {};
  const size_t w = size_t(tga[12] | tga[13] << 8), h = size_t(tga[14] | tga[15] << 8);
  std::vector<uint8_t> rgba(w * h * 4);
  for (size_t y = 0; y < h; ++y)
    for (size_t x = 0; x < w; ++x) {
      const uint8_t* s = &tga[18 + ((h - 1 - y) * w + x) * 4];  // bottom row first in the file
      uint8_t* d = &rgba[(y * w + x) * 4];
      d[0] = s[2], d[1] = s[1], d[2] = s[0], d[3] = s[3];
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
        SCOPED_TRACE("version " + std::to_string(version) + " format " + std::to_string(format) + " " +
                     std::to_string(w) + "x" + std::to_string(h));
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
          if (format == 2)
            for (size_t i = 3; i < want.size(); i += 4) want[i] = 255;
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
  IwiDesc d;
  d.width = d.height = 4;
  d.mips = false;
  d.raw_level = {0x1F, 0x00, 0xE0, 0xFF, 0x00, 0x55, 0xAA, 0xFF};
  IwiImage image;
  // The writer only passes raw levels through for formats it cannot
  // encode: patch the code in after writing an unknown one.
  d.format = 0x30;
  std::vector<uint8_t> file = fixture::WriteIwi(d);
  file[4] = 11;
  ASSERT_EQ(image.LoadIWIBytes(file), img::kSuccess);
  EXPECT_EQ(image.levels[0], (std::vector<uint8_t>{0x1F, 0x00, 0xE0, 0xFF, 0xFF, 0xAA, 0x55, 0x00}));
  EXPECT_EQ(image.stored_levels[0], d.raw_level);

  // ARGB8 levels swap red and blue for GL and decode as ARGB.
  d.width = d.height = 1;
  d.raw_level = {0x10, 0x20, 0x30, 0x40};
  file = fixture::WriteIwi(d);
  file[4] = 1;
  ASSERT_EQ(image.LoadIWIBytes(file), img::kSuccess);
  EXPECT_EQ(image.levels[0], (std::vector<uint8_t>{0x30, 0x20, 0x10, 0x40}));
  TgaImage out;
  MakeConverter(1, 1, 1, image.FileTopLevel())->Run(out);
  ASSERT_TRUE(out.complete);
  EXPECT_EQ(out.pixels[0], 0x40302010u);
}

// Headers the file cannot hold: the magic, the version and the format (the
// stock logo_cod2.iwi's 6) patched; sizes that are zero, negative or past the
// file; a top level one byte short; cube maps (usage 0x04) whose faces are
// not square, short or far past the file, and a single picture flagged as one.
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
  IwiDesc cube = image_test::CubeDesc(6, 11, 16, false);
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
  files.push_back(fixture::WriteIwi(image_test::CubeDesc(6, 11, 8, true)));
  for (const std::vector<uint8_t>& file : files) {
    for (size_t n = 0; n <= file.size(); ++n) {
      IwiImage image;
      ImageResult r = image.LoadIWIBytes(std::span<const uint8_t>(file.data(), n));
      if (r != img::kSuccess) continue;
      // What was read decodes without reading past the levels.
      std::vector<uint8_t> tga, dds;
      EXPECT_EQ(image.EncodeTGA(tga), img::kSuccess);
      EXPECT_EQ(image.EncodeDDS(dds), img::kSuccess);
    }
  }
}

}  // namespace
