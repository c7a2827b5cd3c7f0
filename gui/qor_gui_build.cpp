// Building the menus and their static items, buttons and value widgets, in
// the order the screens call them; each item is laid out for the current
// window size as it is added.
#include <utility>

#include "base/stored_types.h"
#include "gui/qor_gui.h"

namespace {

Placed Place(GuiRect r) { return {r, r}; }
GuiRect FromStored(const SettingsRect& s) { return {s.x, s.y, s.w, s.h, kAnchorFixed}; }

}  // namespace

Menu& QorGUI::NewMenu(std::string name, GuiRect origin, GuiRect area, bool visible) {
  auto m = std::make_unique<Menu>();
  m->name = std::move(name);
  m->origin = Place(origin);
  m->area = Place(area);
  m->visible = visible;
  // A menu added after a resize takes the current size at once.
  if (width_ != kDesignWidth || height_ != kDesignHeight) {
    m->origin.rect = Anchored(origin, width_ - kDesignWidth, height_ - kDesignHeight);
    m->area.rect = Anchored(area, width_ - kDesignWidth, height_ - kDesignHeight);
  }
  menus_.push_back(std::move(m));
  building_ = menus_.back().get();
  return *building_;
}

Menu& QorGUI::Building() {
  // The layout adds a menu before its items; an item with no menu is a
  // layout mistake, caught here rather than drawn nowhere.
  if (!building_) NewMenu("", {}, {}, false);
  return *building_;
}

Menu& QorGUI::AddStaticMenu(std::string name, GuiRect origin, GuiRect area, bool visible) {
  return NewMenu(std::move(name), origin, area, visible);
}

Menu& QorGUI::AddFadeMenu(std::string name, GuiRect origin, GuiRect area, bool visible, float seconds) {
  Menu& m = NewMenu(std::move(name), origin, area, visible);
  m.animation = MenuAnimation::kFade;
  m.duration_ms = double(seconds) * 1000.0;
  return m;
}

Menu& QorGUI::AddSlideMenu(std::string name, GuiRect origin, GuiRect area, bool visible, uint8_t open_dir,
                           uint8_t close_dir, float seconds) {
  Menu& m = NewMenu(std::move(name), origin, area, visible);
  m.animation = MenuAnimation::kSlide;
  m.open_dir = open_dir;
  m.close_dir = close_dir;
  m.duration_ms = double(seconds) * 1000.0;
  return m;
}

Menu& QorGUI::AddFramedMenu(std::string name, std::string title, SettingsRect* stored_origin,
                            SettingsRect* stored_area, GuiRect design_area, bool visible, float seconds) {
  Menu& m = NewMenu(std::move(name), stored_origin ? FromStored(*stored_origin) : GuiRect{},
                    stored_area ? FromStored(*stored_area) : design_area, visible);
  m.title = std::move(title);
  m.framed = true;
  m.animation = MenuAnimation::kFade;
  m.duration_ms = double(seconds) * 1000.0;
  m.stored_origin = stored_origin;
  m.stored_area = stored_area;
  m.origin.design = m.origin.rect;
  m.area.design = design_area;
  ClampFramed(m, true);
  return m;
}

void QorGUI::SetOnOpen(std::string_view text) {
  Menu& m = Building();
  m.on_open = SplitCommands(text);
  m.on_open_text = text;
  if (m.visible) RunList(m, m.on_open);
}

void QorGUI::SetOnClose(std::string_view text) {
  Menu& m = Building();
  m.on_close = SplitCommands(text);
  m.on_close_text = text;
}

void QorGUI::SetDialogKeys(std::function<void(int vk)> keys) { Building().dialog_keys = std::move(keys); }

void QorGUI::SetEscapeCommand(std::string_view command) {
  SetDialogKeys([this, list = SplitCommands(command)](int vk) {
    if (vk == 0x1B) commands_.Processcmd(list);
  });
}

void QorGUI::BindVisibility(bool* setting, std::string name) {
  Menu& m = Building();
  m.bound = setting;
  m.bound_name = std::move(name);
  if (setting) *setting = m.visible;
}

void QorGUI::AddFilledRect(GuiRect rect, Rgba colour) {
  Menu& m = Building();
  AddMenuItem(m.filled_rects, m, rect, width_ - kDesignWidth, height_ - kDesignHeight).colour = colour;
}

void QorGUI::AddPicture(GuiRect rect, Rgba colour, std::string material) {
  Menu& m = Building();
  PictureItem& p = AddMenuItem(m.pictures, m, rect, width_ - kDesignWidth, height_ - kDesignHeight);
  p.colour = colour;
  p.material = std::move(material);
}

void QorGUI::AddOutlineRect(GuiRect rect, Rgba colour) {
  Menu& m = Building();
  AddMenuItem(m.outline_rects, m, rect, width_ - kDesignWidth, height_ - kDesignHeight).colour = colour;
}

void QorGUI::AddLabel(GuiRect at, std::string text) {
  Menu& m = Building();
  AddMenuItem(m.labels, m, at, width_ - kDesignWidth, height_ - kDesignHeight).text = std::move(text);
}

void QorGUI::AddColourLabel(GuiRect at, Rgba colour, std::string text) {
  Menu& m = Building();
  ColourLabelItem& l = AddMenuItem(m.colour_labels, m, at, width_ - kDesignWidth, height_ - kDesignHeight);
  l.colour = colour;
  l.text = std::move(text);
}

