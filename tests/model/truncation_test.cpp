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

void ExpectOnlyWholeXmodelReads(const std::string& path, GameVersion game) {
  std::vector<uint8_t> bytes;
  ASSERT_EQ(platform::ReadFileBytes(path, bytes), 0);
  for (size_t n = 0; n <= bytes.size(); ++n) {
    Xmodel m;
    m.game = game;
    ASSERT_TRUE(m.SetPath(path));
    ErrorCode r = m.LoadXmodelBytes(std::span(bytes.data(), n));
    if (n < bytes.size()) {
      EXPECT_NE(r, err::kSuccess) << "prefix of " << n << " bytes of " << bytes.size();
      EXPECT_FALSE(m.xmodel_loaded);
    } else {
      EXPECT_EQ(r, err::kSuccess) << ErrorText(r);
    }
  }
}

TEST(Truncation, XmodelEveryPrefixFailsInEveryLayout) {
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
}

TEST(Truncation, XmodelEveryPrefixFailsThroughTheAutoSwitch) {
  TempDir dir;
  model_test::ScriptedAnswerer yes(true);
  ExpectOnlyWholeXmodelReads(
      fixture::WriteModel(dir.path(), fixture::MakePropModel("ported_crate_with_a_long_name", Cod4)),
      Cod5);
}

TEST(Truncation, XmodelpartsEveryPrefixFails) {
  TempDir dir;
  fixture::ModelFiles files = fixture::MakeSoldierModel("soldier", Cod4);
  std::string path = fixture::WriteModel(dir.path(), files);
  std::vector<uint8_t> bytes = fixture::WriteXmodelparts(files.parts);
  for (size_t n = 0; n <= bytes.size(); ++n) {
    Xmodel m;
    m.game = Cod4;
    ASSERT_TRUE(m.SetPath(path));
    ASSERT_EQ(m.LoadXmodel(), err::kSuccess);
    ErrorCode r = m.LoadPartsBytes(std::span(bytes.data(), n));
    if (n < bytes.size()) {
      EXPECT_NE(r, err::kSuccess) << "prefix of " << n << " bytes";
      EXPECT_FALSE(m.parts_loaded);
    } else {
      EXPECT_EQ(r, err::kSuccess) << ErrorText(r);
    }
  }
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
    for (size_t n = 0; n <= bytes.size(); ++n) {
      XmodelLod lod;
      lod.materials = m.lods[c.surfs].materials;
      ErrorCode r = m.ReadSurfaceBytes(lod, std::span(bytes.data(), n));
      if (n < bytes.size()) {
        EXPECT_NE(r, err::kSuccess) << "prefix of " << n << " bytes of " << bytes.size();
        EXPECT_FALSE(lod.surfaces_loaded);
      } else {
        EXPECT_EQ(r, err::kSuccess) << ErrorText(r);
        EXPECT_EQ(m.consumed_bytes, bytes.size());
      }
    }
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
  for (size_t n = 0; n <= bytes.size(); ++n) {
    ASSERT_TRUE(fixture::WriteFile(dir.path() + "/materials/mtl_probe",
                                   std::span(bytes.data(), n)));
    MaterialEntry entry;
    ErrorCode r = library.LoadMaterial("mtl_probe", entry);
    if (n < 64) {
      EXPECT_NE(r, err::kSuccess) << n;
    }
    if (n == bytes.size()) {
      ASSERT_EQ(r, err::kSuccess);
      ASSERT_EQ(entry.images.size(), 2u);
      EXPECT_EQ(entry.images[1].slot, "normalMap");
      EXPECT_EQ(entry.images[1].dds_file, "probe_nml.dds");
    }
  }
}

}  // namespace
