// The model list: rows of 14 pixels over a list the list loader owns, a
// first-generation scroll bar whose block position picks the first row,
// the wheel, the keyboard steps, hover fades, and a "Copy Name" context
// menu. The whole pass holds the list's lock so the loader can swap in a
// new list between frames; rows too wide for the list are shortened as they
// come into view (never the whole list at once) and keep their full names
// for loading, copying and the tooltip.
#include <algorithm>
#include <cstdlib>
#include <mutex>

#include "base/list_source.h"
#include "base/logger.h"
#include "gui/item_behaviour.h"
#include "gui/draw2d.h"
#include "gui/keyboard.h"
#include "gui/materials.h"
#include "gui/widget_context.h"
#include "gui/widgets/widgets.h"

namespace {

constexpr int kRowHeight = 14;
constexpr double kRowFadeMs = 100.0;
constexpr int kWheelRows = 3;  // rows a wheel notch scrolls

// The scroll block's range: its top edge from top + 5 to top + height - 15.
float ClampScroll(const ListBoxItem& l, float scroll) {
  return std::clamp(scroll, float(l.rect.y + 5), float(std::max(l.rect.y + 5, l.rect.y + l.rect.h - 15)));
}

// Pixels of scroll-block travel per list item.
float PixelsPerItem(const ListBoxItem& l, size_t count) {
  return count == 0 ? 0.0f : float(std::max(l.rect.h - 20, 1)) / float(count);
}

int MaxFirstVisible(const ListBoxItem& l, size_t count) {
  return std::max(0, int(count) - l.rows_fit + 1);
}

// A name wider than the list is shortened: each round drops the last two
// characters and adds ".", so a name loses one character a round and ends
// in a single "."; never below "." (a list too narrow for even that would
// loop for ever). The rounds are not run one by one: the kept length is the
// longest one that fits, found by halving (the width only grows with the
// length). True when the name was shortened.
bool TrimName(Draw2D& d, const std::string& name, float width, std::string& text) {
  text = name;
  if (d.TextWidth(text) <= width) return false;
  auto fits = [&](size_t keep) {
    text.assign(name, 0, keep);
    text += '.';
    return d.TextWidth(text) <= width;
  };
  size_t low = 0, high = name.size() >= 2 ? name.size() - 2 : 0;  // the first round keeps n - 2
  while (low < high) {
    const size_t mid = (low + high + 1) / 2;
    if (fits(mid)) {
      low = mid;
    } else {
      high = mid - 1;
    }
  }
  text.assign(name, 0, low);
  text += '.';
  return true;
}

// The texts of the `count` rows from `first_visible` on. A row still on
// screen keeps its text; only rows coming into view are measured (a list of
// a few hundred thousand names costs a frame no more than a short one),
// and all of them when the width changed. Returns how many were trimmed
// among those measured.
int MeasureShownRows(WidgetContext& gui, ListBoxItem& l, const std::vector<std::string>& items, int count) {
  const bool same_width = l.shown_width == l.rect.w;
  if (same_width && int(l.shown.size()) == count && (count == 0 || l.shown.front().index == l.first_visible))
    return 0;
  const int old_first = l.shown.empty() ? 0 : l.shown.front().index;
  std::vector<ListBoxItem::ShownRow> rows(size_t(std::max(count, 0)));
  const float width = float(l.rect.w - 20);
  bool font_set = false;
  int trimmed = 0;
  for (int row = 0; row < count; ++row) {
    ListBoxItem::ShownRow& to = rows[size_t(row)];
    to.index = l.first_visible + row;
    const int kept = to.index - old_first;
    if (same_width && kept >= 0 && kept < int(l.shown.size())) {
      to = std::move(l.shown[size_t(kept)]);
      continue;
    }
    if (!font_set) {
      gui.draw().SetFont({GuiFont::kHelvetica, 10, 0, 0.1f});
      font_set = true;
    }
    to.trimmed = TrimName(gui.draw(), items[size_t(to.index)], width, to.text);
    trimmed += to.trimmed ? 1 : 0;
  }
  l.shown = std::move(rows);
  l.shown_width = l.rect.w;
  return trimmed;
}

// Scrolls so that the selection is on screen, by absolute indexes.
void ShowSelection(ListBoxItem& l, size_t count) {
  if (l.selected < l.first_visible) {
    l.first_visible = l.selected;
  } else if (l.selected >= l.first_visible + l.rows_fit) {
    l.first_visible = l.selected - l.rows_fit + 1;
  }
  l.first_visible = std::clamp(l.first_visible, 0, MaxFirstVisible(l, count));
  l.scroll = ClampScroll(l, float(l.rect.y + 5) + PixelsPerItem(l, count) * float(l.first_visible));
  l.applied_scroll = l.scroll;
}

void ScrollBar(WidgetContext& gui, ListBoxItem& l, float alpha) {
  Draw2D& d = gui.draw();
  const GuiRect bar{l.rect.x + l.rect.w - 15, l.rect.y, 15, l.rect.h, kAnchorFixed};
  const bool over_bar = gui.HoverTest(bar);
  d.Colour(1, 1, 1, (over_bar ? 1.0f : 0.8f) * alpha);
  d.Picture(gui.materials().Get("scroll_bar"), float(bar.x), float(bar.y), float(bar.w), float(bar.h));
  const GuiRect block{bar.x + 1, int(l.scroll), 12, 14, kAnchorFixed};
  const bool over_block = gui.HoverTest(block);
  if (gui.button_held() && !l.dragging) {
    if (gui.ClickTest(block)) {
      l.dragging = true;
    } else if (gui.ClickTest(bar)) {
      // A press elsewhere on the bar brings the block there.
      l.scroll = ClampScroll(l, gui.press_y() - gui.menu_origin_y() - 7);
      gui.ConsumeClick();
    }
  }
  if (l.dragging) {
    if (gui.button_held()) {
      l.scroll = ClampScroll(l, gui.mouse_y() - gui.menu_origin_y() - 7);
      gui.SetMouseOverGui();
    } else {
      l.dragging = false;
    }
  }
  d.Colour(1, 1, 1, (over_block || l.dragging ? 1.0f : 0.5f) * alpha);
  d.Picture(gui.materials().Get("scroll_bar_block"), float(block.x), l.scroll, 12, 14);
}

void ContextMenu(WidgetContext& gui, ListBoxItem& l, const std::vector<std::string>& items, float alpha) {
  const GuiRect entry{int(l.context_x), int(l.context_y), 100, 15, kAnchorFixed};
  const bool over = gui.HoverTest(entry);
  DrawMenuEntry(gui, entry, over, "Copy Name", alpha);
  if (!gui.button_held()) return;
  if (gui.ClickTest(entry)) {
    gui.ConsumeClick();
    gui.PlaySound("menu_accept", 1);
    const int row = l.context_row;
    gui.CopyToClipboard(row >= 0 && size_t(row) < items.size() ? items[size_t(row)] : "");
  }
  l.context_open = false;
}

}  // namespace

