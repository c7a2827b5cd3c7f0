// The games' own files in ../shared/samples: every IWI decodes and its
// stored levels (all six faces of the cube map) cover the file from the
// level start to the end, the stock format-6 logo is refused with 20, the
// DDS files we write from them read the same in ImageMagick as our TGA, and
// every material resolves its slots.
#include <gtest/gtest.h>

#include <filesystem>

#include "imaging/iwd_archive.h"
#include "imaging/iwi_image.h"
#include "model/material_library.h"
#include "tests/imaging/image_test_support.h"

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> SampleFiles(const std::string& folder) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (const auto& game : fs::directory_iterator(image_test::SamplesDir(), ec)) {
    fs::path dir = game.path() / "raw" / folder;
    if (!fs::is_directory(dir)) continue;
    for (const auto& f : fs::directory_iterator(dir)) files.push_back(f.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(RealImages, EveryIwiDecodesAndItsLevelsEndTheFile) {
  std::vector<fs::path> files = SampleFiles("images");
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

TEST(RealImages, StockFormatSixLogoIsUnknownFormat) {
  std::string iwd = image_test::SamplesDir() + "/cod4-modtools/main/z_modwarfare.iwd";
  IwdArchive archive;
  if (!archive.Open(iwd)) GTEST_SKIP() << "no " << iwd;
  std::vector<uint8_t> logo, buffer;
  for (IwdStep step = archive.First(); step == IwdStep::kEntry; step = archive.Next()) {
    IwdEntryInfo info;
    if (!archive.Info(info) || info.name != "images/logo_cod2.iwi") continue;
    ASSERT_EQ(archive.Extract(info, buffer, [&](const uint8_t* p, size_t n) {
      logo.insert(logo.end(), p, p + n);
      return true;
    }), IwdRead::kOk);
  }
  ASSERT_FALSE(logo.empty());
  IwiImage image;
  EXPECT_EQ(image.LoadIWIBytes(logo), img::kUnknownFormat);
  EXPECT_FALSE(image.loaded);
}

TEST(RealImages, DdsWrittenFromEachKindReadsInImageMagickLikeOurTga) {
  if (image_test::MagickDir().empty()) GTEST_SKIP() << "ImageMagick is not installed";
  // One file of each version and format the samples hold.
  const char* kFiles[] = {
      "cod4-deathrun/raw/images/weapon_tomahawk.iwi",       // v6 DXT1
      "cod4-deathrun/raw/images/drgibs.iwi",                // v6 DXT3
      "cod4-deathrun/raw/images/rank_0.iwi",                // v6 DXT5
      "cod4-surf/raw/images/surf_banner.iwi",               // v6 RGB8, 610 x 80
      "bo-t7mod/raw/images/~-gx2_icon_c.iwi",               // v13 DXT1
      "bo-t7mod/raw/images/$identitynormalmap.iwi",         // v13 DXT5, 4 x 4, no mipmaps
  };
  image_test::TempDir dir;
  for (const char* name : kFiles) {
    std::string path = image_test::SamplesDir() + "/" + name;
    if (!fs::exists(path)) GTEST_SKIP() << "no " << path;
    SCOPED_TRACE(name);
    IwiImage image;
    ASSERT_TRUE(image.SetImagePath(path));
    ASSERT_EQ(image.LoadIWI(), img::kSuccess);
    ASSERT_EQ(image.WriteDDS(dir.Sub("x.dds")), img::kSuccess);
    ASSERT_EQ(image.WriteTGA(dir.Sub("x.tga")), img::kSuccess);
    EXPECT_EQ(image_test::Identify(dir.Sub("x.dds"), "%m %w %h"),
              "DDS " + std::to_string(image.width) + " " + std::to_string(image.height));
    EXPECT_LE(image_test::MaxChannelDifference(image_test::MagickPixels(dir.Sub("x.dds")),
                                               image_test::MagickPixels(dir.Sub("x.tga"))),
              1);
  }
}

TEST(RealMaterials, EveryMaterialResolvesItsSlots) {
  std::vector<fs::path> files = SampleFiles("materials");
  if (files.empty()) GTEST_SKIP() << "no samples in " << image_test::SamplesDir();
  for (const fs::path& f : files) {
    SCOPED_TRACE(f.string());
    MaterialLibrary library;
    ASSERT_TRUE(library.SetRoot(f.parent_path().parent_path().string() + "/"));
    MaterialEntry entry;
    ASSERT_EQ(library.LoadMaterial(f.filename().string(), entry), err::kSuccess);
    ASSERT_GT(entry.image_count, 0);
    ASSERT_EQ(entry.images.size(), size_t(entry.image_count));
    for (const MaterialImage& image : entry.images)
      EXPECT_TRUE(!image.slot.empty() && image.iwi_file.size() > 4 && image.iwi_file.ends_with(".iwi")) << image.iwi_file;
    EXPECT_EQ(entry.images[0].slot, "colorMap");
  }
}

}  // namespace
