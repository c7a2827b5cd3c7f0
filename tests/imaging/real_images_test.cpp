// The games' own files in ../shared/samples: every IWI decodes and its
// stored levels (all six faces of the cube map) cover the file from the
// level start to the end, and every material resolves its slots; normal
// maps rebuilt as RGB.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "imaging/iwd_archive.h"
#include "imaging/iwi_image.h"
#include "imaging/normal_map.h"
#include "imaging/png_file.h"
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

// A normal map rebuilt as RGB: flat is 128, 128, 255; X comes from alpha,
// Y from green turned to point up the picture.
TEST(NormalMaps, FlatIsStraightUpAndTheStoredChannelsGiveXAndY) {
  std::vector<uint32_t> argb = {0x80808080u, 0xFF808080u, 0x80800080u};
  RebuildNormalMap(argb);
  EXPECT_EQ(argb, (std::vector<uint32_t>{0xFF8080FFu, 0xFFFF8080u, 0xFF80FF80u}));
}

// Every material's slots, and every normal map a material names: rebuilt,
// its pixels are unit normals.
TEST(RealMaterials, EveryMaterialResolvesItsSlotsAndItsNormalMapIsUnitNormals) {
  std::vector<fs::path> files = SampleFiles("materials");
  if (files.empty()) GTEST_SKIP() << "no samples in " << image_test::SamplesDir();
  size_t normal_maps = 0;
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
    for (const MaterialImage& image : entry.images) {
      IwiImage iwi;
      if (image.slot != "normalMap" || !iwi.SetImagePath(library.images_dir + image.iwi_file) ||
          iwi.LoadIWI() != img::kSuccess)
        continue;
      std::vector<uint32_t> argb;
      int32_t w = 0, h = 0;
      ASSERT_EQ(DecodeTopLevel(iwi, argb, w, h), img::kSuccess);
      RebuildNormalMap(argb);
      size_t unit = 0;
      for (uint32_t p : argb) {
        const double x = (double((p >> 16) & 0xFF) - 128) / 127, y = (double((p >> 8) & 0xFF) - 128) / 127,
                     z = (double(p & 0xFF) - 128) / 127;
        unit += std::abs(std::sqrt(x * x + y * y + z * z) - 1) <= 0.02;
      }
      EXPECT_GE(unit, argb.size() * 99 / 100) << image.iwi_file;
      ++normal_maps;
    }
  }
  EXPECT_GT(normal_maps, 0u);
}

}  // namespace