bool DoListBox(WidgetContext& gui, ListBoxItem& l, float alpha) {
  if (!l.source) return false;
  std::lock_guard<std::mutex> hold(l.source->lock);
  if (!l.source->ready) return false;
  const std::vector<std::string>& items = l.source->items;
  const size_t count = items.size();
  Draw2D& d = gui.draw();
  const GuiRect& r = l.rect;

  const int fit = std::max(r.h / kRowHeight, 0);
  if (fit != l.rows_fit) {
    l.rows_fit = fit;
    l.row_hover_state.assign(size_t(fit), {});
  }
  // A new list: back to its top, a selection and the rows' texts that
  // belonged to the old one forgotten, and the first page measured (the
  // count logged is that page's: rows further down are measured when they
  // come into view).
  if (l.source->changed || l.listed != count) {
    l.source->changed = false;
    l.listed = count;
    l.selected = l.hovered = l.context_row = -1;
    l.context_open = false;
    l.first_visible = 0;
    l.scroll = float(r.y + 5);
    l.applied_scroll = l.scroll;
    Logger().log("Performing single pass listbox overflowcheck. (for '%i' items)", int(count));
    const double started = gui.now();
    l.shown.clear();
    const int trimmed = MeasureShownRows(gui, l, items, std::min(l.rows_fit, int(count)));
    Logger().log("Single pass listbox overflowcheck completed in: %fms (%i trimmed)", gui.now() - started, trimmed);
  }

  bool changed = false;
  const bool hovered = gui.HoverTest(r);
  if (hovered && gui.wheel() != 0) {
    // Counted in rows, not in block pixels, so that no rounding of the
    // block's place loses or adds a row.
    const int target = l.first_visible - gui.wheel() * kWheelRows;
    l.scroll = ClampScroll(l, float(r.y + 5) + PixelsPerItem(l, count) * float(target));
    l.applied_scroll = l.scroll;
    l.first_visible = std::clamp(target, 0, MaxFirstVisible(l, count));
    gui.ConsumeWheel();
  }

  d.Colour(l.background.r, l.background.g, l.background.b, l.background.a * alpha);
  d.FillRect(float(r.x + 5), float(r.y), float(r.w - 5), float(r.h));
  d.Colour(l.outline.r, l.outline.g, l.outline.b, l.outline.a * alpha);
  d.OutlineRect(float(r.x + 5), float(r.y), float(r.w - 5), float(r.h));

  ScrollBar(gui, l, alpha);
  if (l.scroll != l.applied_scroll) {
    const float ppi = PixelsPerItem(l, count);
    l.first_visible = ppi > 0 ? int((l.scroll - float(r.y + 5)) / ppi) : 0;
    l.first_visible = std::clamp(l.first_visible, 0, MaxFirstVisible(l, count));
    l.applied_scroll = l.scroll;
  }
  const int shown = std::max(0, std::min(l.rows_fit, int(count) - l.first_visible));

  // The keyboard step, when nothing lies over the list. A row at a time
  // needs a selection and stops at the ends; a page (the rows shown but
  // one) and the ends start from the top row when nothing is selected.
  const int step = gui.list_step();
  const bool whole = std::abs(step) == WidgetContext::kListPageStep || std::abs(step) == WidgetContext::kListEndStep;
  if ((l.selected >= 0 || whole) && step != 0 && count > 0 &&
      !gui.CoveredAt(gui.menu_origin_x() + float(r.x + r.w / 2), gui.menu_origin_y() + float(r.y + r.h / 2))) {
    const int from = l.selected >= 0 ? l.selected : l.first_visible;
    int next = from + step;
    if (std::abs(step) == WidgetContext::kListPageStep)
      next = std::clamp(from + (step > 0 ? 1 : -1) * std::max(l.rows_fit - 1, 1), 0, int(count) - 1);
    if (std::abs(step) == WidgetContext::kListEndStep) next = step > 0 ? int(count) - 1 : 0;
    gui.ConsumeListStep();
    if (next >= 0 && size_t(next) < count && next != l.selected) {
      l.selected = next;
      gui.PlaySound("menu_accept", 1);
      if (l.on_select) l.on_select(items[size_t(next)]);
      changed = true;
      ShowSelection(l, count);
    }
  }

  // Rows: hover (with a fade after leaving), click, right click.
  (void)MeasureShownRows(gui, l, items, shown);
  const double now = gui.now();
  l.hovered = -1;
  for (int row = 0; row < shown; ++row) {
    const GuiRect row_rect{r.x + 5, r.y + 2 + kRowHeight * row, r.w - 20, kRowHeight, kAnchorFixed};
    ListBoxItem::RowHover& h = l.row_hover_state[size_t(row)];
    const bool over = hovered && !l.context_open && gui.HoverTest(row_rect);
    if (over != h.on) {
      h.entered_ms = now;
      h.fading = !over;
    }
    h.on = over;
    if (over) l.hovered = row;
    const int index = l.first_visible + row;
    if (over && l.shown[size_t(row)].trimmed) gui.SetTooltip(items[size_t(index)]);  // the whole name
    if (over && gui.button_held() && gui.ClickTest(row_rect)) {
      gui.ConsumeClick();
      gui.PlaySound("menu_accept", 1);
      l.selected = index;
      if (l.on_select) l.on_select(items[size_t(index)]);
      changed = true;
    }
    if (over && gui.right_held() && gui.RightClickTest(row_rect)) {
      gui.ConsumeRightClick();
      l.context_open = true;
      l.context_row = index;
      l.context_x = gui.right_press_x() - gui.menu_origin_x();
      l.context_y = gui.right_press_y() - gui.menu_origin_y();
    }
    float highlight = 0;
    if (over || index == l.selected) {
      highlight = l.row_hover.a;
    } else if (h.fading && now - h.entered_ms < kRowFadeMs) {
      highlight = l.row_hover.a * float(1.0 - (now - h.entered_ms) / kRowFadeMs);
      gui.KeepDrawing();
    }
    if (highlight > 0) {
      d.Colour(l.row_hover.r, l.row_hover.g, l.row_hover.b, highlight * alpha);
      d.FillRect(float(row_rect.x), float(row_rect.y), float(row_rect.w), float(row_rect.h));
    }
    const Rgba& c = (over || index == l.selected) ? l.text_hover : l.text;
    d.Colour(c.r, c.g, c.b, c.a * alpha);
    d.Text(float(r.x + 8), float(row_rect.y + 11), l.shown[size_t(row)].text);
  }
  if (l.context_open) ContextMenu(gui, l, items, alpha);
  return changed;
}
