// The xmodelsurfs reader: every bone-table form, vertex record sizes per
// layout, the influence limits, progress, and the checks that keep a bad
// file from indexing past its own vertices and bones.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <functional>
#include <thread>
#include <tuple>

#include "model/xmodel.h"
#include "tests/model/model_test_support.h"
#include "tools/fixture/fixture_writer.h"

namespace {

using fixture::SurfsSurface;
using model_test::ModelWithSurfaces;
using model_test::Quad;
using model_test::TempDir;
using model_test::WriteAndLoadSurfaces;

// Loads `surfaces` as level 0 and checks the read ended on the file's last
// byte, which pins every record size on the way.
struct SurfsLoad {
  Xmodel m;
  ErrorCode result = 0;
  size_t file_size = 0;
  const XmodelSurface& surface(size_t i) const { return m.lods[0].surfaces[i]; }
};

void Load(SurfsLoad& out, GameVersion layout, std::vector<SurfsSurface> surfaces) {
  TempDir dir;
  fixture::ModelFiles files = ModelWithSurfaces(layout, std::move(surfaces));
  out.file_size = fixture::WriteXmodelsurfs(files.surfs[0]).size();
  out.result = WriteAndLoadSurfaces(dir.path(), files, out.m, layout);
}

void ExpectWholeFileRead(const SurfsLoad& l) {
  ASSERT_EQ(l.result, err::kSuccess) << ErrorText(l.result);
  EXPECT_EQ(l.m.consumed_bytes, l.file_size);
  EXPECT_TRUE(l.m.lods[0].surfaces_loaded);
}

TEST(XmodelsurfsReader, ZeroCountTableIsWeightedInEveryLayoutWhateverItsBone) {
  // The stock files lay out (0, 0) tables weighted in COD 4 and COD 5 too.
  for (GameVersion layout : {Cod4, Cod5, BO}) {
    for (uint16_t bone : {0, 5}) {
      SCOPED_TRACE(testing::Message() << "layout " << layout << " bone " << bone);
      SurfsSurface s = Quad(1);
      s.bone_table = fixture::ZeroCountTable(bone);
      s.weighted = true;
      SurfsLoad l;
      Load(l, layout, {s, Quad(2)});  // a misread first table shifts the second surface
      ExpectWholeFileRead(l);
      EXPECT_TRUE(l.surface(0).weighted);
      ASSERT_EQ(l.surface(0).bone_table.size(), 1u);
      EXPECT_EQ(l.surface(0).bone_table[0].bone, bone);
      EXPECT_EQ(l.surface(0).influences[0].primary_bone, 1);
      EXPECT_EQ(l.surface(1).vertices[3].position[2], 1.5f);
    }
  }
}

TEST(XmodelsurfsReader, CountTableFollowedByZeroIsEightBytesWhenBelowVertexCountElseSix) {
  SurfsSurface padded = Quad(1), shorter = Quad(1);  // four vertices; ShortTable(4, 1)
  padded.bone_table = fixture::PaddedTable(3, 1);
  padded.bone_table.pad = 0xBEEF;  // skipped, not read
  padded.weighted = true;
  shorter.weighted = false;
  SurfsLoad l;
  Load(l, Cod4, {padded, shorter, Quad()});
  ExpectWholeFileRead(l);
  EXPECT_TRUE(l.surface(0).weighted);
  EXPECT_EQ(l.surface(0).bone_table.size(), 1u);
  EXPECT_EQ(l.surface(0).influences[2].primary_bone, 1);
  EXPECT_FALSE(l.surface(1).weighted);
  EXPECT_EQ(l.surface(1).influences[0].primary_bone, -1);
}

TEST(XmodelsurfsReader, ListTableReadsEntriesUpToAZeroCountAndDropsTheTerminator) {
  SurfsSurface s = Quad(1);
  s.bone_table = fixture::ListTable({{3, 1}, {7, 2}, {5, 3}});
  s.bone_table.terminator.bone = 9;
  s.weighted = true;
  SurfsLoad l;
  Load(l, Cod4, {s, Quad()});
  ExpectWholeFileRead(l);
  const auto& table = l.surface(0).bone_table;
  ASSERT_EQ(table.size(), 3u);
  EXPECT_EQ(table[1].vertex_count, 7);
  EXPECT_EQ(table[2].bone, 3);
  EXPECT_TRUE(l.surface(0).weighted);
}

TEST(XmodelsurfsReader, VertexIs48BytesPlus4InBlackOpsThenWeightsPositionAndEntries) {
  // Header 4, surface head 3 + 2 + 2, a quad's 2 triangles 12.
  struct Case {
    GameVersion layout;
    bool weighted;
    size_t size;
  };
  for (Case c : {Case{Cod4, false, 4 + 7 + 6 + 4 * 60 + 12}, Case{BO, false, 4 + 7 + 6 + 4 * 64 + 12},
                 Case{Cod5, true, 4 + 7 + 8 + 4 * (60 + 3 + 8) + 12},
                 Case{BO, true, 4 + 7 + 8 + 4 * (64 + 3 + 8) + 12}}) {
    SCOPED_TRACE(testing::Message() << "layout " << c.layout << " weighted " << c.weighted);
    SurfsSurface s = Quad(2);
    s.bone_table = c.weighted ? fixture::PaddedTable(1, 2) : fixture::ShortTable(4, 2);
    s.weighted = c.weighted;
    for (auto& v : s.vertices) {
      v.bo_extra = {0xde, 0xad, 0xbe, 0xef};
      v.influences = {{1, 20000}, {3, 10000}};
    }
    SurfsLoad l;
    Load(l, c.layout, {s});
    ASSERT_EQ(l.file_size, c.size);
    ExpectWholeFileRead(l);
    EXPECT_EQ(l.surface(0).vertices[3].position[2], 1.5f);
    if (c.weighted) {
      auto entries = l.surface(0).Entries(3);
      ASSERT_EQ(entries.size(), 2u);
      EXPECT_EQ(entries[1].bone, 3);
      EXPECT_EQ(entries[1].weight, 10000);
    }
  }
}

TEST(XmodelsurfsReader, BlackOpsVertexWithTheExtendedTagCarries48MoreBytesBeforeItsWeights) {
  // Only the exact tag 00 0A D6 46 brings the 48 bytes, vertex by vertex;
  // the usual tag, zeros and a near miss read as plain vertices.
  auto surface = [](bool weighted) {
    SurfsSurface s = Quad(2);
    s.bone_table = weighted ? fixture::PaddedTable(1, 2) : fixture::ShortTable(4, 2);
    s.weighted = weighted;
    for (auto& v : s.vertices) v.influences = {{3, 20000}};
    fixture::SetTriangleList(s.vertices[0], {0, 1}, 2.0f);
    fixture::SetTriangleList(s.vertices[3], {0, 1}, 2.0f);
    s.vertices[1].bo_extra = fixture::kVertexTag;
    s.vertices[2].bo_extra = {0x00, 0x0B, 0xD6, 0x46};
    return s;
  };
  for (bool weighted : {true, false}) {
    SCOPED_TRACE(testing::Message() << "weighted " << weighted);
    SurfsLoad l;
    Load(l, BO, {surface(weighted), Quad(1)});
    // Header 4, surface head 3 + 2 + 2, a quad's 2 triangles 12.
    size_t first = 7 + (weighted ? 8 : 6) + 4 * (64 + (weighted ? 3 + 4 : 0)) + 2 * 48 + 12;
    ASSERT_EQ(l.file_size, 4 + first + 7 + 6 + 4 * 64 + 12);
    ExpectWholeFileRead(l);
    for (size_t i = 0; i < 4; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(l.surface(0).vertices[i].position[2], float(i) * 0.5f);
      EXPECT_EQ(l.surface(0).influences[i].primary_bone, weighted ? 2 : -1);
      EXPECT_EQ(l.surface(0).Entries(i).size(), weighted ? 1u : 0u);
    }
    EXPECT_EQ(l.surface(1).vertices[3].position[2], 1.5f);
  }

  // COD 4 vertices have no tag: position bytes that spell it are a position.
  SurfsSurface plain = Quad(0);
  const uint8_t tag_bytes[4] = {0x00, 0x0A, 0xD6, 0x46};
  std::memcpy(&plain.vertices[1].position[0], tag_bytes, 4);
  SurfsLoad cod4;
  Load(cod4, Cod4, {plain});
  ExpectWholeFileRead(cod4);
  EXPECT_EQ(cod4.surface(0).vertices[1].position[0], 27397.0f);
}

TEST(XmodelsurfsReader, VertexBytesAreKeptAndVIsOneMinusTheFileValue) {
  SurfsSurface s = Quad();
  fixture::SurfsVertex& v = s.vertices[1];
  v.normal[0] = 0.6f, v.normal[1] = 0, v.normal[2] = 0.8f;
  v.colour[0] = 10, v.colour[1] = 20, v.colour[2] = 30, v.colour[3] = 40;
  v.u = 0.125f;
  v.v = 0.25f;
  v.extra[23] = 0x7f;
  SurfsLoad l;
  Load(l, Cod4, {s});
  ExpectWholeFileRead(l);
  const XmodelVertex& got = l.surface(0).vertices[1];
  EXPECT_EQ(std::make_tuple(got.normal[2], got.colour[3], got.u, got.v, got.extra[23]),
            std::make_tuple(0.8f, uint8_t(40), 0.125f, 0.75f, uint8_t(0x7f)));
  EXPECT_EQ(l.surface(0).triangles, (RecordVector<uint16_t>{0, 1, 3, 0, 3, 2}));
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
  ExpectWholeFileRead(cod5);
  EXPECT_EQ(cod5.surface(0).influences[0].extra_count, 100);
  EXPECT_EQ(std::make_pair(cod5.surface(0).Entries(0).size(), cod5.surface(1).Entries(0).size()),
            std::make_pair(size_t(0), size_t(99)));

  SurfsLoad bo;
  Load(bo, BO, {surface(100, true)});
  ExpectWholeFileRead(bo);
  auto entries = bo.surface(0).Entries(0);
  ASSERT_EQ(entries.size(), 100u);
  EXPECT_EQ(std::make_pair(int(entries[99].weight), bo.surface(0).vertices[1].position[0]), std::make_pair(99, 1.0f));
}

// Three COD 4 surfaces step 33 and one Black Ops surface 100: both once
// landed past 99, a value the GUI thread could read before the final 99.
TEST(XmodelsurfsReader, ProgressEndsAt99AndNeverPasses99) {
  for (GameVersion layout : {Cod4, BO}) {
    SCOPED_TRACE(layout);
    fixture::ModelFiles files = ModelWithSurfaces(layout, std::vector<SurfsSurface>(layout == BO ? 1 : 3, Quad()));
    TempDir dir;
    Xmodel m;
    ASSERT_EQ(WriteAndLoadSurfaces(dir.path(), files, m, layout), err::kSuccess);
    const std::vector<uint8_t> bytes = fixture::WriteXmodelsurfs(files.surfs[0]);
    std::atomic<bool> done{false};
    std::atomic<int> highest{m.progress.load()};
    std::thread watcher([&] { while (!done) highest = std::max<int>(highest, m.progress); });
    for (int i = 0; i < 20000 && highest <= 99; ++i) {
      XmodelLod lod;
      lod.materials = m.lods[0].materials;
      ASSERT_EQ(m.ReadSurfaceBytes(lod, bytes), err::kSuccess);
    }
    done = true;
    watcher.join();
    EXPECT_LE(highest.load(), 99);
    EXPECT_EQ(m.progress.load(), 99);
    EXPECT_FALSE(m.busy.load());
  }
}

TEST(XmodelsurfsReader, RefusesToRunOutOfOrderTwiceOrWithoutItsFile) {
  TempDir dir;
  fixture::ModelFiles files = fixture::MakePropModel("crate", Cod4);
  std::string path = fixture::WriteModel(dir.path(), files);
  Xmodel m;
  m.game = Cod4;
  EXPECT_EQ(m.LoadSurface(), err::kNotLoaded);
  ASSERT_TRUE(m.SetPath(path));
  ASSERT_EQ(m.LoadXmodel(), err::kSuccess);
  EXPECT_EQ(m.LoadSurface(), err::kSurfacesNotSetUp);
  ASSERT_EQ(m.SetupSurfaces(), err::kSuccess);
  ASSERT_EQ(m.LoadSurface(), err::kSuccess);
  size_t vertices = m.lods[0].surfaces[0].vertices.size();
  EXPECT_EQ(m.LoadSurface(), err::kAlreadyLoaded);
  EXPECT_EQ(m.lods[0].surfaces[0].vertices.size(), vertices);

  Xmodel missing;
  files.surfs_file_names = {"not_the_slot_name"};
  ASSERT_EQ(model_test::WriteAndLoad(dir.Sub("b"), files, missing, Cod4), err::kSuccess);
  EXPECT_FALSE(missing.lods[0].surf_file_exists);
  EXPECT_EQ(missing.LoadSurface(), err::kCantOpen);

  std::filesystem::remove_all(dir.Sub("b") + "/raw/xmodelsurfs");
  Xmodel no_folder;
  no_folder.game = Cod4;
  EXPECT_EQ(no_folder.LoadxmodelFull(dir.Sub("b") + "/raw/xmodel/crate"), err::kNoSurfsFolder);
  EXPECT_FALSE(no_folder.surfaces_set_up);
}

TEST(XmodelsurfsReader, InconsistentFilesAreOutOfRangeAndLeaveSurfacesUnloaded) {
  // Each case breaks one surface of an otherwise valid file over 4 bones.
  auto weighted = [] {
    SurfsSurface s = Quad(1);
    s.bone_table = fixture::ListTable({{2, 1}, {2, 2}});
    s.vertices[2].influences = {{3, 30000}};
    return s;
  };
  struct Case {
    const char* what;
    std::function<void(fixture::ModelFiles&)> spoil;
  };
  const Case kCases[] = {
      {"triangle index equal to V", [](auto& f) { f.surfs[0].surfaces[0].triangles[1][2] = 4; }},
      {"vertex count past the end", [](auto& f) { f.surfs[0].surfaces[0].vertex_count = 1000; }},
      {"triangle count past the end", [](auto& f) { f.surfs[0].surfaces[0].triangle_count = 300; }},
      {"negative surface count", [](auto& f) { f.surfs[0].surface_count = -1; }},
      {"surface count past the end",
       [](auto& f) {
         f.surfs[0].surface_count = 5;
         f.xmodel.materials[0].names.resize(5, "mtl_fixture_test");
       }},
      {"zero vertices", [](auto& f) { f.surfs[0].surfaces[0].vertex_count = 0; }},
      {"zero triangles", [](auto& f) { f.surfs[0].surfaces[0].triangle_count = 0; }},
      {"bone table without terminator",
       [](auto& f) {
         // The table runs to the end of the file.
         f.surfs[0].surfaces.pop_back();
         SurfsSurface& s = f.surfs[0].surfaces[0];
         s.bone_table.terminated = false;
         s.vertex_count = int16_t(s.vertices.size());
         s.triangle_count = int16_t(s.triangles.size());
         s.vertices.clear();
         s.triangles.clear();
       }},
      {"primary bone past the bones", [](auto& f) { f.surfs[0].surfaces[0].vertices[1].primary_bone = 4; }},
      {"negative primary bone", [](auto& f) { f.surfs[0].surfaces[0].vertices[1].primary_bone = -1; }},
      {"influence bone past the bones",
       [](auto& f) { f.surfs[0].surfaces[0].vertices[2].influences[0].bone = 4; }},
      {"influence count past the end", [](auto& f) { f.surfs[0].surfaces[0].vertices[3].extra_count = 99; }},
      {"bone table bone past the bones", [](auto& f) { f.surfs[0].surfaces[1].bone_table.first.bone = 4; }},
      {"fewer material names than surfaces", [](auto& f) { f.xmodel.materials[0].names.pop_back(); }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    fixture::ModelFiles files = ModelWithSurfaces(Cod4, {weighted(), Quad(2)});
    c.spoil(files);
    TempDir dir;
    Xmodel m;
    EXPECT_EQ(WriteAndLoadSurfaces(dir.path(), files, m, Cod4), err::kOutOfRange);
    EXPECT_FALSE(m.lods[0].surfaces_loaded);
    EXPECT_FALSE(m.busy.load());
  }
}

}  // namespace
