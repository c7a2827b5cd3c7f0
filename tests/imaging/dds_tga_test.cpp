// DDS and TGA files: the bytes we write, where we refuse to write them, our
// DDS reader on what we write and on bad files, ImageMagick reading them and
// the PNG back (frames, size, orientation, pixels), and the GL uploads,
// texture filters and screenshot against a recording fake.
#include <fcntl.h>  // Required for: open(), O_NONBLOCK
#include <gtest/gtest.h>
#include <sys/stat.h>  // Required for: mkfifo()
#include <unistd.h>    // Required for: close()

#include <chrono>
#include <cstring>
#include <filesystem>
#include <future>
#include <iterator>  // Required for: std::size

#include "imaging/gl_image.h"
#include "imaging/png_file.h"
#include "tests/imaging/image_test_support.h"

namespace {

IwiImage Loaded(uint8_t format, int w, int h, bool mips = true) {
  return image_test::Loaded(image_test::Desc(6, format, w, h, mips));
}

// Compressed images keep their stored level bytes, each face with its
// levels, top level first; uncompressed ones the top level of each face.
// Read back, a compressed file gives the faces and levels it was made from.
TEST(DdsWriter, KeepsTheStoredLevelsOfEachFace) {
  struct Case {
    fixture::IwiDesc desc;
    std::vector<uint32_t> header;  // four_cc, flags, pf_flags, caps, caps2, mip_map_count
    size_t body;  // bytes after the header; 0: every stored level
  };
  const Case cases[] = {
      {image_test::Desc(6, 11, 32, 16), {dds::kDXT1, 0x21007, 0x4, 0x401008, 0, 6}, 0},
      {image_test::Desc(8, 12, 20, 12), {dds::kDXT3, 0x21007, 0x4, 0x401008, 0, 6}, 0},
      {image_test::Desc(6, 1, 64, 64), {0, 0x1007, 0x41, 0x1000, 0, 0}, 16384},
      {image_test::CubeDesc(6, 13, 8, true), {dds::kDXT5, 0x21007, 0x4, 0x401008, 0xFE00, 4}, 0},
      {image_test::CubeDesc(6, 13, 8, false), {dds::kDXT5, 0x21007, 0x4, 0x1008, 0xFE00, 1}, 0},
      {image_test::CubeDesc(13, 1, 4, true), {0, 0x1007, 0x41, 0x1008, 0xFE00, 0}, 6 * 64},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    IwiImage image = image_test::Loaded(cases[i].desc);
    std::vector<uint8_t> dds;
    ASSERT_EQ(image.EncodeDDS(dds), img::kSuccess);
    DdsHeader h = image_test::HeaderOf(dds);
    EXPECT_EQ(std::vector<uint32_t>({h.four_cc, h.flags, h.pf_flags, h.caps, h.caps2, h.mip_map_count}),
              cases[i].header);
    const std::vector<uint8_t> body(dds.begin() + 128, dds.end());
    if (cases[i].body) {
      EXPECT_EQ(body.size(), cases[i].body);
      continue;
    }
    EXPECT_EQ(body, image_test::Joined(image.stored_levels));
    IwiImage back;
    ASSERT_EQ(back.LoadDDSBytes(dds), img::kSuccess);
    EXPECT_EQ(std::make_tuple(back.iwi_header.format, back.face_count, back.mip_count),
              std::make_tuple(image.iwi_header.format, image.face_count, image.mip_count));
    EXPECT_EQ(back.levels, image.stored_levels);
  }
}

// Headers and formats we do not read, sizes past the file, cube maps that
// do not hold six square faces, and every short prefix.
TEST(DdsReader, RefusesBadHeadersFormatsAndShortFiles) {
  const std::vector<uint8_t> file = fixture::WriteDds(fixture::MakeTestPicture(16, 16), 13);
  std::vector<uint8_t> cube;
  ASSERT_EQ(image_test::Loaded(image_test::CubeDesc(6, 11, 8, true)).EncodeDDS(cube), img::kSuccess);
  auto patched = [](std::vector<uint8_t> bad, size_t at, const char (&value)[5]) {
    std::memcpy(&bad[at], value, 4);
    return bad;
  };
  const std::pair<std::vector<uint8_t>, ImageResult> cases[] = {
      {patched(file, 0, "XDS "), img::kBadDdsHeader},
      {std::vector<uint8_t>(file.begin(), file.begin() + 100), img::kBadDdsHeader},
      {patched(file, 84, "ATI2"), img::kDdsFormat},
      {patched(file, 84, "DXT2"), img::kDdsFormat},
      {patched(file, 28, "\x28\0\0\0"), img::kSizeError},  // mip count past anything a file can hold
      {patched(cube, 112, "\0\x0E\0\0"), img::kDdsFormat},  // two faces only
      {patched(cube, 112, "\0\0\x20\0"), img::kDdsFormat},  // a volume
      {patched(cube, 12, "\4\0\0\0"), img::kSizeError},     // 8 wide, 4 high
      {std::vector<uint8_t>(cube.begin(), cube.end() - 1), img::kSizeError},
  };
  IwiImage image;
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(image.LoadDDSBytes(cases[i].first), cases[i].second) << "case " << i;
  for (size_t n = 128; n < file.size(); ++n)
    EXPECT_EQ(image.LoadDDSBytes(std::span<const uint8_t>(file.data(), n)), img::kSizeError) << n;
  EXPECT_FALSE(image.loaded);
}

TEST(TgaWriter, StreamedFileIsTheWholePictureBottomRowFirst) {
  image_test::TempDir dir;
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
  for (const char* name : {"x.tga", "x.png"}) EXPECT_FALSE(std::filesystem::exists(dir.Sub(name))) << name;
}

// Where DDS and TGA writes (the texture export, vantor-cli convert) may not
// go: a FIFO or a folder under the output name is refused with 5 instead of
// being opened (opening a FIFO for writing waits for a reader for ever).
TEST(ImageWriteTarget, FifoAndFolderOutputsAreRefusedWithoutBlocking) {
  image_test::TempDir dir;
  IwiImage image = Loaded(11, 16, 16);
  ASSERT_EQ(::mkfifo(dir.Sub("out.fifo").c_str(), 0600), 0);
  std::filesystem::create_directories(dir.Sub("out.folder"));
  for (const char* name : {"out.fifo", "out.folder"}) {
    for (bool tga : {false, true}) {
      SCOPED_TRACE(std::string(name) + (tga ? " as TGA" : " as DDS"));
      const std::string out = dir.Sub(name);
      auto write = std::async(std::launch::async, [&image, out, tga] {
        return tga ? image.WriteTGA(out) : image.WriteDDS(out);
      });
      const bool blocked = write.wait_for(std::chrono::seconds(10)) != std::future_status::ready;
      EXPECT_FALSE(blocked) << "the write blocked on the output";
      // Let a blocked open through so the test ends with its failure.
      const int fd = blocked ? ::open(out.c_str(), O_RDONLY | O_NONBLOCK) : -1;
      EXPECT_EQ(write.get(), img::kCantOpen);
      if (fd >= 0) ::close(fd);
    }
  }
  EXPECT_TRUE(std::filesystem::is_fifo(dir.Sub("out.fifo")));
}

// ImageMagick reads what we write alike: frame f of the DDS is face f of the
// TGA strip (one face unless a cube map), the PNG is the TGA's picture
// exactly, alpha included; every format, a fixture cube map and a real one.
TEST(ImageMagick, ReadsOurDdsFramesAsTheFacesOfOurTgaAndPng) {
  if (image_test::MagickDir().empty()) GTEST_SKIP() << "ImageMagick is not installed";
  image_test::TempDir dir;
  std::vector<IwiImage> images;
  for (int format : {11, 12, 13, 1, 2}) images.push_back(Loaded(uint8_t(format), 20, 12));
  images.push_back(image_test::Loaded(image_test::CubeDesc(6, 11, 32, true)));
  const std::string sky = image_test::SamplesDir() + "/bo-ville/raw/images/skybox_zom_moon_ft.iwi";
  if (std::filesystem::exists(sky)) {
    ASSERT_TRUE(images.emplace_back().SetImagePath(sky));
    ASSERT_EQ(images.back().LoadIWI(), img::kSuccess);
  }
  for (IwiImage& image : images) {
    const size_t w = size_t(image.width), h = size_t(image.height), faces = size_t(image.face_count);
    SCOPED_TRACE(testing::Message() << int(image.iwi_header.format) << " " << faces << " x " << w << "x" << h);
    const std::string dds = dir.Sub("x.dds"), tga = dir.Sub("x.tga"), png = dir.Sub("x.png");
    ASSERT_EQ(image.WriteDDS(dds), img::kSuccess);
    ASSERT_EQ(image.WriteTGA(tga), img::kSuccess);
    ASSERT_EQ(WritePNG(image, png), img::kSuccess);
    const std::string size = std::to_string(w) + " " + std::to_string(h);
    std::string frames;
    for (size_t f = 0; f < faces; ++f) frames += std::to_string(f) + " " + size + "\n";
    EXPECT_EQ(image_test::Identify(dds, "%p %w %h\\n"), frames);
    EXPECT_EQ(image_test::Identify(tga, "%w %h %[orientation]"),
              std::to_string(faces * w) + " " + std::to_string(h) + " BottomLeft");
    EXPECT_EQ(image_test::Identify(png, "%m %A"), "PNG True");
    std::vector<uint8_t> strip = image_test::MagickPixels(tga);
    EXPECT_EQ(image_test::MagickPixels(png), strip);
    ASSERT_EQ(strip.size(), faces * w * h * 4);
    for (size_t f = 0; f < faces; ++f) {
      std::vector<uint8_t> face;  // row y of face f is at (y * faces + f) * w * 4 in the strip
      for (size_t at = f * w * 4; at < strip.size(); at += faces * w * 4)
        face.insert(face.end(), strip.begin() + long(at), strip.begin() + long(at + w * 4));
      const std::vector<uint8_t> frame = image_test::MagickPixels(dds + "[" + std::to_string(f) + "]");
      EXPECT_LE(image_test::MaxChannelDifference(frame, face), 1) << "face " << f;
    }
  }
}

// Records what the uploads ask of GL.
class FakeGl : public ImageGl {
 public:
  uint32_t GenTexture() override { return ++names; }
  void BindTexture(uint32_t, uint32_t) override {}
  void TexParameter(uint32_t, uint32_t name, int32_t value) override {
    if (name == gl::kTextureMinFilter) min_filter = value;
  }
  void PixelStore(uint32_t name, int32_t value) override { stores.push_back({name, value}); }
  void CompressedTexImage2D(uint32_t, int32_t, uint32_t, int32_t w, int32_t h, std::span<const uint8_t> data) override {
    sizes.emplace_back(w, h), uploads.emplace_back(data.begin(), data.end());
  }
  void TexImage2D(uint32_t, int32_t, int32_t, int32_t w, int32_t h, uint32_t format, uint32_t type,
                  const void* data) override {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    const size_t bpp = type != gl::kUnsignedByte ? 2 : format == gl::kRGB ? 3 : 4;
    sizes.emplace_back(w, h), uploads.emplace_back(p, p + size_t(w) * size_t(h) * bpp);
  }
  void ReadBuffer(uint32_t) override {}
  void ReadPixels(int32_t, int32_t, int32_t w, int32_t h, uint32_t, uint32_t, void* out) override {
    // Row r filled with the byte r: the screenshot must store them reversed.
    for (int32_t r = 0; r < h; ++r) std::memset(static_cast<uint8_t*>(out) + size_t(r) * size_t(w) * 3, r, size_t(w) * 3);
  }
  uint32_t names = 0;
  int32_t min_filter = 0;
  std::vector<std::pair<int32_t, int32_t>> sizes;  // of each upload, in order
  std::vector<std::vector<uint8_t>> uploads;
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
  EXPECT_EQ(gl.sizes, (std::vector<std::pair<int32_t, int32_t>>{{16, 4}, {8, 2}, {4, 1}, {2, 1}, {1, 1}}));
  ASSERT_FALSE(gl.uploads.empty());
  EXPECT_EQ(gl.uploads[0], image.levels[0]);
  image.levels[3].clear();
  EXPECT_EQ(UploadIWI(gl, image, texture), img::kEmptyLevel);

