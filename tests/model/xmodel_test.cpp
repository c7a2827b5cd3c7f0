// The model object: a second load, a scale of one and the lookups the
// exporters use (scaling: surface_file_load_test).
#include <gtest/gtest.h>

#include <bit>

#include "tests/model/model_test_support.h"

namespace {

using namespace model_test;

// A failed read leaves xmodel_loaded clear, so Reset does nothing: the slot
// names it read must still not stay in front of the next ones.
TEST(Xmodel, SecondLoadStartsFromAnEmptyModel) {
  TempDir dir;
  std::string path_a = fixture::WriteModel(dir.path(), fixture::MakePropModel("crate_a", Cod4));
  fixture::ModelFiles two_lods = fixture::MakePropModel("crate_b", Cod4);
  two_lods.xmodel.lods[1] = {500, "crate_b_lod1"};
  two_lods.xmodel.materials.push_back({{"mtl_crate_b_far"}});
  two_lods.surfs.push_back(two_lods.surfs[0]);
  std::string path_b = fixture::WriteModel(dir.path(), two_lods);
  fixture::ModelFiles broken = fixture::MakePropModel("broken", Cod4);
  broken.xmodel.materials = {{{"mtl_broken"}, 3}};
  std::string broken_path = fixture::WriteModel(dir.path(), broken);

  Xmodel m;
  m.game = Cod4;
  ASSERT_EQ(m.LoadxmodelFull(path_b), err::kSuccess);
  ASSERT_EQ(m.LoadSurface(), err::kSuccess);
  for (const std::string& path : {path_b, broken_path, path_a}) {
    SCOPED_TRACE(path);
    ASSERT_EQ(m.LoadxmodelFull(path), path == broken_path ? err::kUnknown : err::kSuccess);
    if (path == broken_path) continue;
    EXPECT_EQ(std::make_pair(m.lod_names.size(), m.lod_distances.size()), std::make_pair(size_t(4), size_t(4)));
    EXPECT_EQ(m.lod_names[0], m.name + "_lod0");
    EXPECT_EQ(m.bones.size(), 1u);
    EXPECT_FALSE(m.lods[0].surfaces_loaded);
    EXPECT_EQ(m.lods[0].materials.size(), 1u);
  }
  EXPECT_EQ(m.lods.size(), 1u);
  EXPECT_EQ(m.material_library.names, (std::vector<std::string>{"mtl_crate_a"}));
}

TEST(Xmodel, ApplyScaleOfOneLeavesEveryFloatBitIdentical) {
  // A signalling NaN, -0 and a denormal: any multiplication would show in
  // their bits (the NaN becomes quiet).
  const uint32_t kBits[3] = {0x7f800001u, 0x80000000u, 0x00000001u};
  fixture::SurfsSurface s = Quad();
  for (int c = 0; c < 3; ++c) s.vertices[0].position[c] = std::bit_cast<float>(kBits[c]);
  fixture::ModelFiles files = ModelWithSurfaces(Cod4, {s}, 2);
  files.parts.bones[1].position[0] = std::bit_cast<float>(kBits[0]);
  TempDir dir;
  Xmodel m;
  EXPECT_EQ(m.ApplyScale(), err::kNotLoaded);
  ASSERT_EQ(WriteAndLoadSurfaces(dir.path(), files, m, Cod4), err::kSuccess);
  for (int c = 0; c < 3; ++c)
    EXPECT_EQ(std::bit_cast<uint32_t>(m.lods[0].surfaces[0].vertices[0].position[c]), kBits[c]) << c;
  EXPECT_EQ(std::bit_cast<uint32_t>(m.bones[1].position[0]), kBits[0]);
  EXPECT_EQ(m.ApplyScale(), err::kSuccess);
  EXPECT_EQ(std::bit_cast<uint32_t>(m.bones[1].position[0]), kBits[0]);
}

TEST(Xmodel, NameLookupsFallBackOutOfRange) {
  TempDir dir;
  Xmodel m;
  ASSERT_EQ(WriteAndLoadSurfaces(dir.path(), ModelWithSurfaces(Cod4, {Quad(1)}, 2), m, Cod4), err::kSuccess);
  EXPECT_EQ(m.BoneName(1), "j_bone_1");
  EXPECT_EQ(m.BoneName(2), "tag_not_fnd");
  EXPECT_EQ(m.BoneName(-1), "tag_not_fnd");
  EXPECT_EQ(m.ParentNodeName(int8_t(m.bones[0].parent)), "Joints");
  EXPECT_EQ(m.RigidBoneName(m.lods[0].surfaces[0]), "j_bone_1");
  EXPECT_EQ(m.RigidBoneName(XmodelSurface{}), "tag_not_fnd");
}

}  // namespace
