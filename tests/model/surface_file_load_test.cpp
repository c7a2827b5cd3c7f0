// LoadSurface over a file on disk against ReadSurfaceBytes over the same
// bytes in memory: the file is let go page by page as the surfaces are read
// and the scale goes on while reading, and neither may change a value or a
// result code, wherever the file ends.
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
  }
}

// Files cut at page edges and at surface edges give the code, the surfaces
// kept (unscaled) and the bytes read of the reader over the same prefix in
// memory.
TEST(SurfaceFileLoad, FileCutAtPageOrSurfaceEdgeFailsAsTheBytesReaderDoes) {
  TempDir dir;
  fixture::ModelFiles files = Files(Cod4);
  std::string path = fixture::WriteModel(dir.path(), files);
  ASSERT_FALSE(path.empty());
  const std::string surfs = SurfsPath(path, files);
  std::vector<uint8_t> whole;
  ASSERT_EQ(platform::ReadFileBytes(surfs, whole), 0);

  Xmodel probe;
  probe.game = Cod4;
  ASSERT_EQ(probe.LoadxmodelFull(path), err::kSuccess);
  std::vector<size_t> cuts = {4095, 4096, 4097, 8192, whole.size() - 1};
  // The end of each surface: the bytes read by a file cut right there.
  for (size_t keep = 1; keep < files.surfs[0].surfaces.size(); ++keep) {
    fixture::XmodelsurfsDesc part = files.surfs[0];
    part.surfaces.resize(keep);
    part.surface_count = int16_t(files.surfs[0].surfaces.size());
    size_t edge = fixture::WriteXmodelsurfs(part).size();
    cuts.insert(cuts.end(), {edge - 1, edge, edge + 1});
  }

  for (size_t cut : cuts) {
    SCOPED_TRACE("cut at " + std::to_string(cut));
    std::vector<uint8_t> prefix(whole.begin(), whole.begin() + std::ptrdiff_t(cut));
    ASSERT_TRUE(fixture::WriteFile(surfs, prefix));

    // Scaled, but a failed read leaves its surfaces as they stand.
    Xmodel from_disk;
    from_disk.game = Cod4;
    from_disk.scale = 2.54f;
    ASSERT_EQ(from_disk.LoadxmodelFull(path), err::kSuccess);
    ErrorCode disk_result = from_disk.LoadSurface();

    Xmodel from_bytes;
    from_bytes.game = Cod4;
    ASSERT_EQ(from_bytes.LoadxmodelFull(path), err::kSuccess);
    ErrorCode bytes_result = from_bytes.ReadSurfaceBytes(from_bytes.lods[0], prefix);

    EXPECT_NE(disk_result, err::kSuccess);
    EXPECT_EQ(disk_result, bytes_result);
    EXPECT_EQ(from_disk.consumed_bytes, from_bytes.consumed_bytes);
    EXPECT_FALSE(from_disk.lods[0].surfaces_loaded);
    ExpectSameSurfaces(from_disk.lods[0], from_bytes.lods[0]);
  }
}

}  // namespace
