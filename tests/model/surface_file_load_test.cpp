// LoadSurface over a file on disk against ReadSurfaceBytes over the same
// bytes in memory: the file is let go page by page as the surfaces are read,
// the scale goes on the positions (not the normals) while reading and on the
// bones after, and a read cut short keeps the surfaces read before the cut,
// unscaled. Files cut at every byte: truncation_test.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "platform/file_bytes.h"
#include "tests/model/model_test_support.h"

namespace {

using model_test::TempDir;

// Every field of the two levels' surfaces.
void ExpectSameSurfaces(const XmodelLod& got, const XmodelLod& want) {
  ASSERT_EQ(got.surfaces.size(), want.surfaces.size());
  auto fields = [](const VertexInfluences& i) {
    return std::make_tuple(i.extra_count, i.primary_bone, i.first_entry, i.entry_count);
  };
  for (size_t si = 0; si < got.surfaces.size(); ++si) {
    const XmodelSurface& g = got.surfaces[si];
    const XmodelSurface& w = want.surfaces[si];
    ASSERT_EQ(std::make_tuple(g.weighted, g.vertices.size(), g.influences.size(), g.influence_pool.size()),
              std::make_tuple(w.weighted, w.vertices.size(), w.influences.size(), w.influence_pool.size()));
    EXPECT_EQ(std::memcmp(g.vertices.data(), w.vertices.data(), g.vertices.size() * sizeof(XmodelVertex)), 0);
    for (size_t vi = 0; vi < g.vertices.size(); ++vi)
      ASSERT_EQ(fields(g.influences[vi]), fields(w.influences[vi])) << si << ", vertex " << vi;
    EXPECT_TRUE(g.influence_pool.empty() || std::memcmp(g.influence_pool.data(), w.influence_pool.data(),
                                                        g.influence_pool.size() * sizeof(InfluenceEntry)) == 0);
    EXPECT_EQ(g.triangles, w.triangles);
  }
}

TEST(SurfaceFileLoad, ScaledLoadFromDiskIsTheBytesTimesTheScale) {
  for (GameVersion layout : {Cod4, Cod5, BO}) {
    SCOPED_TRACE("layout " + std::to_string(layout));
    TempDir dir;
    // Two surfaces at the 16-bit vertex count's limit (megabytes, so many
    // pages of the file go by within each), the second one rigid.
    fixture::ModelFiles files = fixture::MakeBigModel(2, 32000, 4, layout);
    fixture::SurfsSurface& rigid = files.surfs[0].surfaces[1];
    rigid.bone_table = fixture::ShortTable(32000, 3);
    for (fixture::SurfsVertex& v : rigid.vertices) v.influences.clear();
    const std::string path = fixture::WriteModel(dir.path(), files);
    const std::string surfs_path = dir.path() + "/raw/xmodelsurfs/" + files.xmodel.lods[0].name;
    std::vector<uint8_t> bytes;
    ASSERT_EQ(platform::ReadFileBytes(surfs_path, bytes), 0);

    Xmodel disk, plain;  // LoadSurface at a scale; the bytes as they are
    for (Xmodel* m : {&disk, &plain}) {
      m->game = layout;
      ASSERT_EQ(m->LoadxmodelFull(path), err::kSuccess);
    }
    disk.scale = 2.54f;
    ASSERT_EQ(disk.LoadSurface(), err::kSuccess);
    ASSERT_EQ(plain.ReadSurfaceBytes(plain.lods[0], bytes), err::kSuccess);
    EXPECT_EQ(disk.consumed_bytes, bytes.size());
    const XmodelSurface& weighted = disk.lods[0].surfaces[0];
    EXPECT_EQ(std::make_tuple(int(weighted.vertex_count), weighted.Entries(31999).size(), disk.bones.size()),
              std::make_tuple(32000, size_t(3), size_t(64)));
    plain.scale = 2.54f;
    ASSERT_EQ(plain.ApplyScale(), err::kSuccess);
    ExpectSameSurfaces(disk.lods[0], plain.lods[0]);
    EXPECT_EQ(disk.bones[1].position[2], 2.0f * 2.54f);

    // Cut in the second surface, many pages in: the bytes reader's code and
    // first surface.
    bytes.resize(bytes.size() * 3 / 4);
    ASSERT_TRUE(fixture::WriteFile(surfs_path, bytes));
    Xmodel cut, cut_bytes;
    for (Xmodel* m : {&cut, &cut_bytes}) {
      m->game = layout;
      m->scale = 2.54f;
      ASSERT_EQ(m->LoadxmodelFull(path), err::kSuccess);
    }
    const ErrorCode code = cut.LoadSurface();
    EXPECT_NE(code, err::kSuccess);
    EXPECT_EQ(cut_bytes.ReadSurfaceBytes(cut_bytes.lods[0], bytes), code);
    EXPECT_EQ(cut.lods[0].surfaces.size(), 1u);
    ExpectSameSurfaces(cut.lods[0], cut_bytes.lods[0]);
  }
}

}  // namespace
