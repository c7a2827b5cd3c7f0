// Bounds of the level shown.
#include "model/bounds.h"

#include <algorithm>

ModelBounds ComputeBounds(const Xmodel& model) {
  ModelBounds b;
  if (!model.xmodel_loaded || model.lods.empty()) return b;
  const XmodelLod& lod = model.ShownLod();
  if (lod.surfaces.empty() || lod.surfaces[0].vertices.empty()) return b;
  for (int i = 0; i < 3; ++i) b.min[i] = b.max[i] = lod.surfaces[0].vertices[0].position[i];
  for (const XmodelSurface& s : lod.surfaces)
    for (const XmodelVertex& v : s.vertices)
      for (int i = 0; i < 3; ++i) {
        b.min[i] = std::min(b.min[i], v.position[i]);
        b.max[i] = std::max(b.max[i], v.position[i]);
      }
  b.valid = true;
  return b;
}
