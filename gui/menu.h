// A menu of the interface and the item records the toolkit core draws
// itself (rectangles, pictures, the four labels). Items keep the rectangle
// they were designed with and the one laid out for the current size; the
// laid-out one is always recomputed from the design one.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "gui/commands.h"
#include "gui/gui_rect.h"
#include "gui/item_base.h"
#include "gui/widgets/entry_items.h"
#include "gui/widgets/list_items.h"
#include "gui/widgets/widget_items.h"

struct SettingsRect;

struct FilledRectItem : Placed {
  Rgba colour;
};
struct PictureItem : Placed {
  Rgba colour;
  std::string material;
};
struct OutlineRectItem : Placed {
  Rgba colour;
};
// Labels: only the rectangle's x and y are used.
struct LabelItem : Placed {
  std::string text;
};
struct ColourLabelItem : Placed {
  Rgba colour;
  std::string text;
};
struct NamedLabelItem : Placed {
  Rgba colour;
  std::string text_name;
};
struct SizedLabelItem : Placed {
  Rgba colour;
  std::string text;
  uint8_t point_size = 10;
  bool large_font = false;
};

enum class MenuAnimation : uint8_t { kNone = 1, kSlide = 2, kFade = 4 };
// Slide directions: to/from the right, left, below, above.
inline constexpr uint8_t kSlideRight = 1, kSlideLeft = 2, kSlideDown = 4, kSlideUp = 8;

// One item of a menu, whatever its kind. An item kind is a record here, a
// builder in QorGUI and its case in QorGUI::DrawMenu.
using MenuItem =
    std::variant<FilledRectItem*, PictureItem*, OutlineRectItem*, ProgressBarItem*, PictureButtonItem*, LightBulbItem*,
                 TextButtonItem*, ListBoxItem*, TextListItem*, TextBoxItem*, KeyBinderItem*, CheckBoxItem*, SliderItem*, TimelineItem*,
                 ColourPickerItem*, DropDownItem*, DetailListItem*, LabelItem*, ColourLabelItem*, NamedLabelItem*,
                 SizedLabelItem*>;
// The items of one kind; a deque, so the menu's list of items can point
// into it while the menu is built.
template <typename Item>
using ItemList = std::deque<Item>;

struct Menu {
  std::string name;
  std::string title;
  bool framed = false;
  bool resize_hover = false, close_hover = false;
  uint8_t drag_state = 0;  // 0 idle, 1 moving, 2 resizing
  CommandList on_open, on_close;
  std::string on_open_text, on_close_text;  // as written, for the layout dump
  Placed origin;
  Placed area;
  int32_t grab_x = 0, grab_y = 0;
  float slide_x = 0, slide_y = 0;
  uint8_t open_dir = 0, close_dir = 0;
  MenuAnimation animation = MenuAnimation::kNone;
  bool visible = false, animating = false, opening = false;
  double duration_ms = 0, start_ms = 0;
  float alpha = 1.0f;
  SettingsRect* stored_origin = nullptr;  // framed menus: kept in the settings
  SettingsRect* stored_area = nullptr;
  bool* bound = nullptr;  // a setting that mirrors `visible`
  std::string bound_name;  // its "Key/value" name
  bool running_list = false;  // its on-open or on-close list is running
  // Set: a dialog. While it is the top open dialog it has the keyboard:
  // every key press that would quit or fire a hotkey comes here instead.
  std::function<void(int vk)> dialog_keys;

  ItemList<FilledRectItem> filled_rects;
  ItemList<PictureItem> pictures;
  ItemList<OutlineRectItem> outline_rects;
  ItemList<ProgressBarItem> progress_bars;
  ItemList<PictureButtonItem> picture_buttons;
  ItemList<LightBulbItem> light_bulbs;
  ItemList<TextButtonItem> text_buttons;
  ItemList<ListBoxItem> list_boxes;
  ItemList<TextListItem> text_lists;
  ItemList<TextBoxItem> text_boxes;
  ItemList<KeyBinderItem> key_binders;
  ItemList<CheckBoxItem> check_boxes;
  ItemList<SliderItem> sliders;
  ItemList<TimelineItem> timelines;
  ItemList<ColourPickerItem> colour_pickers;
  ItemList<DropDownItem> drop_downs;
  ItemList<DetailListItem> detail_lists;
  ItemList<LabelItem> labels;
  ItemList<ColourLabelItem> colour_labels;
  ItemList<NamedLabelItem> named_labels;
  ItemList<SizedLabelItem> sized_labels;

  // Every item, in the order the menu was built: the order they are drawn
  // in and see the mouse.
  std::vector<MenuItem> items;

  // Origin plus area, field by field.
  GuiRect ScreenArea() const {
    return {origin.rect.x + area.rect.x, origin.rect.y + area.rect.y, origin.rect.w + area.rect.w,
            origin.rect.h + area.rect.h, kAnchorFixed};
  }
};

// Appends an item to one of `m`'s lists and to its items. An item of a
// framed menu is laid out for the menu's current area; one of any other
// menu for the current window (`win_dx`, `win_dy` from the design size).
template <typename Item>
Item& AddMenuItem(ItemList<Item>& list, Menu& m, GuiRect rect, int win_dx, int win_dy) {
  Item& item = list.emplace_back();
  m.items.emplace_back(&item);
  item.design = rect;
  item.rect = m.framed ? Anchored(rect, m.area.rect.w - m.area.design.w, m.area.rect.h - m.area.design.h)
                       : Anchored(rect, win_dx, win_dy);
  return item;
}

// One frame of a menu's animation at `now`: the slide offset or the alpha,
// and the end of the animation. A duration of 0 or less ends it at once.
void StepAnimation(Menu& menu, double now_ms, int window_w, int window_h);
