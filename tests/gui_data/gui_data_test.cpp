// The interface's data files as the build made them (tools/gui_data): every
// picture of the material table a full-chain 32-bit DDS that our own loader
// takes and ImageMagick reads, both TXF fonts laid out as PLIB's reader
// expects, and the five sounds whole 16-bit PCM WAV files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <array>
#include <cstring>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "gui/material_table.h"
#include "imaging/dds_header.h"
#include "imaging/gl_image.h"
#include "sound/qor_sound.h"
#include "sound/wav_reader.h"
#include "tests/imaging/image_test_support.h"

namespace {

using image_test::Quote;
using image_test::ReadBytes;

const std::string kData = VANTOR_DATA_DIR;

bool PowerOfTwo(uint32_t v) { return v != 0 && (v & (v - 1)) == 0; }

// A little-endian field (the machine's order too).
template <class T>
T At(std::span<const uint8_t> b, size_t at) {
  T v;
  std::memcpy(&v, b.data() + at, sizeof v);
  return v;
}

// The level sizes the DDS loader hands to GL.
struct LevelCountingGl : ImageGl {
  uint32_t GenTexture() override { return 1; }
  void BindTexture(uint32_t, uint32_t) override {}
  void TexParameter(uint32_t, uint32_t, int32_t) override {}
  void PixelStore(uint32_t, int32_t) override {}
  void CompressedTexImage2D(uint32_t, int32_t, uint32_t, int32_t w, int32_t h, std::span<const uint8_t>) override {
    sizes.emplace_back(w, h);
  }
  void TexImage2D(uint32_t, int32_t, int32_t, int32_t w, int32_t h, uint32_t, uint32_t, const void*) override {
    sizes.emplace_back(w, h);
  }
  void ReadBuffer(uint32_t) override {}
  void ReadPixels(int32_t, int32_t, int32_t, int32_t, uint32_t, uint32_t, void*) override {}
  std::vector<std::pair<int32_t, int32_t>> sizes;
};

TEST(GuiData, EveryPictureIsAFullChainBgraDdsTheProgramLoads) {
  std::vector<std::string> names = {kDefaultMaterialFile, kCursorMaterialFile};
  for (const GuiMaterialRow& row : kGuiMaterials) names.push_back(row.file);
  std::string identify_args;
  std::ostringstream want_identify;
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const std::string path = kData + "/" + name;
    const std::vector<uint8_t> file = ReadBytes(path);
    ASSERT_GE(file.size(), 128u);
    const DdsHeader h = image_test::HeaderOf(file);
    const bool dxt5 = (h.pf_flags & dds::kFourCC) && h.four_cc == dds::kDXT5;
    const bool bgra = h.pf_flags == (dds::kRGB | dds::kAlphaPixels) && h.rgb_bit_count == 32 &&
                      h.r_mask == 0xff0000u && h.g_mask == 0xff00u && h.b_mask == 0xffu && h.a_mask == 0xff000000u;
    EXPECT_TRUE(dxt5 || bgra);
    ASSERT_TRUE(PowerOfTwo(h.width) && PowerOfTwo(h.height)) << h.width << "x" << h.height;

    // A full chain ends at 1 x 1; without one GL treats the texture as
    // incomplete and draws it white.
    LevelCountingGl gl;
    uint32_t texture = 0;
    ASSERT_EQ(LoadDDSTextureBytes(gl, file, texture), img::kSuccess);
    ASSERT_FALSE(gl.sizes.empty());
    EXPECT_EQ(gl.sizes.back(), std::make_pair(1, 1));
    EXPECT_TRUE(h.mip_map_count == gl.sizes.size() && (h.caps & dds::kMipMap));
    size_t bytes = 128;
    for (const auto& [w, hh] : gl.sizes)
      bytes += dxt5 ? size_t((w + 3) / 4) * size_t((hh + 3) / 4) * 16 : size_t(w) * size_t(hh) * 4;
    EXPECT_EQ(file.size(), bytes);

    // Something is drawn: only the transparent blank has no opaque texel.
    if (bgra) {
      bool any_ink = false;
      for (size_t p = 128 + 3; p < 128 + size_t(h.width) * h.height * 4; p += 4) any_ink |= file[p] != 0;
      EXPECT_EQ(any_ink, name != "images/blank_op.dds");
    }
    identify_args += " " + Quote(path + "[0]");
    want_identify << "DDS " << h.width << " " << h.height << "\n";
  }
  // ImageMagick as the independent reader, once over all of them.
  const std::optional<std::string> seen =
      image_test::Run(image_test::MagickDir() + "identify -format '%m %w %h\\n'" + identify_args);
  ASSERT_TRUE(seen.has_value());
  EXPECT_EQ(*seen, want_identify.str());
}

