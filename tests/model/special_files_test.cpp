// FIFOs in place of game files: every reader answers its usual "can't open"
// code at once instead of waiting for a writer that never comes (whole
// reads and mapped reads, of models and images alike, open through one
// check). The model files are swapped in after the path checks, as when a
// file is replaced while a model loads; a material is only ever opened,
// never checked first, and a FIFO one leaves the model loading without it.
#include <gtest/gtest.h>

#include <filesystem>

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

TEST(SpecialFiles, FifoModelFilesAreCantOpenAndAFifoMaterialIsLeftOut) {
  TempDir dir;
  const std::string path = fixture::WriteModel(dir.path(), fixture::MakePropModel("crate", Cod4));
  const std::string material = dir.Sub("raw/materials/mtl_crate");
  SwapForFifo(material);
  Xmodel m;
  m.game = Cod4;
  ErrorCode full = -1, one = -1, surface = -1, head = -1;
  EXPECT_TRUE(ReturnsWithin(kSeconds, {material}, [&] { full = m.LoadxmodelFull(path); }));
  EXPECT_EQ(full, err::kSuccess) << ErrorText(full);
  MaterialEntry entry;
  EXPECT_TRUE(ReturnsWithin(kSeconds, {material}, [&] { one = m.material_library.LoadMaterial("mtl_crate", entry); }));
  EXPECT_EQ(one, err::kCantOpen);
  EXPECT_TRUE(entry.images.empty());

  const std::string surfs = m.lods[0].surf_path;  // a mapped read
  SwapForFifo(surfs);
  EXPECT_TRUE(ReturnsWithin(kSeconds, {surfs}, [&] { surface = m.LoadSurface(); }));
  EXPECT_EQ(surface, err::kCantOpen);

  Xmodel again;  // a whole read
  again.game = Cod4;
  ASSERT_TRUE(again.SetPath(path));
  SwapForFifo(path);
  EXPECT_TRUE(ReturnsWithin(kSeconds, {path}, [&] { head = again.LoadXmodel(); }));
  EXPECT_EQ(head, err::kCantOpen);
  EXPECT_FALSE(again.xmodel_loaded);
}

}  // namespace
