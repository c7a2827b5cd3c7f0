// The log panel: the newest lines at the bottom, the wheel and the scroll
// bar going back through older ones. The lines belong to the log; the pass
// holds their lock and copies nothing.
#include <algorithm>
#include <cmath>
#include <mutex>
#include <string>
#include <vector>

#include "base/list_source.h"
#include "gui/colour_text.h"
#include "gui/draw2d.h"
#include "gui/keyboard.h"
#include "gui/materials.h"
#include "gui/widget_context.h"
#include "gui/widgets/widgets.h"

namespace {
constexpr int kLineHeight = 14;
constexpr int kWheelLines = 5;
}  // namespace

void DoTextList(WidgetContext& gui, TextListItem& t, float alpha) {
  Draw2D& d = gui.draw();
  const GuiRect& r = t.rect;
  if (!t.lines) {
    d.Colour(t.text.r, t.text.g, t.text.b, t.text.a * alpha);
    d.Text(float(r.x + 2), float(r.y + 10), "'" + t.name + "' List not active");
    return;
  }
  // The source's lock is held only to read it, never across the widgets
  // below (the scroll bar may log, and the log's writer takes its own lock).
  bool ready;
  int count;
  {
    std::lock_guard<std::mutex> hold(t.lines->lock);
    ready = t.lines->ready;
    count = int(t.lines->items.size());
  }
  if (!ready) {
    d.Colour(t.text.r, t.text.g, t.text.b, t.text.a * alpha);
    d.Text(float(r.x + 2), float(r.y + 10), "'" + t.name + "' List not active");
    return;
  }
  t.rows_fit = std::max((r.h - 10) / kLineHeight, 0);
  const int most_back = std::max(count - t.rows_fit, 0);
  if (gui.wheel() != 0 && gui.HoverTest(r)) {
    t.scroll += float(gui.wheel() * kWheelLines);
    gui.ConsumeWheel();
  }
  t.scroll = std::clamp(t.scroll, 0.0f, float(most_back));

  d.Colour(t.background.r, t.background.g, t.background.b, t.background.a * alpha);
  d.FillRect(float(r.x), float(r.y), float(r.w), float(r.h));

  // The bar counts from the top: the offset of the first line shown.
  const GuiRect track{r.x + r.w - 16, r.y, 16, r.h, kAnchorFixed};
  const float top = float(most_back) - t.scroll;
  const float moved = DoScrollBar(gui, t.bar, track, true, top * kLineHeight, float(count * kLineHeight),
                                  float(t.rows_fit * kLineHeight), kLineHeight, alpha);
  t.scroll = std::clamp(float(most_back) - std::round(moved / kLineHeight), 0.0f, float(most_back));
  t.first_visible = most_back - int(t.scroll);

  // Each line starts in the list's colour; its codes colour the rest.
  const Rgba base{t.text.r, t.text.g, t.text.b, t.text.a * alpha};
  std::vector<std::string> shown;
  {
    std::lock_guard<std::mutex> hold(t.lines->lock);
    const std::vector<std::string>& lines = t.lines->items;
    for (int i = 0; i < t.rows_fit && size_t(t.first_visible + i) < lines.size(); ++i)
      shown.push_back(lines[size_t(t.first_visible + i)]);
  }
  d.Clip(float(r.x), float(r.y), float(r.w - 16), float(r.h));
  for (size_t i = 0; i < shown.size(); ++i)
    DrawColouredText(d, float(r.x + 8), float(r.y + 5 + kLineHeight * int(i) + 11), shown[i], base);
  d.Unclip();
}