  // A cube map is drawn as its first face, from that face's own levels.
  IwiImage cube = image_test::Loaded(image_test::CubeDesc(6, 11, 8, true));
  gl.uploads.clear();
  ASSERT_EQ(UploadIWI(gl, cube, texture), img::kSuccess);
  ASSERT_EQ(gl.uploads.size(), 4u);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(gl.uploads[i], cube.levels[i]);
}

TEST(GlUpload, DdsTextureFlipsLevelsFiltersFullChainsAndLeavesNoUnpackState) {
  FakeGl gl;
  uint32_t texture = 0;
  std::vector<uint8_t> file = fixture::WriteDds(fixture::MakeTestPicture(8, 8), 11, false);
  ASSERT_EQ(LoadDDSTextureBytes(gl, file, texture), img::kSuccess);
  ASSERT_EQ(gl.uploads.size(), 1u);
  // Two block rows exchanged, each block's index rows reversed.
  const uint8_t* top_left = &file[128];
  const std::vector<uint8_t>& got = gl.uploads[0];
  EXPECT_TRUE(std::equal(top_left, top_left + 4, got.begin() + 16));
  EXPECT_EQ(got[16 + 4], top_left[7]);
  // Sampled through the mip chain only when it is complete: an incomplete
  // chain would leave the texture incomplete (drawn white).
  EXPECT_EQ(gl.min_filter, gl::kLinear);
  ASSERT_EQ(LoadDDSTextureBytes(gl, fixture::WriteDds(fixture::MakeTestPicture(16, 8), 11), texture), img::kSuccess);
  EXPECT_EQ(gl.min_filter, gl::kLinearMipmapLinear);
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
  image_test::TempDir dir;
  FakeGl gl;
  ASSERT_TRUE(QorScreenShot(gl, dir.Sub("QorVantor_screenshot.dds"), 640, 480));
  std::vector<uint8_t> file = image_test::ReadBytes(dir.Sub("QorVantor_screenshot.dds"));
  ASSERT_EQ(file.size(), 128u + 921600u);
  EXPECT_EQ(file[128], 479 & 0xFF);  // GL's last row is the picture's top
  EXPECT_EQ(image_test::HeaderOf(file).pf_flags, 0x40u);
  EXPECT_FALSE(QorScreenShot(gl, dir.Sub("no/such/folder/shot.dds"), 640, 480));
}

}  // namespace
