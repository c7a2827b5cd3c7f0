// Every reader over every truncated prefix of a valid file: a result code
// each time, never a crash or a read past the end (run under ASan), and
// only the whole file succeeds.
#include <gtest/gtest.h>

#include "platform/file_bytes.h"
#include "tests/model/model_test_support.h"
#include "tools/fixture/sample_tree.h"

namespace {

using namespace model_test;

// Surfaces in every bone-table form, weighted ones with influence entries.
fixture::ModelFiles EveryTableForm(GameVersion layout) {
  std::vector<fixture::SurfsSurface> s = {Quad(1), Quad(1), Quad(2), Quad(1)};
  s[0].bone_table = fixture::ZeroCountTable(1);
  s[0].weighted = true;
  s[1].bone_table = fixture::PaddedTable(2, 1);
  s[2].bone_table = fixture::ShortTable(4, 2);
  s[3].bone_table = fixture::ListTable({{2, 1}, {2, 3}});
  for (fixture::SurfsSurface* w : {&s[0], &s[1], &s[3]})
    for (auto& v : w->vertices) v.influences = {{2, 9000}, {3, 4000}};
  // Black Ops vertices with the extended tag, on a weighted and a rigid surface.
  for (fixture::SurfsSurface* w : {&s[1], &s[2]}) fixture::SetTriangleList(w->vertices[1], {0, 1}, 1.0f);
  return ModelWithSurfaces(layout, std::move(s));
}

// `read(prefix)` gives the reader's result and whether it took the data as
// loaded: only the whole file may do either.
template <class Read>
void ExpectOnlyTheWholeFileReads(const std::vector<uint8_t>& bytes, Read read) {
  for (size_t n = 0; n <= bytes.size(); ++n) {
    const auto [r, loaded] = read(std::span<const uint8_t>(bytes.data(), n));
    EXPECT_EQ(r == err::kSuccess || loaded, n == bytes.size()) << n << " of " << bytes.size() << ": " << ErrorText(r);
  }
}

TEST(Truncation, ModelFilesEveryPrefixFailsInEveryLayoutAndThroughTheAutoSwitch) {
  struct Case {
    const char* what;
    fixture::ModelFiles files;
    GameVersion game;
    size_t level;
  };
  fixture::ModelFiles soldier = fixture::MakeSoldierModel("soldier", Cod4);
  soldier.xmodel.physics_preset = "human";
  soldier.xmodel.collision_lod = 1;
  soldier.xmodel.collision = {{1}, {0}};
  fixture::ModelFiles bo_soldier = fixture::MakeSoldierModel("soldier", BO);
  bo_soldier.xmodel.source_map = "p_soldier.map";
  const fixture::ModelFiles ported = fixture::MakePropModel("ported_crate_with_a_long_name", Cod4);
  std::vector<Case> cases = {{"soldier, COD 4", soldier, Cod4, 0},
                             {"soldier far level, COD 5", fixture::MakeSoldierModel("soldier", Cod5), Cod5, 1},
                             {"soldier, Black Ops", bo_soldier, BO, 0},
                             {"table forms, COD 4", EveryTableForm(Cod4), Cod4, 0},
                             {"table forms, Black Ops", EveryTableForm(BO), BO, 0},
                             {"COD 4 crate under COD 5", ported, Cod5, 0}};
  ScriptedAnswerer yes(true);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    Xmodel m;
    ASSERT_EQ(WriteAndLoad(dir.path(), c.files, m, c.game), err::kSuccess);
    // Each model reader over every prefix of its file; the xmodelsurfs file is level `c.level`'s.
    std::vector<uint8_t> bytes;
    ASSERT_EQ(platform::ReadFileBytes(m.path, bytes), 0);
    ExpectOnlyTheWholeFileReads(bytes, [&](std::span<const uint8_t> prefix) {
      Xmodel x;
      x.game = m.game;
      EXPECT_TRUE(x.SetPath(m.path));
      return std::make_pair(x.LoadXmodelBytes(prefix), x.xmodel_loaded);
    });
    ExpectOnlyTheWholeFileReads(fixture::WriteXmodelparts(c.files.parts), [&](std::span<const uint8_t> prefix) {
      Xmodel x;
      x.game = m.game;
      EXPECT_TRUE(x.SetPath(m.path) && x.LoadXmodel() == err::kSuccess);
      return std::make_pair(x.LoadPartsBytes(prefix), x.parts_loaded);
    });
    bytes = fixture::WriteXmodelsurfs(c.files.surfs[c.level]);
    ExpectOnlyTheWholeFileReads(bytes, [&](std::span<const uint8_t> prefix) {
      XmodelLod lod;
      lod.materials = m.lods[c.level].materials;
      return std::make_pair(m.ReadSurfaceBytes(lod, prefix), lod.surfaces_loaded);
    });
    EXPECT_EQ(m.consumed_bytes, bytes.size());  // the last read, of the whole file
  }
}

TEST(Truncation, MaterialEveryPrefixReturnsACode) {
  // Strings cut by the end of the file are taken as they are, so short
  // files may still succeed; what matters is that none reads past the end.
  TempDir dir;
  fixture::MaterialDesc desc{"mtl_probe", {{"colorMap", "probe_col"}, {"normalMap", "probe_nml"}}};
  std::vector<uint8_t> bytes = fixture::WriteMaterial(desc);
  MaterialLibrary library;
  ASSERT_TRUE(library.SetRoot(dir.path() + "/"));
  MaterialEntry entry;
  for (size_t n = 0; n <= bytes.size(); ++n) {
    ASSERT_TRUE(fixture::WriteFile(dir.path() + "/materials/mtl_probe", std::span(bytes.data(), n)));
    entry = {};
    const ErrorCode r = library.LoadMaterial("mtl_probe", entry);
    EXPECT_TRUE(n >= 64 || r != err::kSuccess) << n;
  }
  EXPECT_EQ(entry.images.size(), 2u);  // the whole file, read last
}

}  // namespace
