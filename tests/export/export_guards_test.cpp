// What every model exporter refuses before a byte is written: a model not
// loaded through its surfaces (a surface reader that refused a triangle index
// past its vertices included), an index changed in memory past the vertices,
// and a surf_name that would lead out of the export folder. Each leaves no
// file behind and the model not busy.
#include <gtest/gtest.h>

#include <functional>

#include "tests/export/export_test_support.h"
#include "tools/fixture/sample_tree.h"

namespace {

using namespace export_test;

struct Exporter {
  const char* ext;
  std::function<ErrorCode(Xmodel&, const std::string&)> run;
};

const Exporter kExporters[] = {
    {".XMODEL_EXPORT", [](Xmodel& m, const std::string& dir) { return m.ExportXE(dir); }},
    {".obj", [](Xmodel& m, const std::string& dir) { return m.ExportOBJ(dir); }},
    {".ma", [](Xmodel& m, const std::string& dir) { return m.ExportMA(dir); }},
};

class ExportGuardsTest : public ExportTest {
 protected:
  // Writes the soldier, with a triangle index past the vertices in its
  // second surface's file when asked, and loads its xmodel only into `m`.
  void LoadXmodelOnly(Xmodel& m, bool bad_index) {
    fixture::ModelFiles files = fixture::MakeSoldierModel("soldier", Cod4);
    if (bad_index) files.surfs[0].surfaces[1].triangles[0][2] = uint16_t(files.surfs[0].surfaces[1].vertices.size());
    std::string path = fixture::WriteModel((dir_ / "game").string(), files);
    m.game = Cod4;
    ASSERT_EQ(m.LoadxmodelFull(path), err::kSuccess);
  }
  bool AnyFile() const { return fs::exists(Out()) && !fs::is_empty(Out()); }
};

TEST_F(ExportGuardsTest, ModelNotLoadedThroughItsSurfaces) {
  for (const Exporter& e : kExporters) {
    Xmodel empty;
    EXPECT_EQ(e.run(empty, Out()), err::kNotLoaded) << e.ext;
    Xmodel unread;
    LoadXmodelOnly(unread, false);
    EXPECT_EQ(e.run(unread, Out()), err::kNotLoaded) << e.ext;  // surfaces not read yet
    Xmodel refused;
    LoadXmodelOnly(refused, true);
    EXPECT_EQ(refused.LoadSurface(), err::kOutOfRange);
    EXPECT_EQ(e.run(refused, Out()), err::kNotLoaded) << e.ext;
    EXPECT_FALSE(refused.busy) << e.ext;
    EXPECT_FALSE(AnyFile()) << e.ext;
  }
  Xmodel refused;
  LoadXmodelOnly(refused, true);
  EXPECT_EQ(refused.LoadSurface(), err::kOutOfRange);
  EXPECT_EQ(refused.ExportMABind(Out()), err::kNotLoaded);
  EXPECT_FALSE(AnyFile());
}

TEST_F(ExportGuardsTest, IndexPastTheVerticesChangedInMemory) {
  for (const Exporter& e : kExporters) {
    Load(fixture::MakeSoldierModel("soldier", Cod4));
    model_.lods[0].surfaces[1].triangles[4] = uint16_t(model_.lods[0].surfaces[1].vertices.size());
    EXPECT_EQ(e.run(model_, Out()), err::kOutOfRange) << e.ext;
    EXPECT_FALSE(fs::exists(OutFile(std::string("soldier_lod0") + e.ext))) << e.ext;
    EXPECT_FALSE(model_.busy) << e.ext;
  }
  // A triangle list that no longer matches its count.
  Load(fixture::MakeSoldierModel("soldier", Cod4));
  model_.lods[0].surfaces[2].triangles.push_back(0);
  EXPECT_EQ(model_.ExportMA(Out()), err::kOutOfRange);
  EXPECT_FALSE(AnyFile());
}

TEST_F(ExportGuardsTest, SurfNameThatLeavesTheFolder) {
  Load(fixture::MakePropModel("crate", Cod4));
  for (const Exporter& e : kExporters) {
    for (const char* name : {"../escaped", "sub/inner"}) {
      model_.lods[0].surf_name = name;
      EXPECT_EQ(e.run(model_, Out()), err::kInvalidPath) << e.ext << " " << name;
      EXPECT_FALSE(model_.busy) << e.ext;
    }
    EXPECT_FALSE(fs::exists(dir_ / (std::string("escaped") + e.ext)));
  }
  EXPECT_FALSE(AnyFile());
}

}  // namespace
