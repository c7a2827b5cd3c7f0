// The records of the three scrolling views: the list box (the model list),
// the text list (the log panel) and the detail list (the properties and
// tags panels). The lists themselves belong to their owners; a view keeps
// only presentation state: scroll, hover, selection, its context menu.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gui/item_base.h"

struct ListSource;
struct DetailSource;

// A second-generation scroll bar's drag: the block held at `grab` pixels
// from its start.
struct ScrollBarState {
  bool dragging = false;
  float grab = 0;
};

struct ListBoxItem : Placed {
  std::string name;  // "reset_listbox" finds it by this
  Rgba background, outline, row, row_hover, text_hover, text;
  ListSource* source = nullptr;
  std::function<void(const std::string&)> on_select;  // the item's full text

  int rows_fit = 0;
  int selected = -1, hovered = -1;
  int context_row = -1;
  float context_x = 0, context_y = 0;
  bool context_open = false;
  int first_visible = 0;
  float scroll = 0, applied_scroll = -1;  // the scroll block's top edge, in pixels
  bool dragging = false;
  struct RowHover {
    bool on = false;
    bool fading = false;  // left, its highlight fading out
    double entered_ms = 0;  // entered or, while fading, left
  };
  std::vector<RowHover> row_hover_state;
  // The rows on screen as last drawn, from `first_visible` on. Only a row
  // that comes into view is measured; one that stays keeps its text, and a
  // new list or a new width measures them all again. A trimmed row's full
  // name is the list's own item.
  struct ShownRow {
    int index = 0;
    std::string text;  // as drawn: shortened, ending in ".", when too wide
    bool trimmed = false;
  };
  std::vector<ShownRow> shown;
  int shown_width = -1;  // the rectangle's width the texts were measured at
  size_t listed = 0;     // the list's length at the last pass
};

struct TextListItem : Placed {
  std::string name;
  Rgba background, text;
  ListSource* lines = nullptr;
  int rows_fit = 0;
  int first_visible = 0;
  float scroll = 0;  // lines scrolled back from the newest
  ScrollBarState bar;
};

struct DetailListItem : Placed {
  std::string name;
  Rgba background, text;
  DetailSource* data = nullptr;
  float scroll_y = 0, scroll_x = 0;  // pixels
  float widest = -1;  // the widest row's extent, measured once per change of the rows
  ScrollBarState bar_y, bar_x;
  int hovered = -1;
  // Up to four entries; which ones depends on the row it opened on.
  struct Context {
    bool open = false;
    int row = -1;
    float x = 0, y = 0;
    std::vector<std::string> entries;
  } context;
};
