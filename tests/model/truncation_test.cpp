// Every reader over every truncated prefix of a valid file: a result code
// each time, never a crash or a read past the end (run under ASan), and
// only the whole file succeeds.
#include <gtest/gtest.h>

#include "model/xmodel.h"
#include "platform/file_bytes.h"
#include "tests/model/model_test_support.h"
#include "tools/fixture/fixture_writer.h"
#include "tools/fixture/sample_tree.h"

namespace {

using model_test::TempDir;

// Surfaces in every bone-table form, weighted ones with influence entries.
fixture::ModelFiles EveryTableForm(GameVersion layout) {
  using model_test::Quad;
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
  return model_test::ModelWithSurfaces(layout, std::move(s));
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

void ExpectOnlyWholeXmodelReads(const std::string& path, GameVersion game) {
  std::vector<uint8_t> bytes;
  ASSERT_EQ(platform::ReadFileBytes(path, bytes), 0);
  ExpectOnlyTheWholeFileReads(bytes, [&](std::span<const uint8_t> prefix) {
    Xmodel m;
    m.game = game;
    EXPECT_TRUE(m.SetPath(path));
    return std::make_pair(m.LoadXmodelBytes(prefix), m.xmodel_loaded);
  });
}

TEST(Truncation, XmodelEveryPrefixFailsInEveryLayoutAndThroughTheAutoSwitch) {
  for (GameVersion layout : {Cod4, Cod5, BO}) {
    SCOPED_TRACE(layout);
    TempDir dir;
    fixture::ModelFiles files = fixture::MakeSoldierModel("soldier", layout);
    files.xmodel.physics_preset = "human";
    files.xmodel.source_map = "p_soldier.map";  // Black Ops only
    files.xmodel.collision_lod = 1;
    files.xmodel.collision = {{1}, {0}};
    ExpectOnlyWholeXmodelReads(fixture::WriteModel(dir.path(), files), layout);
  }
  TempDir dir;
  model_test::ScriptedAnswerer yes(true);
  ExpectOnlyWholeXmodelReads(
      fixture::WriteModel(dir.path(), fixture::MakePropModel("ported_crate_with_a_long_name", Cod4)), Cod5);
}

TEST(Truncation, XmodelpartsEveryPrefixFails) {
  TempDir dir;
  fixture::ModelFiles files = fixture::MakeSoldierModel("soldier", Cod4);
  std::string path = fixture::WriteModel(dir.path(), files);
  ExpectOnlyTheWholeFileReads(fixture::WriteXmodelparts(files.parts), [&](std::span<const uint8_t> prefix) {
    Xmodel m;
    m.game = Cod4;
    EXPECT_TRUE(m.SetPath(path) && m.LoadXmodel() == err::kSuccess);
    return std::make_pair(m.LoadPartsBytes(prefix), m.parts_loaded);
  });
}

TEST(Truncation, XmodelsurfsEveryPrefixFails) {
  struct Case {
    const char* what;
    fixture::ModelFiles files;
    size_t surfs;  // which written xmodelsurfs file to cut
  };
  std::vector<Case> cases = {{"table forms, COD 4", EveryTableForm(Cod4), 0},
                             {"table forms, Black Ops", EveryTableForm(BO), 0},
                             {"soldier far level, COD 5", fixture::MakeSoldierModel("soldier", Cod5), 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    Xmodel m;
    ASSERT_EQ(model_test::WriteAndLoad(dir.path(), c.files, m, c.files.xmodel.layout), err::kSuccess);
    std::vector<uint8_t> bytes = fixture::WriteXmodelsurfs(c.files.surfs[c.surfs]);
    ExpectOnlyTheWholeFileReads(bytes, [&](std::span<const uint8_t> prefix) {
      XmodelLod lod;
      lod.materials = m.lods[c.surfs].materials;
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
  entry = {};
  ASSERT_EQ(library.LoadMaterial("mtl_probe", entry), err::kSuccess);  // the whole file, written last
  ASSERT_EQ(entry.images.size(), 2u);
  EXPECT_EQ(std::make_pair(entry.images[1].slot, entry.images[1].dds_file),
            std::make_pair(std::string("normalMap"), std::string("probe_nml.dds")));
}

}  // namespace
