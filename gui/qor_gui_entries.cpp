// Building the scrolling views and the value widgets, and the operations
// that find them by name.
#include <utility>

#include "base/logger.h"
#include "base/stored_types.h"
#include "gui/colour_hsv.h"
#include "gui/qor_gui.h"

void QorGUI::AddListBox(std::string name, GuiRect rect, const ListBoxItem& colours, ListSource* source,
                        std::function<void(const std::string&)> on_select) {
  Menu& m = Building();
  ListBoxItem& l = AddMenuItem(m.list_boxes, m, rect, width_ - kDesignWidth, height_ - kDesignHeight);
  l.name = std::move(name);
  l.background = colours.background;
  l.outline = colours.outline;
  l.row = colours.row;
  l.row_hover = colours.row_hover;
  l.text_hover = colours.text_hover;
  l.text = colours.text;
  l.source = source;
  l.on_select = std::move(on_select);
  l.scroll = float(l.rect.y + 5);
}

void QorGUI::AddTextList(std::string name, GuiRect rect, Rgba background, Rgba text, ListSource* lines) {
  Menu& m = Building();
  TextListItem& t = AddMenuItem(m.text_lists, m, rect, width_ - kDesignWidth, height_ - kDesignHeight);
  t.name = std::move(name);
  t.background = background;
  t.text = text;
  t.lines = lines;
}

void QorGUI::AddDetailList(std::string name, GuiRect rect, Rgba background, Rgba text, DetailSource* data) {
  Menu& m = Building();
  DetailListItem& d = AddMenuItem(m.detail_lists, m, rect, width_ - kDesignWidth, height_ - kDesignHeight);
  d.name = std::move(name);
  d.background = background;
  d.text = text;
  d.data = data;
}

void QorGUI::AddTextBox(std::string name, std::string hint, GuiRect rect, Rgba frame, Rgba hover, Rgba text,
                        std::function<void(const std::string&)> on_change) {
  Menu& m = Building();
  TextBoxItem& t = AddMenuItem(m.text_boxes, m, rect, width_ - kDesignWidth, height_ - kDesignHeight);
  t.name = std::move(name);
  t.hint = std::move(hint);
  t.frame = frame;
  t.hover = hover;
  t.text_colour = text;
  t.live = true;
  t.on_change = std::move(on_change);
}

void QorGUI::AddTextBox(std::string name, std::string text, GuiRect rect, Rgba frame, Rgba hover, Rgba text_colour,
                        std::function<void(const std::string&)> on_commit, bool read_only) {
  Menu& m = Building();
  TextBoxItem& t = AddMenuItem(m.text_boxes, m, rect, width_ - kDesignWidth, height_ - kDesignHeight);
  t.name = std::move(name);
  t.text = std::move(text);
  t.last_length = t.text.size();
  t.committed = t.text;
  t.frame = frame;
  t.hover = hover;
  t.text_colour = text_colour;
  t.on_commit = std::move(on_commit);
  t.read_only = read_only;
}

void QorGUI::AddKeyBinder(std::string action, GuiRect rect, Rgba background, Rgba hover, Rgba text,
                          HotKeySlot* key) {
  Menu& m = Building();
  KeyBinderItem& k = AddMenuItem(m.key_binders, m, rect, width_ - kDesignWidth, height_ - kDesignHeight);
  k.name = std::move(action);
  k.background = background;
  k.hover = hover;
  k.text_colour = text;
  k.key = key;
}

void QorGUI::AddDropDown(GuiRect rect, std::map<int, std::string> options, std::function<bool(int)> on_choose,
                         int initial) {
  Menu& m = Building();
  DropDownItem& d = AddMenuItem(m.drop_downs, m, rect, width_ - kDesignWidth, height_ - kDesignHeight);
  d.options = std::move(options);
  d.on_choose = std::move(on_choose);
  // A stored index the options do not have shows the first option.
  d.selected = int16_t(d.options.count(initial) ? initial : (d.options.empty() ? 0 : d.options.begin()->first));
}

void QorGUI::AddColourPicker(GuiRect at, Rgba text, std::function<void(const Rgba&)> on_change, Rgba initial) {
  Menu& m = Building();
  ColourPickerItem& c = AddMenuItem(m.colour_pickers, m, {at.x, at.y, 205, 110, at.flags},
                                    width_ - kDesignWidth, height_ - kDesignHeight);
  const Hsv hsv = RgbToHsv(initial);
  c.hue = hsv.hue;
  c.saturation = hsv.saturation;
  c.value = hsv.value;
  c.colour = HsvToRgb(hsv);
  c.text_colour = text;
  c.on_change = std::move(on_change);
}

std::string QorGUI::BoxText(std::string_view name) const {
  for (const auto& menu : menus_)
    for (const TextBoxItem& t : menu->text_boxes)
      if (t.name == name) return t.text;
  return "";
}

void QorGUI::SetBoxText(std::string_view name, std::string_view text) {
  for (auto& menu : menus_) {
    for (TextBoxItem& t : menu->text_boxes) {
      if (t.name != name) continue;
      t.text = text;
      t.committed = t.text;  // set by the program: nothing to hand back
      t.last_length = t.text.size();
      return;
    }
  }
  Logger().log("Failed To Set '%s' text", std::string(name).c_str());
}

void QorGUI::ResetListBox(std::string_view name) {
  for (auto& menu : menus_) {
    for (ListBoxItem& l : menu->list_boxes) {
      if (l.name == name) l.scroll = float(l.rect.y + 5);
    }
  }
}