TEST(GuiData, FontsAreTxfFilesWithEveryPrintableGlyphInsideTheTexture) {
  for (const char* name : {"Fonts/Helvetica-Bold.txf", "Fonts/Bookman-Demi.txf"}) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> file = ReadBytes(kData + "/" + name);
    ASSERT_GE(file.size(), 32u);
    // The magic, the byte-order mark, and one alpha byte per texel.
    EXPECT_TRUE(std::memcmp(file.data(), "\xfftxf", 4) == 0 && At<uint32_t>(file, 4) == 0x12345678u &&
                At<uint32_t>(file, 8) == 0);
    const uint32_t width = At<uint32_t>(file, 12), height = At<uint32_t>(file, 16), ascent = At<uint32_t>(file, 20);
    const uint32_t descent = At<uint32_t>(file, 24), count = At<uint32_t>(file, 28);
    // PLIB stops the program on a texture that is not a power of two.
    EXPECT_TRUE(PowerOfTwo(width) && PowerOfTwo(height) && width <= 4096 && height <= 4096);
    EXPECT_TRUE(ascent >= 16 && ascent <= 127 && descent <= 64) << ascent << " " << descent;
    ASSERT_GE(count, 95u);
    ASSERT_EQ(file.size(), 32 + size_t(count) * 12 + size_t(width) * height);
    const uint8_t* texels = file.data() + 32 + size_t(count) * 12;

    struct Rect { int x, y, w, h; };
    std::vector<Rect> rects;
    Rect vee{0, 0, 0, 0};
    std::array<int, 128> seen{};
    for (uint32_t i = 0; i < count; ++i) {
      const size_t at = 32 + size_t(i) * 12;
      const uint16_t c = At<uint16_t>(file, at);
      const int w = file[at + 2], h = file[at + 3];
      const int y_offset = int8_t(file[at + 5]), advance = int8_t(file[at + 6]);
      const int x = At<uint16_t>(file, at + 8), y = At<uint16_t>(file, at + 10);
      SCOPED_TRACE(std::string("glyph ") + char(c));
      if (c < 128) ++seen[c];
      EXPECT_TRUE(advance > 0 && x + w <= int(width) && y + h <= int(height));
      if (c == ' ') continue;
      EXPECT_TRUE(w > 0 && h > 0 && y_offset + h <= int(ascent) && -y_offset <= int(descent));
      for (const Rect& r : rects) EXPECT_FALSE(x < r.x + r.w && r.x < x + w && y < r.y + r.h && r.y < y + h);
      rects.push_back({x, y, w, h});
      if (c == 'V') vee = rects.back();
    }
    for (int c = 32; c < 127; ++c) EXPECT_EQ(seen[c], 1) << char(c);

    // Ink only inside the glyph rectangles: none left once they are cleared.
    std::vector<uint8_t> outside(texels, texels + size_t(width) * height);
    for (const Rect& r : rects)
      for (int yy = r.y; yy < r.y + r.h; ++yy) std::fill_n(outside.begin() + long(yy) * width + r.x, r.w, 0);
    EXPECT_EQ(std::count_if(outside.begin(), outside.end(), [](uint8_t t) { return t != 0; }), 0);

    // Rows are stored bottom first: a 'V' is wide in its last row and
    // narrow in its first.
    ASSERT_GT(vee.h, 4);
    auto spread = [&](int row) {
      int first = vee.w, last = -1;
      for (int xx = 0; xx < vee.w; ++xx)
        if (texels[size_t(row) * width + size_t(vee.x + xx)] > 128) first = std::min(first, xx), last = xx;
      return last - first;
    };
    EXPECT_GT(spread(vee.y + vee.h - 2), 2 * spread(vee.y + 1));
  }
}

// The program's own reader takes each as 16-bit PCM of a fraction of a
// second to a few, not silent, and sox reads the same length.
TEST(GuiData, SoundsAreWholeSixteenBitPcmWaves) {
  for (const SoundTableRow& row : kSoundTable) {
    SCOPED_TRACE(row.file);
    const std::string path = kData + "/" + row.file;
    const std::vector<uint8_t> file = ReadBytes(path);
    ASSERT_GE(file.size(), 44u);
    EXPECT_EQ(At<uint32_t>(file, 4), file.size() - 8);  // the RIFF chunk is the whole file
    WavSound sound;
    ASSERT_EQ(ReadWav(file, sound), WavError::kNone);
    EXPECT_EQ(sound.bits, 16);
    int peak = 0;  // above -30 dBFS
    for (size_t p = 0; p + 1 < sound.samples.size(); p += 2) peak = std::max(peak, std::abs(At<int16_t>(sound.samples, p)));
    EXPECT_GT(peak, 1000);
    EXPECT_TRUE(sound.seconds() > 0.02 && sound.seconds() < 5) << sound.seconds();
    const std::optional<std::string> sox_seconds = image_test::Run("soxi -D " + Quote(path));
    ASSERT_TRUE(sox_seconds.has_value());
    EXPECT_NEAR(std::stod(*sox_seconds), sound.seconds(), 0.001);
  }
}

}  // namespace
