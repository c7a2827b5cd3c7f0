// The properties and tags panels: rows of 14 pixels, each with an optional
// 8 x 8 icon and indented by its depth, scrolled both ways by
// second-generation bars, and a context menu: "Copy Text", and for image
// rows "Copy IWI Name", "Export To DDS" and "Export To TGA", which hand the
// row's material and slot to the program (never a path from the text). A
// click on a level of detail's row asks the program to show that level.
#include <algorithm>
#include <mutex>
#include <utility>

#include "base/list_source.h"
#include "gui/item_behaviour.h"
#include "gui/draw2d.h"
#include "gui/keyboard.h"
#include "gui/materials.h"
#include "gui/widget_context.h"
#include "gui/widgets/widgets.h"

namespace {

constexpr int kRowHeight = 14;
constexpr int kIndent = 12;
constexpr float kArrowStep = 15;
constexpr int kBar = 16;
constexpr int kEntryWidth = 110, kEntryHeight = 15;

void ContextMenu(WidgetContext& gui, DetailListItem& l, const std::vector<DetailRow>& rows, float alpha) {
  DetailListItem::Context& c = l.context;
  int chosen = -1;
  for (size_t i = 0; i < c.entries.size(); ++i) {
    const GuiRect entry{int(c.x), int(c.y) + int(i) * kEntryHeight, kEntryWidth, kEntryHeight, kAnchorFixed};
    const bool over = gui.HoverTest(entry);
    DrawMenuEntry(gui, entry, over, c.entries[i], alpha);
    if (over && gui.button_held() && gui.ClickTest(entry)) chosen = int(i);
  }
  if (!gui.button_held()) return;
  c.open = false;
  if (chosen < 0 || c.row < 0 || size_t(c.row) >= rows.size()) return;
  gui.ConsumeClick();
  gui.PlaySound("menu_accept", 1);
  const DetailRow& row = rows[size_t(c.row)];
  const std::string& entry = c.entries[size_t(chosen)];
  if (entry == "Copy Text") {
    gui.CopyToClipboard(row.text);
  } else if (entry == "Copy IWI Name") {
    gui.CopyToClipboard(row.image);
  } else {
    gui.ExportImage(row.material, row.slot, entry == "Export To TGA");
  }
}

}  // namespace

void DoDetailList(WidgetContext& gui, DetailListItem& l, float alpha) {
  Draw2D& d = gui.draw();
  const GuiRect& r = l.rect;
  d.Colour(l.background.r, l.background.g, l.background.b, l.background.a * alpha);
  d.FillRect(float(r.x), float(r.y), float(r.w), float(r.h));
  if (!l.data) return;
  std::lock_guard<std::mutex> hold(l.data->lock);
  const std::vector<DetailRow>& rows = l.data->rows;
  if (l.data->changed || l.widest < 0) {
    l.data->changed = false;
    if (!std::exchange(l.data->texts_only, false)) l.context.open = false;
    l.hovered = -1;
    l.widest = 0;
    for (const DetailRow& row : rows)
      l.widest = std::max(l.widest, float(row.depth * kIndent + 12) + d.TextWidth(row.text) + 4);
  }
  const int fit = std::max((r.h - 16) / kRowHeight, 0);
  const int view_w = std::max(r.w - kBar, 0), view_h = fit * kRowHeight;

  if (gui.wheel() != 0 && gui.HoverTest(r)) {
    l.scroll_y -= float(gui.wheel() * kRowHeight);
    gui.ConsumeWheel();
  }
  l.scroll_y = DoScrollBar(gui, l.bar_y, {r.x + r.w - kBar, r.y, kBar, r.h - kBar, kAnchorFixed}, true, l.scroll_y,
                           float(rows.size() * kRowHeight), float(view_h), kArrowStep, alpha);
  l.scroll_x = DoScrollBar(gui, l.bar_x, {r.x, r.y + r.h - kBar, r.w - kBar, kBar, kAnchorFixed}, false, l.scroll_x,
                           l.widest, float(view_w), kArrowStep, alpha);

  const int first = int(l.scroll_y) / kRowHeight;
  const int shown = std::max(0, std::min(fit + 1, int(rows.size()) - first));
  const bool hovered = gui.HoverTest({r.x, r.y, view_w, r.h - kBar, kAnchorFixed});
  l.hovered = -1;
  d.Clip(float(r.x), float(r.y), float(view_w), float(r.h - kBar));
  for (int i = 0; i < shown; ++i) {
    const int index = first + i;
    const DetailRow& row = rows[size_t(index)];
    const float y = float(r.y + 2 + kRowHeight * i) - float(int(l.scroll_y) % kRowHeight);
    const float x = float(r.x + row.depth * kIndent) - l.scroll_x;
    const GuiRect row_rect{r.x, int(y), view_w, kRowHeight, kAnchorFixed};
    if (hovered && !l.context.open && gui.HoverTest(row_rect)) {
      l.hovered = index;
      d.Colour(1, 1, 1, 0.08f * alpha);
      d.FillRect(float(row_rect.x), y, float(row_rect.w), kRowHeight);
      if (row.lod >= 0 && gui.button_held() && gui.ClickTest(row_rect)) {
        gui.ConsumeClick();
        gui.ShowLod(row.lod);
      }
      if (gui.right_held() && gui.RightClickTest(row_rect)) {
        gui.ConsumeRightClick();
        l.context.open = true;
        l.context.row = index;
        l.context.x = gui.right_press_x() - gui.menu_origin_x();
        l.context.y = gui.right_press_y() - gui.menu_origin_y();
        l.context.entries = {"Copy Text"};
        if (!row.image.empty()) {
          l.context.entries.insert(l.context.entries.end(), {"Copy IWI Name", "Export To DDS", "Export To TGA"});
        }
      }
    }
    if (!row.icon.empty()) {
      d.Colour(1, 1, 1, alpha);
      d.Picture(gui.materials().Get(row.icon), x, y + 4, 8, 8);
    }
    d.Colour(l.text.r, l.text.g, l.text.b, l.text.a * alpha);
    d.Text(x + 12, y + 12, row.text);
  }
  d.Unclip();
  if (l.context.open) ContextMenu(gui, l, rows, alpha);
}
