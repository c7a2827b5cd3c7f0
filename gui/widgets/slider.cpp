// The slider: a track, a knob, a value from the mouse while dragging, kept
// within [minimum, maximum] and written live or on release.
#include <algorithm>

#include "gui/draw2d.h"
#include "gui/keyboard.h"
#include "gui/materials.h"
#include "gui/widget_context.h"
#include "gui/widgets/widgets.h"

namespace {

void Write(SliderItem& s) {
  if (s.bound) {
    *s.bound = s.value;
  } else if (s.callback) {
    s.callback(s.value);
  }
}

}  // namespace

bool DoSlider(WidgetContext& gui, SliderItem& s, float alpha) {
  Draw2D& d = gui.draw();
  const GuiRect& r = s.rect;
  const float left = gui.menu_origin_x() + float(r.x);
  bool changed = false;
  if (s.dragging) {
    // The ends give the range's ends; between them the value follows the
    // mouse over the track.
    const float x = gui.mouse_x();
    float v = x <= left ? s.minimum
              : x >= left + float(r.w) ? s.maximum
                                       : s.minimum + (s.maximum - s.minimum) * (x - left) / float(r.w);
    v = std::clamp(v, std::min(s.minimum, s.maximum), std::max(s.minimum, s.maximum));
    if (v != s.value) {
      s.value = v;
      changed = true;
      if (!s.update_on_release) Write(s);
    }
    gui.SetMouseOverGui();
  }
  d.Colour(0.5f, 0.5f, 0.5f, alpha);
  d.OutlineRect(float(r.x), float(r.y), float(r.w), float(r.h));
  d.Colour(1, 1, 1, alpha);
  d.Picture(gui.materials().Get("slider_back"), float(r.x), float(r.y) + float(r.h - 6) / 2, float(r.w), 6);
  const float range = s.maximum - s.minimum;
  const float at = range != 0 ? (s.value - s.minimum) / range : 0;
  const float knob = std::clamp(float(r.x) + at * float(r.w), float(r.x + 5), float(r.x + r.w - 15));
  const bool hovered = gui.HoverTest(r);
  const float shade = hovered || s.dragging ? 1.0f : 0.6f;
  d.Colour(shade, shade, shade, alpha);
  d.Picture(gui.materials().Get("slider_knob"), knob, float(r.y), float(r.h), float(r.h));
  // The drag holds the press; it is not taken, or the drag would end at once.
  if (!s.dragging && gui.button_held() && gui.ClickTest(r)) {
    s.dragging = true;
    s.drag_start = gui.now();
  } else if (s.dragging && !gui.button_held()) {
    s.dragging = false;
    Write(s);
    changed = true;
  }
  return changed;
}
