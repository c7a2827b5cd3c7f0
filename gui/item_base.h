// What every item of a menu has: the rectangle it was designed with and the
// one laid out for the current size (always recomputed from the design
// one), and the colour type of the toolkit.
#pragma once

#include "gui/gui_rect.h"

struct Placed {
  GuiRect design;
  GuiRect rect;
};

struct Rgba {
  float r = 1, g = 1, b = 1, a = 1;
};
