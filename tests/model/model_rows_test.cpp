// The panels' rows from a model: the optional properties only when set,
// the counts of the first level, image rows that carry their material and
// slot, and the bones nested under their parents.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jobs/model_rows.h"
#include "model/xmodel.h"

namespace {

std::vector<std::string> Texts(const std::vector<DetailRow>& rows) {
  std::vector<std::string> out;
  for (const DetailRow& r : rows) out.push_back(std::string(r.depth, ' ') + r.text);
  return out;
}

TEST(ModelRows, PropertiesAndTagsOfALoadedModel) {
  Xmodel m;
  EXPECT_TRUE(PropertyRows(m).empty());  // nothing loaded
  m.xmodel_loaded = true;
  m.name = "helmet";
  m.lod_distances = {250};
  m.lods.resize(1);
  m.lods[0].surface_count = 2;
  m.lods[0].surfaces.resize(2);
  m.lods[0].surfaces[0].vertex_count = 10;
  m.lods[0].surfaces[0].triangle_count = 4;
  m.lods[0].surfaces[1].vertex_count = 5;
  m.lods[0].surfaces[1].triangle_count = 3;
  MaterialEntry entry;
  entry.name = "mtl_helmet";
  // Loose, missing, and held only by an archive of the game.
  entry.images = {{"colorMap", "~helmet_col.iwi", "", true, false, ""},
                  {"normalMap", "helmet_nml.iwi", "", false, false, ""},
                  {"specularMap", "helmet_spc.iwi", "", false, false, "main/iw_02.iwd"}};
  m.material_library.entries = {entry};
  m.bones = {{"tag_origin", {}, {}, 255}, {"j_head", {}, {}, 0}, {"j_eye", {}, {}, 1}, {"j_jaw", {}, {}, 1}};

  const std::vector<DetailRow> rows = PropertyRows(m);
  EXPECT_EQ(Texts(rows), (std::vector<std::string>{"Name: helmet", "Meshes: 2", "Verts: 15", "Faces: 7", "Surfaces",
                                                   " Mesh 0: 10 verts, 4 faces", " Mesh 1: 5 verts, 3 faces",
                                                   " LOD distance: 250", "Materials", " mtl_helmet",
                                                   "  colorMap: ~helmet_col.iwi", "  normalMap: helmet_nml.iwi",
                                                   "  specularMap: helmet_spc.iwi (main/iw_02.iwd)"}));
  EXPECT_EQ(rows[10].icon, "tree_tick");
  EXPECT_EQ(rows[11].icon, "tree_cross");
  EXPECT_EQ(rows[12].icon, "tree_tick");
  EXPECT_EQ(rows[12].image, "helmet_spc.iwi");
  EXPECT_EQ(rows[11].image, "helmet_nml.iwi");
  EXPECT_EQ(rows[11].material, 0);
  EXPECT_EQ(rows[11].slot, 1);

  m.physics_preset = "default";
  m.collision_lod = 1;
  EXPECT_EQ(PropertyRows(m)[1].text, "Physics: default");
  EXPECT_EQ(PropertyRows(m)[2].text, "CollisionLOD: 1");

  EXPECT_EQ(Texts(TagRows(m)),
            (std::vector<std::string>{"Tags: 4", " tag_origin", "  j_head", "   j_eye", "   j_jaw"}));
}

}  // namespace
