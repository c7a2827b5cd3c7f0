// Text carrying the log's colour codes ("^1" red ... "^7" white): drawn a
// run at a time in its colour, the codes themselves never drawn. "^6" and a
// caret before anything else are ordinary characters.
#pragma once

#include <string_view>

#include "gui/draw2d.h"
#include "gui/item_base.h"

// Draws `text` from (x, y) in the current font; `base` is the colour before
// the first code (its alpha holds for every run).
void DrawColouredText(Draw2D& d, float x, float y, std::string_view text, const Rgba& base);
