// The mesh moved by a pose of its skeleton: a vertex follows its bone, a
// vertex shared half and half lands between, and the bind pose leaves the
// mesh where it is.
#include <gtest/gtest.h>

#include <cmath>

#include "viewer/skinning.h"

namespace {

// Two bones, the second 10 up from the first; three vertices at x = 1: on
// the first bone, on the second, and half on each.
void TwoBoneModel(Xmodel& m) {
  m.bones = {{.name = "tag_origin"}, {.name = "j_arm", .position = {0, 0, 10}, .parent = 0}};
  m.lods.resize(1);
  XmodelSurface& s = m.lods[0].surfaces.emplace_back();
  m.lods[0].surfaces_loaded = true;
  s.weighted = true;
  for (const float z : {0.0f, 10.0f, 10.0f}) {
    XmodelVertex& v = s.vertices.emplace_back(XmodelVertex{});
    v.normal[0] = v.position[0] = 1;
    v.position[2] = z;
  }
  s.influences = {{.primary_bone = 0}, {.primary_bone = 1}, {.primary_bone = 0, .entry_count = 1}};
  s.influence_pool = {{1, 32768}};
}

TEST(SkinningTest, VerticesFollowTheirWeightedBones) {
  Xmodel model;
  TwoBoneModel(model);
  SkinnedLevel level;
  level.Prepare(model);
  ASSERT_EQ(level.vertex_count(), 3u);
  std::vector<float> p, n;
  level.Skin(level.bind_pose(), p, n);
  const std::vector<float> bind = {1, 0, 0, 1, 0, 10, 1, 0, 10};
  for (size_t i = 0; i < bind.size(); ++i) EXPECT_NEAR(p[i], bind[i], 1e-5) << i;

  // The arm turned a quarter about Z: its vertex from +x to +y, normal too;
  // the shared one halfway; the first bone's vertex stays.
  std::vector<BonePose> pose = {level.bind_pose()[0], level.bind_pose()[1]};
  pose[1].rotation[2] = pose[1].rotation[3] = float(std::sqrt(0.5));
  level.Skin(pose, p, n);
  const std::vector<float> moved = {1, 0, 0, 0, 1, 10, 0.5f, 0.5f, 10};
  for (size_t i = 0; i < moved.size(); ++i) EXPECT_NEAR(p[i], moved[i], 1e-4) << i;
  EXPECT_NEAR(n[3], 0, 1e-5);
  EXPECT_NEAR(n[4], 1, 1e-5);
  EXPECT_NEAR(level.posed()[1].m[0][1], -1, 1e-5);  // the bones display follows

  // A pose short of bones keeps the rest in the bind pose.
  pose[0].translation[0] = 5;
  pose.pop_back();
  level.Skin(pose, p, n);
  EXPECT_NEAR(p[3], 6, 1e-5);
  EXPECT_NEAR(p[5], 10, 1e-5);
}

}  // namespace
