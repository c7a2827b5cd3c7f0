// XMODEL_EXPORT writer (its bytes are pinned in writer_bytes_test): round
// trip through an independent reader with the model left untouched, the
// full corner counter, refused names, and the bone poses of a real model
// against the games' own tools' file.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include <strings.h>  // Required for: strcasecmp()

#include "tests/export/export_test_support.h"
#include "tests/support/xe_parser.h"
#include "tools/fixture/sample_tree.h"

namespace {

using namespace export_test;

class XmodelExportTest : public ExportTest {
 protected:
  xe::File Export(std::string* raw = nullptr) {
    EXPECT_EQ(model_.ExportXE(Out()), err::kSuccess);
    std::string text = ReadText(OutFile(model_.lods[0].surf_name + ".XMODEL_EXPORT"));
    if (raw) *raw = text;
    xe::File f = xe::Parse(text);
    EXPECT_TRUE(f.ok) << f.error;
    return f;
  }
};

TEST_F(XmodelExportTest, RoundTripKeepsBonesVerticesWeightsFacesAndMaterials) {
  fixture::ModelFiles files = fixture::MakeSoldierModel("soldier", Cod4);
  Load(files, 2.0f);
  ModelSnapshot before(model_);
  xe::File f = Export();
  ASSERT_TRUE(f.ok);
  EXPECT_TRUE(before.Same(model_));  // the scale is undone in the file only

  const auto& bones = files.parts.bones;
  ASSERT_EQ(f.bones.size(), bones.size());
  for (size_t i = 0; i < bones.size(); ++i) {
    EXPECT_EQ(f.bones[i].name, bones[i].name);
    EXPECT_EQ(f.bones[i].parent, i == 0 ? -1 : int(int8_t(bones[i].parent)));
  }

  // Vertices come back unscaled, with the primary bone carrying what the
  // entries leave and each entry on its own bone.
  const fixture::XmodelsurfsDesc& surfs = files.surfs[0];
  size_t n = 0;
  for (const fixture::SurfsSurface& s : surfs.surfaces) {
    bool weighted = fixture::TableMeansWeighted(s);
    for (const fixture::SurfsVertex& v : s.vertices) {
      ASSERT_LT(n, f.verts.size());
      const xe::Vert& out = f.verts[n++];
      for (int k = 0; k < 3; ++k) EXPECT_NEAR(out.offset[size_t(k)], v.position[k], 1e-4);
      if (!weighted) {
        ASSERT_EQ(out.bones.size(), 1u);
        EXPECT_EQ(out.bones[0].first, s.bone_table.first.bone);
        continue;
      }
      ASSERT_EQ(out.bones.size(), v.influences.size() + 1);
      EXPECT_EQ(out.bones[0].first, v.primary_bone);
      double sum = 0;
      for (size_t k = 0; k < v.influences.size(); ++k) {
        EXPECT_EQ(out.bones[k + 1].first, v.influences[k].bone);
        EXPECT_NEAR(out.bones[k + 1].second, v.influences[k].weight / 65535.0, 1e-6);
        sum += v.influences[k].weight / 65535.0;
      }
      EXPECT_NEAR(out.bones[0].second, std::max(0.0, 1.0 - sum), 2e-6);
    }
  }
  EXPECT_EQ(n, f.verts.size());

  // Faces: object index per mesh, corners numbered over all meshes, the
  // file's own v restored.
  size_t t = 0, base = 0;
  for (size_t mi = 0; mi < surfs.surfaces.size(); ++mi) {
    const fixture::SurfsSurface& s = surfs.surfaces[mi];
    for (const auto& tri : s.triangles) {
      ASSERT_LT(t, f.tris.size());
      const xe::Tri& out = f.tris[t++];
      EXPECT_EQ(out.object, int(mi));
      for (int c = 0; c < 3; ++c) {
        const fixture::SurfsVertex& v = s.vertices[tri[size_t(c)]];
        EXPECT_EQ(out.corners[size_t(c)].vert, int(base + tri[size_t(c)]));
        EXPECT_NEAR(out.corners[size_t(c)].uv[1], v.v, 1e-6);
        EXPECT_NEAR(out.corners[size_t(c)].uv[0], v.u, 1e-6);
        EXPECT_NEAR(out.corners[size_t(c)].color[0], v.colour[0] / 255.0, 1e-6);
      }
    }
    base += s.vertices.size();
  }
  EXPECT_EQ(t, f.tris.size());
  EXPECT_EQ(f.objects.size(), surfs.surfaces.size());
  EXPECT_EQ(f.materials, model_.lods[0].unique_materials);
}

TEST_F(XmodelExportTest, CornerNumbersPastSixtyFiveThousandUseTheFullCounter) {
  fixture::ModelFiles files = fixture::MakeBigModel(3, 30000, 1, Cod4);
  Load(files);
  xe::File f = Export();
  ASSERT_TRUE(f.ok);
  ASSERT_EQ(f.verts.size(), 90000u);
  int highest = 0;
  for (const xe::Tri& t : f.tris)
    for (const xe::Corner& c : t.corners) highest = std::max(highest, c.vert);
  EXPECT_GT(highest, 65535);
  EXPECT_LT(highest, 90000);
}

// The format quotes names with no escape: a '"' or a line break would end
// the name and start lines of its own ("BONE 2 0 \"bone" then a line
// "NUMBONES 99\""), so such a name is refused and nothing is written.
TEST_F(XmodelExportTest, RefusesNamesThatWouldBreakOutOfTheirQuotes) {
  Load(fixture::MakeSoldierModel("soldier", Cod4));
  const fs::path file = OutFile("soldier_lod0.XMODEL_EXPORT");
  for (const std::string bad : {"bone\nNUMBONES 99", "j_\"spine", "j_spine\r"}) {
    const std::string bone = model_.bones[2].name;
    model_.bones[2].name = bad;
    EXPECT_EQ(model_.ExportXE(Out()), err::kFileNotValid) << bad;
    model_.bones[2].name = bone;
    const std::string material = model_.lods[0].unique_materials[1];
    model_.lods[0].unique_materials[1] = bad;
    EXPECT_EQ(model_.ExportXE(Out()), err::kFileNotValid) << bad;
    model_.lods[0].unique_materials[1] = material;
    EXPECT_FALSE(fs::exists(file)) << bad;
    EXPECT_FALSE(model_.busy);
  }
  model_.name = "soldier\nNUMBONES 99";  // the parent's name is a comment line
  EXPECT_EQ(model_.ExportXE(Out()), err::kFileNotValid);
  EXPECT_FALSE(fs::exists(file));
  model_.name = "soldier";
  // Any other character is the format's to carry.
  model_.bones[2].name = "j_spine~1 lower";
  xe::File f = Export();
  ASSERT_EQ(f.bones.size(), model_.bones.size());
  EXPECT_EQ(f.bones[2].name, "j_spine~1 lower");
}

// The games' tools wrote viewmodel_m16's XMODEL_EXPORT from the same scene
// the xmodelparts file was compiled from: the poses must agree, and their
// vertex positions must be ours.
TEST(XmodelExportRealFiles, PosesAndPositionsMatchTheToolsFile) {
  fs::path samples = fs::path(VANTOR_SOURCE_DIR) / ".." / "shared" / "samples" / "cod4-modtools";
  if (!fs::exists(samples)) GTEST_SKIP() << "no ../shared/samples";
  fs::path out = fs::path(::testing::TempDir()) / ("xe_real_" + std::to_string(::getpid()));
  fs::remove_all(out);
  Xmodel m;
  m.game = Cod4;
  ASSERT_EQ(m.LoadxmodelFull((samples / "raw" / "xmodel" / "viewmodel_m16").string()), err::kSuccess);
  ASSERT_EQ(m.LoadSurface(), err::kSuccess);
  ASSERT_EQ(m.ExportXE(out.string()), err::kSuccess);
  xe::File ours = xe::Parse(ReadText(out / (m.lods[0].surf_name + ".XMODEL_EXPORT")));
  xe::File theirs = xe::Parse(ReadText(samples / "model_export" / "viewmodel_m16.XMODEL_EXPORT"));
  ASSERT_TRUE(ours.ok) << ours.error;
  ASSERT_TRUE(theirs.ok) << theirs.error;
  ASSERT_EQ(ours.bones.size(), theirs.bones.size());
  for (size_t i = 0; i < ours.bones.size(); ++i) {
    const xe::Bone& a = ours.bones[i];
    const xe::Bone& b = theirs.bones[i];
    EXPECT_EQ(strcasecmp(a.name.c_str(), b.name.c_str()), 0) << a.name << " vs " << b.name;
    EXPECT_EQ(a.parent, b.parent);
    for (size_t k = 0; k < 3; ++k) {
      EXPECT_NEAR(a.offset[k], b.offset[k], 1e-4) << a.name;
      EXPECT_NEAR(a.x[k], b.x[k], 1e-4) << a.name;
      EXPECT_NEAR(a.y[k], b.y[k], 1e-4) << a.name;
      EXPECT_NEAR(a.z[k], b.z[k], 1e-4) << a.name;
    }
  }
  std::multimap<double, std::array<double, 3>> by_x;
  for (const xe::Vert& v : ours.verts) by_x.emplace(v.offset[0], v.offset);
  size_t missing = 0;
  for (const xe::Vert& v : theirs.verts) {
    bool found = false;
    for (auto it = by_x.lower_bound(v.offset[0] - 2e-6); it != by_x.end() && it->first <= v.offset[0] + 2e-6; ++it)
      if (std::fabs(it->second[1] - v.offset[1]) < 2e-6 && std::fabs(it->second[2] - v.offset[2]) < 2e-6)
        found = true;
    if (!found) ++missing;
  }
  // The compiler welds away the odd degenerate corner (one of 1,322 here);
  // a wrong vertex layout would lose nearly all of them.
  EXPECT_LE(missing * 100, theirs.verts.size()) << missing << " of " << theirs.verts.size();
  fs::remove_all(out);
}

}  // namespace
