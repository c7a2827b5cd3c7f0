// FIFOs in place of game files: every reader answers its usual "can't open"
// code at once instead of waiting for a writer that never comes. The model
// files are swapped in after the path checks, as when a file is replaced
// while a model loads; a material is only ever opened, never checked first.
#include <gtest/gtest.h>

#include <filesystem>

#include "imaging/image_codes.h"
#include "imaging/iwi_image.h"
#include "model/error_codes.h"
#include "tests/model/model_test_support.h"
#include "tests/support/fifo.h"

namespace {

using model_test::TempDir;
using test_support::ReturnsWithin;

constexpr int kSeconds = 10;  // a reader that gets past its open returns at once

void SwapForFifo(const std::string& path) {
  std::filesystem::remove(path);
  ASSERT_TRUE(test_support::MakeFifo(path)) << path;
}

TEST(SpecialFiles, FifoMaterialLeavesTheModelLoadingWithoutItsImages) {
  TempDir dir;
  const std::string path = fixture::WriteModel(dir.path(), fixture::MakePropModel("crate", Cod4));
  const std::string material = dir.path() + "/raw/materials/mtl_crate";
  SwapForFifo(material);

  Xmodel m;
  m.game = Cod4;
  ErrorCode full = -1;
  EXPECT_TRUE(ReturnsWithin(kSeconds, {material}, [&] { full = m.LoadxmodelFull(path); }));
  EXPECT_EQ(full, err::kSuccess) << ErrorText(full);
  MaterialEntry entry;
  ErrorCode one = -1;
  EXPECT_TRUE(ReturnsWithin(kSeconds, {material},
                            [&] { one = m.material_library.LoadMaterial("mtl_crate", entry); }));
  EXPECT_EQ(one, err::kCantOpen);
  EXPECT_TRUE(entry.images.empty());
}

TEST(SpecialFiles, FifoXmodelOrSurfaceFileIsCantOpen) {
  TempDir dir;
  const std::string path = fixture::WriteModel(dir.path(), fixture::MakePropModel("crate", Cod4));

  Xmodel head;
  head.game = Cod4;
  ASSERT_TRUE(head.SetPath(path));
  SwapForFifo(path);
  ErrorCode read = -1;
  EXPECT_TRUE(ReturnsWithin(kSeconds, {path}, [&] { read = head.LoadXmodel(); }));
  EXPECT_EQ(read, err::kCantOpen);
  EXPECT_FALSE(head.xmodel_loaded);

  TempDir dir2;
  const std::string path2 = fixture::WriteModel(dir2.path(), fixture::MakePropModel("crate", Cod4));
  Xmodel body;
  body.game = Cod4;
  ASSERT_EQ(body.LoadxmodelFull(path2), err::kSuccess);
  const std::string surfs = body.lods[0].surf_path;
  SwapForFifo(surfs);
  ErrorCode surface = -1;
  EXPECT_TRUE(ReturnsWithin(kSeconds, {surfs}, [&] { surface = body.LoadSurface(); }));
  EXPECT_EQ(surface, err::kCantOpen);
}

TEST(SpecialFiles, FifoImageIsCantOpen) {
  TempDir dir;
  for (const char* name : {"probe.iwi", "probe.dds"}) {
    const std::string path = dir.path() + "/" + name;
    ASSERT_TRUE(fixture::WriteFile(path, std::vector<uint8_t>(256, 0)));
    IwiImage image;
    ASSERT_TRUE(image.SetImagePath(path));
    SwapForFifo(path);
    ImageResult r = -1;
    bool iwi = std::string(name).ends_with(".iwi");
    EXPECT_TRUE(ReturnsWithin(kSeconds, {path}, [&] { r = iwi ? image.LoadIWI() : image.LoadDDS(); }))
        << name;
    EXPECT_EQ(r, img::kCantOpen) << name;
  }
}

}  // namespace
