// What the viewer draws, copied from the settings each frame.
#pragma once

struct ViewSettings {
  bool draw_grid = true;
  bool draw_axis = false;
  bool wireframe = false;
  bool draw_bones = true;
  bool bounding_box = false;
  bool central_locator = false;
  bool apply_phong_shade = false;
  float grid_colour[3] = {40 / 255.0f, 39 / 255.0f, 39 / 255.0f};
};
