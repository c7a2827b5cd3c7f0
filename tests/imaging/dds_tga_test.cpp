// DDS and TGA files: the bytes we write, our DDS reader against files the
// fixture writes, ImageMagick reading both back (size, format, orientation,
// pixels), and the GL uploads and screenshot against a recording fake.
#include <gtest/gtest.h>

#include <cstring>

#include "imaging/dds_header.h"
#include "imaging/gl_image.h"
#include "imaging/iwi_image.h"
#include "imaging/png_file.h"
#include "tests/imaging/image_test_support.h"
#include "tools/fixture/iwi_writer.h"

namespace {

using image_test::HeaderOf;
using image_test::TempDir;

IwiImage Loaded(uint8_t format, int w, int h, bool mips = true) {
  fixture::IwiDesc d;
  d.format = format;
  d.picture = fixture::MakeTestPicture(w, h, format == 1 || format == 12 || format == 13);
  d.mips = mips;
  IwiImage image;
  EXPECT_EQ(image.LoadIWIBytes(fixture::WriteIwi(d)), img::kSuccess);
  image.name = "test.iwi";
  return image;
}

TEST(DdsWriter, IwiDxt1KeepsTheStoredLevelBytesTopLevelFirst) {
  IwiImage image = Loaded(11, 32, 16);
  std::vector<uint8_t> dds;
  ASSERT_EQ(image.EncodeDDS(dds), img::kSuccess);
  DdsHeader h = HeaderOf(dds);
  EXPECT_EQ(std::vector<uint32_t>({h.four_cc, h.flags, h.caps, h.mip_map_count}),
            std::vector<uint32_t>({dds::kDXT1, 0x21007u, 0x401008u, 6u}));
  std::vector<uint8_t> body(dds.begin() + 128, dds.end()), want;
  for (const auto& level : image.stored_levels) want.insert(want.end(), level.begin(), level.end());
  EXPECT_EQ(body, want);
  // Uncompressed: the top level only.
  image = Loaded(1, 64, 64);
  ASSERT_EQ(image.EncodeDDS(dds), img::kSuccess);
  EXPECT_EQ(dds.size(), 128u + 16384u);
  EXPECT_EQ(std::make_pair(HeaderOf(dds).pf_flags, HeaderOf(dds).caps), std::make_pair(0x41u, 0x1000u));
}

TEST(DdsReader, ReadsEveryS3tcLevelWithoutFlipping) {
  fixture::Picture p = fixture::MakeTestPicture(20, 12, true);
  for (uint8_t format : {uint8_t(11), uint8_t(12), uint8_t(13)}) {
    std::vector<uint8_t> file = fixture::WriteDds(p, format);
    IwiImage image;
    ASSERT_EQ(image.LoadDDSBytes(file), img::kSuccess);
    EXPECT_EQ(image.iwi_header.format, format);
    EXPECT_EQ(image.mip_count, 6);  // 20x12, 10x6, 5x3, 3x2, 2x1, 1x1
    EXPECT_EQ(image.levels[0], fixture::EncodeLevel(p, format));
    // Written back, the DDS is the file we read.
    std::vector<uint8_t> again;
    ASSERT_EQ(image.EncodeDDS(again), img::kSuccess);
    EXPECT_EQ(std::vector<uint8_t>(again.begin() + 128, again.end()),
              std::vector<uint8_t>(file.begin() + 128, file.end()));
  }
}

TEST(DdsReader, RefusesBadHeadersFormatsAndShortFiles) {
  std::vector<uint8_t> file = fixture::WriteDds(fixture::MakeTestPicture(16, 16), 13);
  IwiImage image;
  std::vector<uint8_t> bad = file;
  bad[0] = 'X';
  EXPECT_EQ(image.LoadDDSBytes(bad), img::kBadDdsHeader);
  EXPECT_EQ(image.LoadDDSBytes(std::span<const uint8_t>(file.data(), 100)), img::kBadDdsHeader);
  bad = file;
  std::memcpy(&bad[84], "ATI2", 4);
  EXPECT_EQ(image.LoadDDSBytes(bad), img::kDdsFormat);
  std::memcpy(&bad[84], "DXT2", 4);
  EXPECT_EQ(image.LoadDDSBytes(bad), img::kDdsFormat);
  bad = file;
  bad[28] = 40;  // mip count past anything a file can hold
  EXPECT_EQ(image.LoadDDSBytes(bad), img::kSizeError);
  for (size_t n = 128; n < file.size(); ++n)
    EXPECT_EQ(image.LoadDDSBytes(std::span<const uint8_t>(file.data(), n)), img::kSizeError) << n;
  EXPECT_FALSE(image.loaded);
}

TEST(TgaWriter, StreamedFileIsTheWholePictureBottomRowFirst) {
  TempDir dir;
  for (uint8_t format : {uint8_t(1), uint8_t(2), uint8_t(11), uint8_t(13)}) {
    for (auto [w, h] : {std::pair{9, 150}, std::pair{64, 64}, std::pair{3, 1}}) {
      SCOPED_TRACE(std::to_string(format) + " " + std::to_string(w) + "x" + std::to_string(h));
      IwiImage image = Loaded(format, w, h, false);
      std::vector<uint8_t> encoded;
      ASSERT_EQ(image.EncodeTGA(encoded), img::kSuccess);
      bool written = false;
      ASSERT_EQ(image.WriteTGA(dir.Sub("s.tga"), &written), img::kSuccess);
      EXPECT_TRUE(written);
      EXPECT_EQ(image_test::ReadBytes(dir.Sub("s.tga")), encoded);
    }
  }
  IwiImage image = Loaded(11, 8, 8);
  image.iwi_header.format = 6;  // no converter: no file either
  EXPECT_EQ(image.WriteTGA(dir.Sub("x.tga")), img::kNoConverter);
  EXPECT_EQ(WritePNG(image, dir.Sub("x.png")), img::kNoConverter);
  EXPECT_FALSE(std::filesystem::exists(dir.Sub("x.tga")));
  EXPECT_FALSE(std::filesystem::exists(dir.Sub("x.png")));
}

TEST(ImageMagick, ReadsEveryDdsTgaAndPngWeWriteAlike) {
  if (image_test::MagickDir().empty()) GTEST_SKIP() << "ImageMagick is not installed";
  TempDir dir;
  struct Case {
    uint8_t format;
    const char* compression;
  };
  const Case kCases[] = {{11, "DXT1"}, {12, "DXT3"}, {13, "DXT5"}, {1, "None"}, {2, "None"}};
  for (const Case& c : kCases) {
    for (auto [w, h] : {std::pair{64, 32}, std::pair{20, 12}}) {
      SCOPED_TRACE(std::to_string(c.format) + " " + std::to_string(w) + "x" + std::to_string(h));
      IwiImage image = Loaded(c.format, w, h);
      std::string dds = dir.Sub("x.dds"), tga = dir.Sub("x.tga"), png = dir.Sub("x.png");
      ASSERT_EQ(image.WriteDDS(dds), img::kSuccess);
      ASSERT_EQ(image.WriteTGA(tga), img::kSuccess);
      ASSERT_EQ(WritePNG(image, png), img::kSuccess);
      std::string size = std::to_string(w) + " " + std::to_string(h);
      EXPECT_EQ(image_test::Identify(dds, "%m %w %h %C"), "DDS " + size + " " + c.compression);
      EXPECT_EQ(image_test::Identify(tga, "%m %w %h %[orientation]"), "TGA " + size + " BottomLeft");
      std::vector<uint8_t> from_dds = image_test::MagickPixels(dds), from_tga = image_test::MagickPixels(tga);
      ASSERT_EQ(from_dds.size(), size_t(w) * size_t(h) * 4);
      EXPECT_LE(image_test::MaxChannelDifference(from_dds, from_tga), 1);
      // The PNG is the TGA's picture exactly, alpha included.
      EXPECT_EQ(image_test::Identify(png, "%m %w %h %A"), "PNG " + size + " True");
      EXPECT_EQ(image_test::MagickPixels(png), from_tga);
    }
  }
}

// Records what the uploads ask of GL.
class FakeGl : public ImageGl {
 public:
  struct Upload {
    int32_t level, w, h;
    uint32_t internal_format;
    std::vector<uint8_t> data;
  };
  uint32_t GenTexture() override { return ++names; }
  void BindTexture(uint32_t, uint32_t) override {}
  void TexParameter(uint32_t, uint32_t, int32_t) override {}
  void PixelStore(uint32_t name, int32_t value) override { stores.push_back({name, value}); }
  void CompressedTexImage2D(uint32_t, int32_t level, uint32_t internal, int32_t w, int32_t h,
                            std::span<const uint8_t> data) override {
    uploads.push_back({level, w, h, internal, {data.begin(), data.end()}});
  }
  void TexImage2D(uint32_t, int32_t level, int32_t internal, int32_t w, int32_t h, uint32_t format, uint32_t type,
                  const void* data) override {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    const size_t bpp = type != gl::kUnsignedByte ? 2 : format == gl::kRGB ? 3 : 4;
    uploads.push_back({level, w, h, uint32_t(internal), {p, p + size_t(w) * size_t(h) * bpp}});
  }
  void ReadBuffer(uint32_t) override {}
  void ReadPixels(int32_t, int32_t, int32_t w, int32_t h, uint32_t, uint32_t, void* out) override {
    // Row r filled with the byte r: the screenshot must store them reversed.
    for (int32_t r = 0; r < h; ++r) std::memset(static_cast<uint8_t*>(out) + size_t(r) * size_t(w) * 3, r, size_t(w) * 3);
  }
  uint32_t names = 0;
  std::vector<Upload> uploads;
  std::vector<std::pair<uint32_t, int32_t>> stores;
};

TEST(GlUpload, UploadsEveryLevelHalvingTheSize) {
  FakeGl gl;
  uint32_t texture = 0;
  IwiImage none;
  EXPECT_EQ(UploadIWI(gl, none, texture), img::kNotLoaded);
  IwiImage image = Loaded(13, 16, 4);
  ASSERT_EQ(UploadIWI(gl, image, texture), img::kSuccess);
  EXPECT_EQ(texture, 1u);
  std::vector<std::pair<int32_t, int32_t>> sizes;
  for (const FakeGl::Upload& u : gl.uploads) sizes.emplace_back(u.w, u.h);
  EXPECT_EQ(sizes, (std::vector<std::pair<int32_t, int32_t>>{{16, 4}, {8, 2}, {4, 1}, {2, 1}, {1, 1}}));
  ASSERT_FALSE(gl.uploads.empty());
  EXPECT_EQ(gl.uploads[0].data, image.levels[0]);
  image.levels[3].clear();
  EXPECT_EQ(UploadIWI(gl, image, texture), img::kEmptyLevel);

  // A cube map is drawn as its first face, from that face's own levels.
  fixture::IwiDesc d;
  d.faces = fixture::MakeCubeFaces(8);
  IwiImage cube;
  ASSERT_EQ(cube.LoadIWIBytes(fixture::WriteIwi(d)), img::kSuccess);
  gl.uploads.clear();
  ASSERT_EQ(UploadIWI(gl, cube, texture), img::kSuccess);
  ASSERT_EQ(gl.uploads.size(), 4u);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(gl.uploads[i].data, cube.levels[i]);
}

TEST(GlUpload, DdsTextureFlipsLevelsAndLeavesNoUnpackStateBehind) {
  FakeGl gl;
  uint32_t texture = 0;
  std::vector<uint8_t> file = fixture::WriteDds(fixture::MakeTestPicture(8, 8), 11, false);
  ASSERT_EQ(LoadDDSTextureBytes(gl, file, texture), img::kSuccess);
  ASSERT_EQ(gl.uploads.size(), 1u);
  // Two block rows exchanged, each block's index rows reversed.
  const uint8_t* top_left = &file[128];
  const std::vector<uint8_t>& got = gl.uploads[0].data;
  EXPECT_TRUE(std::equal(top_left, top_left + 4, got.begin() + 16));
  EXPECT_EQ(got[16 + 4], top_left[7]);
  file.resize(file.size() - 1);
  EXPECT_EQ(LoadDDSTextureBytes(gl, file, texture), img::kSizeError);

  // An uncompressed 16-bit file: swap bytes on, and everything put back.
  std::vector<uint8_t> rgb565(128 + 3 * 2 * 2, 0);
  DdsHeader h{};
  h.magic = dds::kMagic, h.size = 124, h.flags = 0x1007, h.width = 3, h.height = 2, h.pf_size = 32;
  h.pf_flags = dds::kRGB, h.rgb_bit_count = 16, h.r_mask = 0xF800, h.g_mask = 0x7E0, h.b_mask = 0x1F;
  std::memcpy(rgb565.data(), &h, 128);
  gl.stores.clear();
  ASSERT_EQ(LoadDDSTextureBytes(gl, rgb565, texture), img::kSuccess);
  ASSERT_FALSE(gl.stores.empty());
  EXPECT_EQ(gl.stores.back(), (std::pair<uint32_t, int32_t>{0x0CF5, 4}));
  EXPECT_NE(std::find(gl.stores.begin(), gl.stores.end(), std::pair<uint32_t, int32_t>{gl::kUnpackSwapBytes, 0}),
            gl.stores.end());
}

TEST(GlUpload, ScreenshotIsAHeaderAndTopRowFirstPixels) {
  TempDir dir;
  FakeGl gl;
  ASSERT_TRUE(QorScreenShot(gl, dir.Sub("QorVantor_screenshot.dds"), 640, 480));
  std::vector<uint8_t> file = image_test::ReadBytes(dir.Sub("QorVantor_screenshot.dds"));
  ASSERT_EQ(file.size(), 128u + 921600u);
  EXPECT_EQ(file[128], 479 & 0xFF);  // GL's last row is the picture's top
  EXPECT_EQ(HeaderOf(file).pf_flags, 0x40u);
  EXPECT_FALSE(QorScreenShot(gl, dir.Sub("no/such/folder/shot.dds"), 640, 480));
}

}  // namespace
