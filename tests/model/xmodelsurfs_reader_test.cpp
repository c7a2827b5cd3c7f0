// The xmodelsurfs reader: every bone-table form, vertex record sizes per
// layout, the influence limits, and the checks that keep a bad
// file from indexing past its own vertices and bones.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/model/model_test_support.h"

namespace {

using namespace model_test;
using fixture::SurfsSurface;

struct SurfsLoad {
  Xmodel m;
  size_t file_size = 0;
  const XmodelSurface& surface(size_t i) const { return m.lods[0].surfaces[i]; }
};

// Loads `surfaces` as level 0 and checks the read ended on the file's last
// byte, which pins every record size on the way.
void Load(SurfsLoad& out, GameVersion layout, std::vector<SurfsSurface> surfaces) {
  TempDir dir;
  fixture::ModelFiles files = ModelWithSurfaces(layout, std::move(surfaces));
  out.file_size = fixture::WriteXmodelsurfs(files.surfs[0]).size();
  const ErrorCode result = WriteAndLoadSurfaces(dir.path(), files, out.m, layout);
  ASSERT_EQ(result, err::kSuccess) << ErrorText(result);
  EXPECT_EQ(out.m.consumed_bytes, out.file_size);
  EXPECT_TRUE(out.m.lods[0].surfaces_loaded);
}

// Each form as the first of two surfaces, in every layout: a misread table
// shifts the second surface and the read no longer ends on the last byte.
TEST(XmodelsurfsReader, EveryBoneTableFormGivesItsWeightingAndEntries) {
  fixture::SurfsBoneTable padded = fixture::PaddedTable(3, 1);
  padded.pad = 0xBEEF;  // skipped, not read
  fixture::SurfsBoneTable list = fixture::ListTable({{3, 1}, {7, 2}, {5, 3}});
  list.terminator.bone = 9;  // dropped with its zero count
  struct Case {
    const char* what;
    fixture::SurfsBoneTable table;
    bool weighted;
    std::vector<uint16_t> bones;  // the entries' bones as read
  };
  // The stock files lay out (0, b) tables weighted in COD 4 and COD 5 too;
  // their b is no bone (5 of 4 here) and is not checked as one.
  const Case cases[] = {{"(0, b)", fixture::ZeroCountTable(5), true, {5}},
                        {"(a < V, b), 0, pad", padded, true, {1}},
                        {"(a = V, b), 0", fixture::ShortTable(4, 1), false, {1}},
                        {"list", list, true, {1, 2, 3}}};
  for (GameVersion layout : {Cod4, Cod5, BO}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << c.what << ", layout " << layout);
      SurfsSurface s = Quad(1);
      s.bone_table = c.table;
      s.weighted = c.weighted;
      SurfsLoad l;
      Load(l, layout, {s, Quad(2)});
      EXPECT_EQ(l.surface(0).weighted, c.weighted);
      std::vector<uint16_t> bones;
      for (const SurfaceBoneEntry& e : l.surface(0).bone_table) bones.push_back(e.bone);
      EXPECT_EQ(bones, c.bones);
      EXPECT_EQ(l.surface(0).influences[2].primary_bone, c.weighted ? 1 : -1);
      EXPECT_EQ(l.surface(1).vertices[3].position[2], 1.5f);
    }
  }
}

// A vertex is 48 bytes, a 4-byte tag more in Black Ops, then the weighting
// data and the position. Only the exact tag 00 0A D6 46 brings 48 more
// bytes, vertex by vertex (zeros and a near miss read as plain vertices);
// COD 4 position bytes that spell it are a position.
TEST(XmodelsurfsReader, VertexRecordSizesByLayoutWeightingAndTag) {
  struct Case {
    GameVersion layout;
    bool weighted;
    size_t size;  // header 4, surface head 7 and table, 4 vertices, triangles 12
  };
  for (Case c : {Case{Cod4, false, 4 + 7 + 6 + 4 * 60 + 12}, Case{Cod5, true, 4 + 7 + 8 + 4 * (60 + 3 + 8) + 12},
                 Case{BO, false, 4 + 7 + 6 + 4 * 64 + 2 * 48 + 12},
                 Case{BO, true, 4 + 7 + 8 + 4 * (64 + 3 + 8) + 2 * 48 + 12}}) {
    SCOPED_TRACE(testing::Message() << "layout " << c.layout << " weighted " << c.weighted);
    SurfsSurface s = Quad(2);
    s.bone_table = c.weighted ? fixture::PaddedTable(1, 2) : fixture::ShortTable(4, 2);
    s.weighted = c.weighted;
    for (auto& v : s.vertices) v.influences = {{1, 20000}, {3, 10000}};
    if (c.layout == BO) {
      fixture::SetTriangleList(s.vertices[0], {0, 1}, 2.0f);
      fixture::SetTriangleList(s.vertices[3], {0, 1}, 2.0f);
      s.vertices[1].bo_extra = fixture::kVertexTag;
      s.vertices[2].bo_extra = {0x00, 0x0B, 0xD6, 0x46};
    } else {
      std::memcpy(&s.vertices[1].position[0], fixture::kExtendedVertexTag.data(), 4);
    }
    SurfsLoad l;
    Load(l, c.layout, {s});
    ASSERT_EQ(l.file_size, c.size);
    for (size_t i = 0; i < 4; ++i) {
      EXPECT_EQ(l.surface(0).vertices[i].position[2], float(i) * 0.5f) << i;
      EXPECT_EQ(l.surface(0).Entries(i).size(), c.weighted ? 2u : 0u) << i;
    }
    if (c.weighted) {
      EXPECT_EQ(std::make_pair(l.surface(0).Entries(3)[1].bone, int(l.surface(0).Entries(3)[1].weight)),
                std::make_pair(int16_t(3), 10000));
    }
    if (c.layout != BO) {
      EXPECT_EQ(l.surface(0).vertices[1].position[0], 27397.0f);
    }
  }
}

