// The axis-aligned box of the first level of detail, as the viewer and the
// command line show it.
#pragma once

#include "model/xmodel.h"

struct ModelBounds {
  float min[3] = {0, 0, 0};
  float max[3] = {0, 0, 0};
  bool valid = false;
};

// Valid when the model is loaded, level 0 has a surface and its first
// surface a vertex; widened over every vertex of every surface of level 0.
ModelBounds ComputeBounds(const Xmodel& model);