void QorGUI::AddNamedLabel(GuiRect at, Rgba colour, std::string text_name) {
  Menu& m = Building();
  NamedLabelItem& l = AddMenuItem(m.named_labels, m, at, width_ - kDesignWidth, height_ - kDesignHeight);
  l.colour = colour;
  l.text_name = std::move(text_name);
}

void QorGUI::AddSizedLabel(GuiRect at, Rgba colour, std::string text, uint8_t point_size, bool large_font) {
  Menu& m = Building();
  SizedLabelItem& l = AddMenuItem(m.sized_labels, m, at, width_ - kDesignWidth, height_ - kDesignHeight);
  l.colour = colour;
  l.text = std::move(text);
  l.point_size = point_size;
  l.large_font = large_font;
}

void QorGUI::AddPictureButton(GuiRect rect, Rgba label_colour, std::string material, std::string hover_material,
                              std::string label, int16_t label_dx, int16_t label_dy, std::string_view command,
                              bool three_part) {
  AddPictureButton(rect, label_colour, std::move(material), std::move(hover_material), std::move(label), label_dx,
                   label_dy, std::function<void()>(), three_part);
  PictureButtonItem& b = Building().picture_buttons.back();
  b.command = SplitCommands(command);
  b.command_text = command;
}

void QorGUI::AddPictureButton(GuiRect rect, Rgba label_colour, std::string material, std::string hover_material,
                              std::string label, int16_t label_dx, int16_t label_dy, std::function<void()> callback,
                              bool three_part) {
  Menu& m = Building();
  PictureButtonItem& b = AddMenuItem(m.picture_buttons, m, rect, width_ - kDesignWidth, height_ - kDesignHeight);
  b.label_colour = label_colour;
  b.material = std::move(material);
  b.hover_material = std::move(hover_material);
  b.label = std::move(label);
  b.label_dx = label_dx;
  b.label_dy = label_dy;
  b.callback = std::move(callback);
  b.three_part = three_part;
}

void QorGUI::AddLightBulb(GuiRect rect, Rgba colour, Rgba hover_colour, std::string_view command,
                          std::string on_material, std::string off_material) {
  Menu& m = Building();
  LightBulbItem& b = AddMenuItem(m.light_bulbs, m, rect, width_ - kDesignWidth, height_ - kDesignHeight);
  b.colour = colour;
  b.hover_colour = hover_colour;
  b.command = SplitCommands(command);
  b.command_text = command;
  b.on_material = std::move(on_material);
  b.off_material = std::move(off_material);
}

void QorGUI::AddTextButton(GuiRect rect, std::string label, std::string_view command) {
  AddTextButton(rect, std::move(label), std::function<void()>());
  TextButtonItem& b = Building().text_buttons.back();
  b.command = SplitCommands(command);
  b.command_text = command;
}

void QorGUI::AddTextButton(GuiRect rect, std::string label, std::function<void()> callback) {
  Menu& m = Building();
  TextButtonItem& b = AddMenuItem(m.text_buttons, m, rect, width_ - kDesignWidth, height_ - kDesignHeight);
  b.label = std::move(label);
  b.callback = std::move(callback);
}

void QorGUI::AddCheckBox(GuiRect rect, std::string label, bool* setting, std::string name) {
  Menu& m = Building();
  CheckBoxItem& c = AddMenuItem(m.check_boxes, m, rect, width_ - kDesignWidth, height_ - kDesignHeight);
  c.box_design = {rect.x, rect.y + 2, 15, 15, rect.flags};
  c.box = {c.rect.x, c.rect.y + 2, 15, 15, rect.flags};
  c.label = std::move(label);
  c.setting = setting;
  c.setting_name = std::move(name);
}

void QorGUI::AddSlider(GuiRect rect, float minimum, float maximum, float* bound, std::function<void(float)> callback,
                       bool update_on_release, std::string name) {
  Menu& m = Building();
  SliderItem& s = AddMenuItem(m.sliders, m, rect, width_ - kDesignWidth, height_ - kDesignHeight);
  s.minimum = minimum;
  s.maximum = maximum;
  s.bound = bound;
  s.callback = std::move(callback);
  s.update_on_release = update_on_release;
  s.setting_name = name;
  s.name = std::move(name);
  s.value = bound ? std::clamp(*bound, std::min(minimum, maximum), std::max(minimum, maximum)) : minimum;
}

void QorGUI::AddProgressBar(GuiRect rect, Rgba fill, double fade_ms, std::string progress_name) {
  Menu& m = Building();
  ProgressBarItem& p = AddMenuItem(m.progress_bars, m, rect, width_ - kDesignWidth, height_ - kDesignHeight);
  p.fill = fill;
  p.fade_ms = fade_ms;
  p.name = std::move(progress_name);
}

void QorGUI::AddTimeline(std::string name, GuiRect rect, TimelineSource* source,
                         std::function<void(double frame)> seek) {
  Menu& m = Building();
  TimelineItem& t = AddMenuItem(m.timelines, m, rect, width_ - kDesignWidth, height_ - kDesignHeight);
  t.name = std::move(name);
  t.source = source;
  t.seek = std::move(seek);
}

void QorGUI::SetBoxTextArea(GuiRect area) {
  box_design_ = area;
  box_ = Anchored(area, width_ - kDesignWidth, height_ - kDesignHeight);
}