TEST(XmodelsurfsReader, InfluenceCountAbove99ReadsNoEntriesInCod5ButAllInBlackOps) {
  auto surface = [](uint8_t n, bool write_entries) {
    SurfsSurface s = Quad(1);
    s.bone_table = fixture::PaddedTable(1, 1);
    s.weighted = true;
    s.vertices[0].extra_count = n;
    if (write_entries)
      for (int i = 0; i < n; ++i) s.vertices[0].influences.push_back({int16_t(i % 4), uint16_t(i)});
    return s;
  };
  SurfsLoad cod5;
  Load(cod5, Cod5, {surface(100, false), surface(99, true)});
  EXPECT_EQ(cod5.surface(0).influences[0].extra_count, 100);
  EXPECT_EQ(std::make_pair(cod5.surface(0).Entries(0).size(), cod5.surface(1).Entries(0).size()),
            std::make_pair(size_t(0), size_t(99)));

  SurfsLoad bo;
  Load(bo, BO, {surface(100, true)});
  auto entries = bo.surface(0).Entries(0);
  ASSERT_EQ(entries.size(), 100u);
  EXPECT_EQ(std::make_pair(int(entries[99].weight), bo.surface(0).vertices[1].position[0]), std::make_pair(99, 1.0f));
}

// A missing folder: the worker's error box test.
TEST(XmodelsurfsReader, RefusesToRunOutOfOrderOrTwice) {
  TempDir dir;
  Xmodel m;
  EXPECT_EQ(m.LoadSurface(), err::kNotLoaded);
  ASSERT_EQ(WriteAndReadXmodel(dir.path(), fixture::MakePropModel("crate", Cod4), m, Cod4), err::kSuccess);
  EXPECT_EQ(m.LoadSurface(), err::kSurfacesNotSetUp);
  ASSERT_EQ(m.SetupSurfaces(), err::kSuccess);
  ASSERT_EQ(m.LoadSurface(), err::kSuccess);
  const size_t vertices = m.lods[0].surfaces[0].vertices.size();
  EXPECT_EQ(m.LoadSurface(), err::kAlreadyLoaded);
  EXPECT_EQ(m.lods[0].surfaces[0].vertices.size(), vertices);
}

// Files cut short are truncation_test's; these hold all their bytes.
TEST(XmodelsurfsReader, InconsistentFilesAreOutOfRangeAndLeaveSurfacesUnloaded) {
  // Each case breaks one surface of an otherwise valid file over 4 bones.
  SurfsSurface weighted = Quad(1);
  weighted.bone_table = fixture::ListTable({{2, 1}, {2, 2}});
  weighted.vertices[2].influences = {{3, 30000}};
  struct Case {
    const char* what;
    void (*spoil)(fixture::ModelFiles&);
  };
  const Case kCases[] = {
      {"triangle index equal to V", [](auto& f) { f.surfs[0].surfaces[0].triangles[1][2] = 4; }},
      {"negative surface count", [](auto& f) { f.surfs[0].surface_count = -1; }},
      {"zero vertices", [](auto& f) { f.surfs[0].surfaces[0].vertex_count = 0; }},
      {"zero triangles", [](auto& f) { f.surfs[0].surfaces[0].triangle_count = 0; }},
      {"primary bone past the bones", [](auto& f) { f.surfs[0].surfaces[0].vertices[1].primary_bone = 4; }},
      {"negative primary bone", [](auto& f) { f.surfs[0].surfaces[0].vertices[1].primary_bone = -1; }},
      {"influence bone past the bones", [](auto& f) { f.surfs[0].surfaces[0].vertices[2].influences[0].bone = 4; }},
      {"bone table bone past the bones", [](auto& f) { f.surfs[0].surfaces[1].bone_table.first.bone = 4; }},
      {"fewer material names than surfaces", [](auto& f) { f.xmodel.materials[0].names.pop_back(); }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    fixture::ModelFiles files = ModelWithSurfaces(Cod4, {weighted, Quad(2)});
    c.spoil(files);
    TempDir dir;
    Xmodel m;
    EXPECT_EQ(WriteAndLoadSurfaces(dir.path(), files, m, Cod4), err::kOutOfRange);
    EXPECT_FALSE(m.lods[0].surfaces_loaded);
  }
}

}  // namespace
