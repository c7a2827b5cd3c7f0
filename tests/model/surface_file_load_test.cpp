// LoadSurface over a file on disk against ReadSurfaceBytes over the same
// bytes in memory: the file is let go page by page as the surfaces are read
// and the scale goes on while reading, and neither may change a value
// (files cut short: truncation_test).
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "model/xmodel.h"
#include "platform/file_bytes.h"
#include "tests/model/model_test_support.h"
#include "tools/fixture/fixture_writer.h"

namespace {

using model_test::TempDir;

// Four surfaces of 2,000 vertices (some 150 KB each, so many pages of the
// file go between surfaces), the second one rigid.
fixture::ModelFiles Files(GameVersion layout) {
  fixture::ModelFiles files = fixture::MakeBigModel(4, 2000, 4, layout);
  fixture::SurfsSurface& rigid = files.surfs[0].surfaces[1];
  rigid.bone_table = fixture::ShortTable(2000, 3);
  for (fixture::SurfsVertex& v : rigid.vertices) v.influences.clear();
  return files;
}

std::string SurfsPath(const std::string& xmodel_path, const fixture::ModelFiles& files) {
  return std::filesystem::path(xmodel_path).parent_path().parent_path().string() +
         "/xmodelsurfs/" + files.xmodel.lods[0].name;
}

// memcmp wants pointers even for no bytes; an empty vector has none.
bool SameBytes(const void* a, const void* b, size_t n) { return n == 0 || std::memcmp(a, b, n) == 0; }

void ExpectSameSurfaces(const XmodelLod& got, const XmodelLod& want) {
  ASSERT_EQ(got.surfaces.size(), want.surfaces.size());
  for (size_t si = 0; si < got.surfaces.size(); ++si) {
    const XmodelSurface& g = got.surfaces[si];
    const XmodelSurface& w = want.surfaces[si];
    SCOPED_TRACE("surface " + std::to_string(si));
    EXPECT_EQ(g.weighted, w.weighted);
    ASSERT_EQ(g.vertices.size(), w.vertices.size());
    ASSERT_EQ(g.influences.size(), w.influences.size());
    EXPECT_TRUE(SameBytes(g.vertices.data(), w.vertices.data(), g.vertices.size() * sizeof(XmodelVertex)));
    for (size_t vi = 0; vi < g.influences.size(); ++vi) {
      const VertexInfluences& a = g.influences[vi];
      const VertexInfluences& b = w.influences[vi];
      ASSERT_TRUE(a.extra_count == b.extra_count && a.primary_bone == b.primary_bone &&
                  a.first_entry == b.first_entry && a.entry_count == b.entry_count)
          << "vertex " << vi;
      if (!g.weighted) {
        ASSERT_EQ(a.primary_bone, -1) << "vertex " << vi;
      }
    }
    ASSERT_EQ(g.influence_pool.size(), w.influence_pool.size());
    EXPECT_TRUE(SameBytes(g.influence_pool.data(), w.influence_pool.data(),
                          g.influence_pool.size() * sizeof(InfluenceEntry)));
    EXPECT_EQ(g.triangles, w.triangles);
  }
}

// The scale is applied while reading: the same floats as a second pass.
TEST(SurfaceFileLoad, ScaledLoadFromDiskEqualsBytesReadThenScaled) {
  for (GameVersion layout : {Cod4, Cod5, BO}) {
    SCOPED_TRACE("layout " + std::to_string(layout));
    TempDir dir;
    fixture::ModelFiles files = Files(layout);
    std::string path = fixture::WriteModel(dir.path(), files);
    ASSERT_FALSE(path.empty());

    Xmodel from_disk;
    from_disk.game = layout;
    from_disk.scale = 2.54f;
    ASSERT_EQ(from_disk.LoadxmodelFull(path), err::kSuccess);
    ASSERT_EQ(from_disk.LoadSurface(), err::kSuccess);

    Xmodel from_bytes;
    from_bytes.game = layout;
    from_bytes.scale = 2.54f;
    ASSERT_EQ(from_bytes.LoadxmodelFull(path), err::kSuccess);
    std::vector<uint8_t> bytes;
    ASSERT_EQ(platform::ReadFileBytes(SurfsPath(path, files), bytes), 0);
    ASSERT_EQ(from_bytes.ReadSurfaceBytes(from_bytes.lods[0], bytes), err::kSuccess);
    ASSERT_EQ(from_bytes.ApplyScale(), err::kSuccess);

    EXPECT_EQ(from_disk.consumed_bytes, bytes.size());
    ExpectSameSurfaces(from_disk.lods[0], from_bytes.lods[0]);
    ASSERT_EQ(from_disk.bones.size(), from_bytes.bones.size());
    for (size_t b = 0; b < from_disk.bones.size(); ++b)
      EXPECT_EQ(std::memcmp(from_disk.bones[b].position, from_bytes.bones[b].position, 12), 0);

    // Cut in the third surface, many pages in: the same code, and the
    // surfaces read before the cut kept unscaled, as the bytes reader gives.
    bytes.resize(bytes.size() * 5 / 8);
    ASSERT_TRUE(fixture::WriteFile(SurfsPath(path, files), bytes));
    Xmodel cut, cut_bytes;
    for (Xmodel* m : {&cut, &cut_bytes}) m->game = layout, m->scale = 2.54f;
    ASSERT_EQ(cut.LoadxmodelFull(path), err::kSuccess);
    ASSERT_EQ(cut_bytes.LoadxmodelFull(path), err::kSuccess);
    const ErrorCode code = cut.LoadSurface();
    EXPECT_NE(code, err::kSuccess);
    EXPECT_EQ(cut_bytes.ReadSurfaceBytes(cut_bytes.lods[0], bytes), code);
    ExpectSameSurfaces(cut.lods[0], cut_bytes.lods[0]);
  }
}

}  // namespace
