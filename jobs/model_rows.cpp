#include "jobs/model_rows.h"

#include <cstdio>
#include <string>

#include "model/xmodel.h"

namespace {

DetailRow Row(std::string text, const char* icon, uint8_t depth) {
  DetailRow row;
  row.text = std::move(text);
  row.icon = icon;
  row.depth = depth;
  return row;
}

std::string Number(long long value) { return std::to_string(value); }

void AddBone(const Xmodel& model, const std::vector<std::vector<int>>& children, int bone, uint8_t depth,
             std::vector<DetailRow>& rows) {
  rows.push_back(Row(model.bones[size_t(bone)].name, "joint", depth));
  // Deeper than this a row would be off the panel; the skeletons are
  // shallower.
  if (depth >= 60) return;
  for (int child : children[size_t(bone)]) AddBone(model, children, child, uint8_t(depth + 1), rows);
}

}  // namespace

std::vector<DetailRow> PropertyRows(const Xmodel& model) {
  std::vector<DetailRow> rows;
  if (!model.xmodel_loaded) return rows;
  rows.push_back(Row("Name: " + model.name, "tree_node", 0));
  if (!model.physics_preset.empty()) rows.push_back(Row("Physics: " + model.physics_preset, "tree_node", 0));
  if (model.collision_lod != -1) rows.push_back(Row("CollisionLOD: " + Number(model.collision_lod), "tree_node", 0));
  const XmodelLod* lod = model.lods.empty() ? nullptr : &model.ShownLod();
  long long verts = 0, faces = 0;
  if (lod) {
    for (const XmodelSurface& s : lod->surfaces) {
      verts += s.vertex_count;
      faces += s.triangle_count;
    }
  }
  rows.push_back(Row("Meshes: " + Number(lod ? lod->surface_count : 0), "tree_node", 0));
  rows.push_back(Row("Verts: " + Number(verts), "tree_node", 0));
  rows.push_back(Row("Faces: " + Number(faces), "tree_node", 0));

  rows.push_back(Row("Surfaces", "tree_arrow_right", 0));
  if (lod) {
    for (size_t i = 0; i < lod->surfaces.size(); ++i) {
      const XmodelSurface& s = lod->surfaces[i];
      rows.push_back(Row("Mesh " + Number(static_cast<long long>(i)) + ": " + Number(s.vertex_count) + " verts, " +
                             Number(s.triangle_count) + " faces",
                         "tree_mesh", 1));
    }
  }
  // A level in use is a row to click; the one shown says so.
  for (size_t i = 0; i < model.lod_distances.size(); ++i) {
    char text[64];
    const bool in_use = i < model.lods.size();
    const bool shown = in_use && model.lods.size() > 1 && i == model.ShownIndex();
    std::snprintf(text, sizeof text, "LOD distance: %g%s", double(model.lod_distances[i]), shown ? " (shown)" : "");
    DetailRow row = Row(text, "tree_mesh", 1);
    if (in_use) row.lod = int32_t(i);
    rows.push_back(std::move(row));
  }

  rows.push_back(Row("Materials", "tree_folder", 0));
  const MaterialLibrary& library = model.material_library;
  for (size_t m = 0; m < library.entries.size(); ++m) {
    const MaterialEntry& entry = library.entries[m];
    rows.push_back(Row(entry.name, "tree_file", 1));
    for (size_t i = 0; i < entry.images.size(); ++i) {
      const MaterialImage& image = entry.images[i];
      // An image only the game's archives hold is there too; the row says
      // which archive it is read from.
      const bool archived = !image.iwi_exists && !image.iwi_archive.empty();
      DetailRow row = Row(image.slot + ": " + image.iwi_file + (archived ? " (" + image.iwi_archive + ")" : ""),
                          image.iwi_exists || archived ? "tree_tick" : "tree_cross", 2);
      row.image = image.iwi_file;
      row.material = int32_t(m);
      row.slot = int32_t(i);
      rows.push_back(std::move(row));
    }
  }
  return rows;
}

std::vector<DetailRow> TagRows(const Xmodel& model) {
  std::vector<DetailRow> rows;
  if (!model.xmodel_loaded) return rows;
  rows.push_back(Row("Tags: " + Number(static_cast<long long>(model.bones.size())), "", 0));
  std::vector<std::vector<int>> children(model.bones.size());
  std::vector<int> roots;
  for (size_t b = 0; b < model.bones.size(); ++b) {
    const int parent = model.bones[b].parent;
    // A parent that is missing or not earlier in the list (which would
    // allow a cycle) makes the bone a root.
    if (parent == 255 || size_t(parent) >= b) {
      roots.push_back(int(b));
    } else {
      children[size_t(parent)].push_back(int(b));
    }
  }
  for (int root : roots) AddBone(model, children, root, 1, rows);
  return rows;
}
