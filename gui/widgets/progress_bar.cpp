// Progress bars fed by the published progress values: a full bar fades out
// over its fade time and stays hidden until the value changes.
#include <algorithm>
#include <cmath>

#include "gui/draw2d.h"
#include "gui/keyboard.h"
#include "gui/materials.h"
#include "gui/widget_context.h"
#include "gui/widgets/widgets.h"

void DoProgressBar(WidgetContext& gui, ProgressBarItem& p, float alpha) {
  Draw2D& d = gui.draw();
  const GuiRect& r = p.rect;
  const int fill = std::clamp(int(std::lround(double(gui.Progress(p.name)) * r.w)), 0, std::max(r.w, 0));
  const double now = gui.now();
  if (fill != p.fill_width) {
    // Any new value shows again: a task that starts above 0 must not stay
    // hidden behind the last one's fade.
    if (fill < r.w) p.full = false;
    p.faded = false;
  }
  if (fill >= r.w && r.w > 0 && !p.full && !p.faded) {
    p.full = true;
    p.fade_start = now;
  }
  p.fill_width = fill;
  d.Colour(0.2f, 0.2f, 0.2f, alpha);
  d.FillRect(float(r.x), float(r.y), float(r.w), float(r.h));
  if (fill > 0 && !p.faded) {
    float a = p.fill.a * alpha;
    if (p.full) {
      const double t = p.fade_ms > 0 ? (now - p.fade_start) / p.fade_ms : 1.0;
      a *= float(std::max(0.0, 1.0 - t));
      if (t >= 1.0) p.faded = true;
      if (!p.faded) gui.KeepDrawing();
    }
    if (!p.faded) {
      d.Colour(p.fill.r, p.fill.g, p.fill.b, a);
      d.FillRect(float(r.x), float(r.y), float(fill), float(r.h));
    }
  }
  d.Colour(1, 1, 1, 0.75f * alpha);
  d.Picture(gui.materials().Get("progress_top"), float(r.x), float(r.y), float(r.w), float(r.h));
}
