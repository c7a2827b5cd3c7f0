// Colour pickers: a saturation-value square tinted with the current hue, a
// hue strip beside it, their markers, a swatch and the read-outs. Pressing
// in the square or the strip and dragging sets the values, clamped to their
// ranges however far the mouse goes; every change reaches the handler.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gui/colour_hsv.h"
#include "gui/draw2d.h"
#include "gui/keyboard.h"
#include "gui/materials.h"
#include "gui/widget_context.h"
#include "gui/widgets/widgets.h"

namespace {
constexpr int kSquare = 100, kStripX = 110, kStripW = 32, kStripH = 128, kHueSpan = 95;
}  // namespace

bool DoColourPicker(WidgetContext& gui, ColourPickerItem& c, float alpha) {
  Draw2D& d = gui.draw();
  const int x = c.rect.x, y = c.rect.y;
  const GuiRect square{x, y, kSquare, kSquare, kAnchorFixed};
  const GuiRect strip{x + kStripX, y, kStripW, kHueSpan, kAnchorFixed};
  (void)gui.HoverTest({x, y, 205, 110, kAnchorFixed});

  if (gui.button_held()) {
    if (!c.dragging_square && !c.dragging_hue) {
      // A drag keeps the press (taking it would end the drag at once).
      if (gui.HoverTest(square) && gui.ClickTest(square)) {
        c.dragging_square = true;
      } else if (gui.HoverTest(strip) && gui.ClickTest(strip)) {
        c.dragging_hue = true;
      }
    }
  } else {
    c.dragging_square = c.dragging_hue = false;
  }
  const Hsv before{c.hue, c.saturation, c.value};
  const float mx = gui.mouse_x() - gui.menu_origin_x(), my = gui.mouse_y() - gui.menu_origin_y();
  if (c.dragging_square) {
    gui.SetMouseOverGui();
    c.saturation = std::clamp(int(std::lround((mx - float(x)) * 100.0f / kSquare)), 0, 100);
    c.value = std::clamp(int(std::lround((float(y + kSquare) - my) * 100.0f / kSquare)), 0, 100);
  } else if (c.dragging_hue) {
    gui.SetMouseOverGui();
    c.hue = std::clamp(int(std::lround((my - float(y)) * 359.0f / kHueSpan)), 0, 359);
  }
  const bool changed = c.hue != before.hue || c.saturation != before.saturation || c.value != before.value;
  c.colour = HsvToRgb({c.hue, c.saturation, c.value});
  if (changed && c.on_change) c.on_change(c.colour);

  // The square: the pure hue under a white-to-clear and clear-to-black
  // picture.
  const Rgba pure = HsvToRgb({c.hue, 100, 100});
  d.Colour(pure.r, pure.g, pure.b, alpha);
  d.FillRect(float(x), float(y), kSquare, kSquare);
  d.Colour(1, 1, 1, alpha);
  d.Picture(gui.materials().Get("color_picker_main"), float(x), float(y), kSquare, kSquare);
  d.Picture(gui.materials().Get("color_picker_hue"), float(x + kStripX), float(y), kStripW, kStripH);
  const float sx = float(x) + float(c.saturation) * kSquare / 100.0f;
  const float sy = float(y + kSquare) - float(c.value) * kSquare / 100.0f;
  d.Picture(gui.materials().Get("color_picker_circle"), sx - 4, sy - 4, 8, 8);
  const float hy = float(y) + float(c.hue) * kHueSpan / 359.0f;
  d.Picture(gui.materials().Get("color_picker_slider"), float(x + kStripX), hy - 4, kStripW, 8);

  // The swatch and the read-outs right of the strip.
  const float rx = float(x + kStripX + kStripW + 8);
  d.Colour(c.colour.r, c.colour.g, c.colour.b, alpha);
  d.FillRect(rx, float(y + 5), 40, 30);
  d.Colour(c.text_colour.r, c.text_colour.g, c.text_colour.b, alpha);
  d.OutlineRect(rx, float(y + 5), 40, 30);
  char line[24];
  const int channel[3] = {int(std::lround(c.colour.r * 255)), int(std::lround(c.colour.g * 255)),
                          int(std::lround(c.colour.b * 255))};
  const char names[3] = {'R', 'G', 'B'};
  for (int i = 0; i < 3; ++i) {
    std::snprintf(line, sizeof line, "%c: %i", names[i], channel[i]);
    d.Text(rx, float(y + 51 + 15 * i), line);
  }
  std::snprintf(line, sizeof line, "HUE: %i", c.hue);
  d.Text(rx, float(y + 96), line);
  return changed;
}
