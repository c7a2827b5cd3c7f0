// A bone's transform relative to its parent, as an animation poses it and
// the viewer composes it.
#pragma once

struct BonePose {
  float rotation[4] = {0, 0, 0, 1};  // x, y, z, w of unit length
  float translation[3] = {0, 0, 0};
};
