#include "gui/qor_gui.h"

#include <algorithm>
#include <cstdio>

#include "base/logger.h"
#include "base/stored_types.h"
#include "gui/item_texts.h"
#include "gui/key_names.h"
#include "gui/themes.h"
#include "gui/widgets/widgets.h"
#include "gui/word_wrap.h"

namespace {

constexpr FontState kSmallFont = kButtonFont;
constexpr FontState kNormalFont = kItemFont;
constexpr FontState kTitleFont{GuiFont::kBookman, 11, 0.3f, 0.15f};
constexpr FontState kFpsFont{GuiFont::kBookman, 11, 0.4f, 0.15f};
constexpr FontState kVersionFont{GuiFont::kBookman, 16, 0, 0.15f};
constexpr int kMinFramedWidth = 190;
constexpr int kMinFramedHeight = 150;

Placed Place(GuiRect r) { return {r, r}; }
GuiRect FromStored(const SettingsRect& s) { return {s.x, s.y, s.w, s.h, kAnchorFixed}; }
SettingsRect ToStored(const GuiRect& r) { return {r.x, r.y, r.w, r.h}; }

}  // namespace

QorGUI::QorGUI(Draw2D& draw, MaterialStore& materials, CommandProcessor& commands, std::function<double()> clock)
    : draw_(draw), materials_(materials), commands_(commands), clock_(std::move(clock)) {
  RegisterWords();
}

// The toolkit's own command words; the program's are registered by the shell.
void QorGUI::RegisterWords() {
  CommandProcessor& c = commands_;
  c.Register("open", [this](const std::string& v) { SetVis(v, true); });
  c.Register("close", [this](const std::string& v) { SetVis(v, false); });
  c.Register("toggle_menu", [this](const std::string& v) { ToggleMenu(v); });
  c.Register("force_close", [this](const std::string& v) { ForceSet(v, false); });
  c.Register("force_open", [this](const std::string& v) { ForceSet(v, true); });
  c.Register("reset_listbox", [this](const std::string& v) { ResetListBox(v); });
  c.Register("exit_app", [this](const std::string&) {
    if (hooks.exit_app) hooks.exit_app();
  });
  c.Register("error", [this](const std::string&) { SetVis("error_menu", true); });
  c.Register("display_error", [this](const std::string&) { display_error_ = true; });
  c.Register("hide_error", [this](const std::string&) { display_error_ = false; });
  c.Register("display_msg", [this](const std::string&) { display_msg_ = true; });
  c.Register("hide_msg", [this](const std::string&) { display_msg_ = false; });
}

// ============================================================ [SECTION] building

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

void QorGUI::SetBoxTextArea(GuiRect area) {
  box_design_ = area;
  box_ = Anchored(area, width_ - kDesignWidth, height_ - kDesignHeight);
}

// ============================================================ [SECTION] visibility

Menu* QorGUI::FindMenu(std::string_view name) {
  for (auto& m : menus_)
    if (m->name == name) return m.get();
  return nullptr;
}

// A menu's list that leads back to the same menu (A opens B, whose list
// opens A again) is cut at the second visit instead of running for ever.
void QorGUI::RunList(Menu& m, const CommandList& list) {
  if (list.empty()) return;
  m.running_list = true;
  commands_.Processcmd(list);
  m.running_list = false;
}

void QorGUI::SetVis(std::string_view name, bool visible) {
  Menu* m = FindMenu(name);
  if (!m || m->animating || m->visible == visible) return;
  if (m->running_list) {
    Logger().log("QorGUI::SetVis:: '%s' reached again from its own command list", m->name.c_str());
    return;
  }
  RunList(*m, visible ? m->on_open : m->on_close);
  if (m->animating || m->visible == visible) return;  // its own list settled it
  if (m->animation != MenuAnimation::kNone) {
    m->start_ms = clock_();
    m->opening = visible;
    m->animating = true;
    if (m->animation == MenuAnimation::kSlide && visible) {
      m->slide_x = m->slide_y = 0;
      if (m->open_dir == kSlideRight) m->slide_x = float(width_);
      if (m->open_dir == kSlideLeft) m->slide_x = -float(width_);
      if (m->open_dir == kSlideDown) m->slide_y = float(height_);
      if (m->open_dir == kSlideUp) m->slide_y = -float(height_);
    }
    if (m->animation == MenuAnimation::kFade) m->alpha = visible ? 0.0f : 1.0f;
  }
  m->visible = visible;
  if (m->bound) *m->bound = visible;
}

void QorGUI::ToggleMenu(std::string_view name) {
  if (Menu* m = FindMenu(name)) SetVis(name, !m->visible);
}

// Forced sets put the menu at rest at once: no animation left, no slide
// offset, full alpha, so no menu sits off-screen with live hit areas.
void QorGUI::ForceSet(std::string_view name, bool visible) {
  for (auto& menu : menus_) {
    Menu& m = *menu;
    if (m.name != name) continue;
    m.animating = false;
    m.slide_x = m.slide_y = 0;
    m.alpha = 1.0f;
    m.visible = visible;
    if (m.bound) *m.bound = visible;
    if (m.running_list) {
      Logger().log("QorGUI::SetVis:: '%s' reached again from its own command list", m.name.c_str());
      continue;
    }
    RunList(m, visible ? m.on_open : m.on_close);
  }
}

void QorGUI::ShowError(std::string_view text) {
  draw_.SetFont(kNormalFont);
  error_text_ = WrapText(text, float(box_.w), [this](std::string_view s) { return draw_.TextWidth(s); });
  SetVis("error_menu", true);
  Play("error_msg", 2);
}

std::string QorGUI::Wrap(std::string_view text, float width) {
  draw_.SetFont(kNormalFont);
  return WrapText(text, width, [this](std::string_view s) { return draw_.TextWidth(s); });
}

void QorGUI::SetMessage(std::string_view text) {
  draw_.SetFont(kNormalFont);
  message_text_ = WrapText(text, float(box_.w), [this](std::string_view s) { return draw_.TextWidth(s); });
}

void QorGUI::SetText(std::string_view name, std::string_view text) {
  auto it = texts_.find(name);
  if (it == texts_.end()) {
    texts_.emplace(std::string(name), std::string(text));
  } else {
    it->second.assign(text);
  }
}

const std::string& QorGUI::Text(std::string_view name) const {
  static const std::string kNone;
  auto it = texts_.find(name);
  return it == texts_.end() ? kNone : it->second;
}

void QorGUI::SetProgress(std::string_view name, float fill) {
  auto it = progress_.find(name);
  if (it == progress_.end()) {
    progress_.emplace(std::string(name), fill);
  } else {
    it->second = fill;
  }
}

float QorGUI::Progress(std::string_view name) const {
  auto it = progress_.find(name);
  return it == progress_.end() ? 0.0f : it->second;
}

float QorGUI::menu_origin_x() const {
  return drawing_ < menus_.size() ? float(menus_[drawing_]->origin.rect.x) + menus_[drawing_]->slide_x : 0.0f;
}

float QorGUI::menu_origin_y() const {
  return drawing_ < menus_.size() ? float(menus_[drawing_]->origin.rect.y) + menus_[drawing_]->slide_y : 0.0f;
}

void QorGUI::CopyToClipboard(const std::string& text) {
  Logger().log("Copied text to clipboard: %s", text.c_str());
  if (hooks.set_clipboard) hooks.set_clipboard(text);
}

std::string QorGUI::PasteFromClipboard(size_t limit) {
  std::string text;
  if (hooks.get_clipboard) {
    // Control characters would end up in paths and the model filter.
    for (char c : hooks.get_clipboard())
      if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) text += c;
  }
  if (text.size() > limit) text.resize(limit);
  Logger().log("Copied Text From ClipBoard: '%s'", text.c_str());
  return text;
}

void QorGUI::Play(std::string_view sound, int channel) {
  if (hooks.play_sound) hooks.play_sound(sound, channel);
}

// ============================================================ [SECTION] input

void QorGUI::OnMouseMove(float x, float y) {
  mouse_x_ = x;
  mouse_y_ = y;
}

void QorGUI::OnPress() {
  held_ = true;
  press_x_ = int(mouse_x_);
  press_y_ = int(mouse_y_);
  press_ms_ = clock_();
  press_seen_ = false;
  release_pending_ = false;
}

// A press and release between two frames (a tap) would never be seen by a
// widget: the press is kept until one frame has run with it.
void QorGUI::OnRelease() {
  if (press_seen_) {
    held_ = false;
  } else {
    release_pending_ = true;
  }
}

void QorGUI::OnRightPress() {
  right_held_ = true;
  right_x_ = int(mouse_x_);
  right_y_ = int(mouse_y_);
  right_seen_ = false;
  right_release_pending_ = false;
}

void QorGUI::OnRightRelease() {
  if (right_seen_) {
    right_held_ = false;
  } else {
    right_release_pending_ = true;
  }
}

bool QorGUI::RightClickTest(const GuiRect& item) {
  if (drawing_ >= menus_.size() || !right_held_) return false;
  const GuiRect r = OnScreen(item);
  if (Covered(float(right_x_), float(right_y_))) return false;
  const bool hit = right_x_ >= r.x && right_x_ < r.x + r.w && right_y_ >= r.y && right_y_ < r.y + r.h;
  if (hit) mouse_over_gui_ = true;
  return hit;
}

Menu* QorGUI::TopDialog() {
  for (auto it = menus_.rbegin(); it != menus_.rend(); ++it)
    if ((*it)->visible && (*it)->dialog_keys) return it->get();
  return nullptr;
}

void QorGUI::FocusBox(std::string_view name) {
  for (auto& m : menus_)
    for (TextBoxItem& t : m->text_boxes) {
      if (t.name != name || t.read_only) continue;
      t.focused = t.caret_on = true;
      t.focus_ms = t.caret_ms = clock_();
      t.fading = false;
      keyboard_.Focus(&t.text, t.max_length, true);
      focus_drawn_ = true;  // its menu may have been drawn already this frame
      return;
    }
}

KeyRoute QorGUI::OnKey(int vk, bool down) {
  KeyRoute route = keyboard_.OnKey(vk, down);
  // An open dialog has the keyboard: neither Escape's quit nor a hotkey,
  // nor the list's step, gets past it; the key that acts there is spent.
  if (route == KeyRoute::kHotkey || route == KeyRoute::kExit) {
    if (Menu* dialog = TopDialog()) {
      keyboard_.Spend(vk);
      const std::function<void(int)> keys = dialog->dialog_keys;  // it may close its own menu
      keys(vk);
      return KeyRoute::kDialog;
    }
  }
  // Up and Down, Page Up and Page Down, Home and End move the list's
  // selection instead of reaching the hotkeys.
  if (route == KeyRoute::kHotkey) {
    int step = 0;
    switch (vk) {
      case 0x26: step = -1; break;             // Up
      case 0x28: step = 1; break;              // Down
      case 0x21: step = -kListPageStep; break;  // Page Up
      case 0x22: step = kListPageStep; break;   // Page Down
      case 0x24: step = -kListEndStep; break;   // Home
      case 0x23: step = kListEndStep; break;    // End
    }
    if (step != 0) {
      SetListStep(step);
      route = KeyRoute::kListStep;
    }
  }
  PassOn(route, uint16_t(kVirtualKeyKind | (vk & 0xFF)));
  return route;
}

KeyRoute QorGUI::OnChar(unsigned codepoint) {
  KeyRoute route = keyboard_.OnChar(codepoint);
  if (route == KeyRoute::kHotkey && TopDialog()) route = KeyRoute::kDialog;
  PassOn(route, uint16_t(codepoint & 0xFF));
  return route;
}

void QorGUI::PassOn(KeyRoute route, uint16_t key) {
  if (route == KeyRoute::kHotkey && hooks.hotkey) hooks.hotkey(key);
  if (route == KeyRoute::kExit && hooks.exit_app) hooks.exit_app();
}

bool QorGUI::Covered(float x, float y) const {
  for (size_t j = drawing_ + 1; j < menus_.size(); ++j) {
    const Menu& m = *menus_[j];
    if (!m.visible) continue;
    if (m.drag_state != 0) return true;
    const GuiRect a = m.ScreenArea();
    if (x >= float(a.x) && x <= float(a.x + a.w) && y >= float(a.y) && y <= float(a.y + a.h)) return true;
  }
  return false;
}

GuiRect QorGUI::OnScreen(const GuiRect& item) const {
  const GuiRect& o = menus_[drawing_]->origin.rect;
  return {item.x + o.x, item.y + o.y, item.w + o.w, item.h + o.h, item.flags};
}

bool QorGUI::HoverTest(const GuiRect& item) {
  if (drawing_ >= menus_.size() || menus_[drawing_]->animating) return false;
  const GuiRect r = OnScreen(item);
  if (Covered(mouse_x_, mouse_y_)) return false;
  const bool hit = mouse_x_ >= float(r.x) && mouse_x_ <= float(r.x + r.w) && mouse_y_ >= float(r.y) &&
                   mouse_y_ <= float(r.y + r.h);
  if (hit) mouse_over_gui_ = true;
  return hit;
}

bool QorGUI::ClickTest(const GuiRect& item) {
  if (drawing_ >= menus_.size()) return false;
  const GuiRect r = OnScreen(item);
  if (Covered(float(press_x_), float(press_y_))) return false;
  const bool hit = press_x_ >= r.x && press_x_ < r.x + r.w && press_y_ >= r.y && press_y_ < r.y + r.h;
  if (hit) mouse_over_gui_ = true;
  return hit;
}

// ============================================================ [SECTION] frame

void QorGUI::Render(double fps) {
  draw_.Enter2D(width_, height_);
  mouse_over_gui_ = false;
  keep_drawing_ = false;

  // A raised framed menu moves forward past every later framed menu.
  if (raise_ >= 0 && size_t(raise_) < menus_.size()) {
    size_t at = size_t(raise_);
    for (size_t j = at + 1; j < menus_.size(); ++j) {
      if (!menus_[j]->framed) continue;
      std::swap(menus_[at], menus_[j]);
      at = j;
    }
  }
  raise_ = -1;

  // The version first, under every menu: a panel dragged to the corner
  // covers it, never the other way round.
  draw_.Colour(text_colour_.r, text_colour_.g, text_colour_.b, 1);
  draw_.SetFont(kVersionFont);
  draw_.Text(5, float(height_ - 30), std::string("BETA ") + kGuiVersionText);
  draw_.SetFont(kNormalFont);

  for (drawing_ = 0; drawing_ < menus_.size(); ++drawing_) {
    DrawMenu(drawing_);
    DrawBoxText(*menus_[drawing_]);
  }
  drawing_ = menus_.size();

  if (!tooltip_.empty()) {
    draw_.SetFont(kNormalFont);
    const float w = draw_.TextWidth(tooltip_);
    draw_.Colour(0.1f, 0.1f, 0.1f, 0.9f);
    draw_.FillRect(mouse_x_, mouse_y_ + 30, w + 20, 20);
    draw_.Colour(1, 1, 1, 1);
    draw_.OutlineRect(mouse_x_, mouse_y_ + 30, w + 20, 20);
    draw_.Text(mouse_x_ + 10, mouse_y_ + 45, tooltip_);
    tooltip_.clear();  // shown while something asks for it every frame
  }
  draw_.Blend(false);

  // Frame rate and version.
  draw_.Colour(1, 1, 1, 1);
  draw_.SetFont(kFpsFont);
  char fps_text[32];
  if (fps <= 99.9) {
    std::snprintf(fps_text, sizeof fps_text, "FPS: %2.2f", fps);
  } else {
    std::snprintf(fps_text, sizeof fps_text, "FPS: 99.99");
  }
  draw_.Text(8, 17, fps_text);
  draw_.SetFont(kNormalFont);

  // The pointer, drawn last, blended: its picture is an arrow on a clear
  // square, which would show as a black box over whatever lies under it.
  draw_.Blend(true);
  draw_.Colour(1, 1, 1, 1);
  draw_.Picture(materials_.Get("mouse_cursor"), mouse_x_, mouse_y_, 32, 32);
  draw_.Leave2D();

  keyboard_.FrameSeen();
  if (keyboard_.has_focus() && !focus_drawn_) keyboard_.Unfocus();
  focus_drawn_ = false;
  press_seen_ = true;
  if (release_pending_) {
    held_ = false;
    release_pending_ = false;
  }
  right_seen_ = true;
  if (right_release_pending_) {
    right_held_ = false;
    right_release_pending_ = false;
  }
  wheel_ = 0;
  list_step_ = 0;
}

bool QorGUI::Moving() const {
  if (keep_drawing_ || commands_.pending() > 0) return true;
  for (const auto& m : menus_)
    if (m->animating) return true;
  return false;
}

// The error and message boxes' text, drawn with its own box so that a
// dialog opened over it (the question box, the folder entry) covers it.
void QorGUI::DrawBoxText(const Menu& m) {
  const std::string* text = nullptr;
  if (m.name == "error_menu" && display_error_) {
    text = &error_text_;
  } else if (m.name == "msg_box_menu" && display_msg_) {
    text = &message_text_;
  }
  if (!text || text->empty()) return;
  draw_.Colour(1, 1, 1, 1);
  draw_.SetFont(kNormalFont);
  draw_.Text(float(box_.x), float(box_.y), *text);
}

void QorGUI::DrawMenu(size_t index) {
  Menu& m = *menus_[index];
  if (!m.visible && !m.animating) return;
  if (m.animating) StepAnimation(m, clock_(), width_, height_);
  const float a = m.alpha;
  draw_.PushTranslate(float(m.origin.rect.x) + m.slide_x, float(m.origin.rect.y) + m.slide_y);
  if (m.framed) DrawFrame(m);
  for (const FilledRectItem& r : m.filled_rects) {
    draw_.Colour(r.colour.r, r.colour.g, r.colour.b, r.colour.a * a);
    draw_.FillRect(float(r.rect.x), float(r.rect.y), float(r.rect.w), float(r.rect.h));
  }
  for (const PictureItem& p : m.pictures) {
    draw_.Colour(p.colour.r, p.colour.g, p.colour.b, p.colour.a * a);
    draw_.Picture(materials_.Get(p.material), float(p.rect.x), float(p.rect.y), float(p.rect.w), float(p.rect.h));
  }
  for (const OutlineRectItem& r : m.outline_rects) {
    draw_.Colour(r.colour.r, r.colour.g, r.colour.b, r.colour.a * a);
    draw_.OutlineRect(float(r.rect.x), float(r.rect.y), float(r.rect.w), float(r.rect.h));
  }
  for (ProgressBarItem& p : m.progress_bars) DoProgressBar(*this, p, a);
  draw_.SetFont(kSmallFont);
  for (PictureButtonItem& b : m.picture_buttons) DoPictureButton(*this, b, a);
  draw_.SetFont(kNormalFont);
  for (LightBulbItem& b : m.light_bulbs) DoLightBulb(*this, b, a);
  for (TextButtonItem& b : m.text_buttons) DoTextButton(*this, b, a);
  for (ListBoxItem& l : m.list_boxes) DoListBox(*this, l, a);
  for (TextListItem& t : m.text_lists) DoTextList(*this, t, a);
  for (TextBoxItem& t : m.text_boxes) DoTextBox(*this, t, a);
  for (KeyBinderItem& k : m.key_binders) DoKeyBinder(*this, k, a);
  for (CheckBoxItem& c : m.check_boxes) DoCheckBox(*this, c, a);
  for (SliderItem& s : m.sliders) DoSlider(*this, s, a);
  for (ColourPickerItem& c : m.colour_pickers) DoColourPicker(*this, c, a);
  for (DropDownItem& d : m.drop_downs) DoDropDown(*this, d, a);
  for (DetailListItem& l : m.detail_lists) DoDetailList(*this, l, a);
  draw_.Colour(text_colour_.r, text_colour_.g, text_colour_.b, a);
  for (const LabelItem& l : m.labels) draw_.Text(float(l.rect.x), float(l.rect.y), l.text);
  for (const ColourLabelItem& l : m.colour_labels) {
    draw_.Colour(l.colour.r, l.colour.g, l.colour.b, a);
    draw_.Text(float(l.rect.x), float(l.rect.y), l.text);
  }
  for (const NamedLabelItem& l : m.named_labels) {
    const std::string& text = Text(l.text_name);
    if (text.empty()) continue;
    draw_.Colour(l.colour.r, l.colour.g, l.colour.b, a);
    draw_.Text(float(l.rect.x), float(l.rect.y), text);
  }
  for (const SizedLabelItem& l : m.sized_labels) {
    draw_.Colour(l.colour.r, l.colour.g, l.colour.b, a);
    draw_.SetFont(SizedLabelFont(l));
    draw_.Text(float(l.rect.x), float(l.rect.y), l.text);
    draw_.SetFont(kNormalFont);
  }
  if (m.framed) DrawResizeHandle(m);
  // What widgets drew over their menu; a widget may add more while it runs.
  for (size_t i = 0; i < over_menu_.size(); ++i) over_menu_[i]();
  over_menu_.clear();
  draw_.Pop();
  // The whole menu counts as interface for the viewer's mouse.
  const GuiRect area = m.area.rect;
  (void)HoverTest({area.x, area.y, area.w, area.h, kAnchorFixed});
}

void QorGUI::DrawFrame(Menu& m) {
  const int W = m.area.rect.w, H = m.area.rect.h;
  const float a = m.alpha;
  draw_.Colour(0.1f, 0.1f, 0.1f, 0.95f * a);
  draw_.FillRect(0, 0, float(W), float(H));
  const ThemeColours* t = frame_colours_;
  if (t) {
    // The theme's caption, in two bands from its top colour to its bottom
    // one, and its border around the panel.
    draw_.Colour(t->caption_top[0], t->caption_top[1], t->caption_top[2], a);
    draw_.FillRect(0, 0, float(W), 10);
    draw_.Colour(t->caption_bottom[0], t->caption_bottom[1], t->caption_bottom[2], a);
    draw_.FillRect(0, 10, float(W), 10);
    draw_.Colour(t->border[0], t->border[1], t->border[2], a);
    draw_.OutlineRect(0, 0, float(W), float(H));
    draw_.Colour(t->caption_text[0], t->caption_text[1], t->caption_text[2], a);
  } else {
    draw_.Colour(0.18f, 0.18f, 0.2f, a);
    draw_.FillRect(0, 0, float(W), 20);
    draw_.Colour(0.85f, 0.85f, 0.85f, a);
  }
  draw_.SetFont(kTitleFont);
  draw_.Text(7, 15, m.title);
  draw_.SetFont(kNormalFont);

  // Resize handle.
  if (m.drag_state == 0) {
    const bool over = HoverTest({W - 21, H - 20, 20, 20, kAnchorFixed});
    if (over && !m.resize_hover) Play("menu_focus", 1);
    m.resize_hover = over;
    if (over && held_ && ClickTest({W - 21, H - 20, 20, 20, kAnchorFixed})) {
      m.drag_state = 2;
      m.grab_x = press_x_;
      m.grab_y = press_y_;
    }
  }
  // Close button.
  const GuiRect close{W - 19, 3, 16, 16, kAnchorFixed};
  const bool over_close = HoverTest(close);
  if (over_close && !m.close_hover) Play("menu_focus", 1);
  m.close_hover = over_close;
  const float shade = over_close ? 1.0f : 0.7f;
  draw_.Colour(shade, shade, shade, a);
  draw_.Picture(materials_.Get("close_x"), float(close.x), float(close.y), 16, 16);
  if (over_close && held_ && ClickTest(close)) {
    ConsumeClick();
    Play("menu_accept", 1);
    commands_.RunCommand("close " + m.name);
  }
  // Title bar: drag.
  const GuiRect title{3, 3, W - 35, 20, kAnchorFixed};
  if (m.drag_state == 0 && HoverTest(title) && held_ && ClickTest(title)) {
    m.drag_state = 1;
    m.grab_x = press_x_ - m.origin.rect.x;
    m.grab_y = press_y_ - m.origin.rect.y;
  }
  if (m.drag_state == 1) {
    m.origin.rect.x = int(mouse_x_) - m.grab_x;
    m.origin.rect.y = int(mouse_y_) - m.grab_y;
    ClampFramed(m, false);
  } else if (m.drag_state == 2) {
    const int new_w = std::max(int(mouse_x_) + 11 - m.origin.rect.x, kMinFramedWidth);
    int new_h = std::max(int(mouse_y_) + 11 - m.origin.rect.y, kMinFramedHeight);
    const int stored_y = m.stored_origin ? m.stored_origin->y : m.origin.rect.y;
    new_h = std::max(std::min(new_h, height_ - stored_y - 30), kMinFramedHeight);
    m.area.rect.w = new_w;
    m.area.rect.h = new_h;
    ReanchorItems(m, new_w - m.area.design.w, new_h - m.area.design.h);
  }
  if (m.drag_state != 0) {
    mouse_over_gui_ = true;
    StoreFramed(m);
    if (!held_) m.drag_state = 0;
  }
  // A click anywhere on a framed menu that is not the last brings it forward.
  if (drawing_ + 1 < menus_.size() && held_ && ClickTest({0, 0, W, H, kAnchorFixed})) raise_ = int(drawing_);
}

void QorGUI::DrawResizeHandle(Menu& m) {
  const float shade = (m.drag_state == 2 || m.resize_hover) ? 1.0f : 0.3f;
  draw_.Colour(shade, shade, shade, m.alpha);
  draw_.Picture(materials_.Get("resize_dots"), float(m.area.rect.w - 21), float(m.area.rect.h - 20), 16, 16);
}

// The drag limits, also applied to the stored rectangles a framed menu
// starts from: some of it stays on screen, it is never smaller than
// 190 x 150, and with `to_window` never lower than the window allows.
void QorGUI::ClampFramed(Menu& m, bool to_window) {
  GuiRect& o = m.origin.rect;
  GuiRect& a = m.area.rect;
  const int win_w = std::max(width_, pending_width_), win_h = std::max(height_, pending_height_);
  if (to_window) {
    a.w = std::max(a.w, kMinFramedWidth);
    a.h = std::clamp(a.h, kMinFramedHeight, std::max(kMinFramedHeight, win_h - 60));
  }
  o.x = std::max(std::min(o.x, win_w - 50), 75 - a.w);
  o.y = std::max(std::min(o.y, win_h - 50), 30);
  if (to_window) StoreFramed(m);
}

void QorGUI::StoreFramed(Menu& m) {
  if (m.stored_origin) *m.stored_origin = ToStored(m.origin.rect);
  if (m.stored_area) *m.stored_area = ToStored(m.area.rect);
}

// ============================================================ [SECTION] resize

void QorGUI::SetPendingSize(int width, int height) {
  pending_width_ = width;
  pending_height_ = height;
}

void QorGUI::ReanchorItems(Menu& m, int32_t dx, int32_t dy) {
  m.ForEachItemList([dx, dy](auto& list) {
    for (auto& item : list) item.rect = Anchored(item.design, dx, dy);
  });
  for (CheckBoxItem& c : m.check_boxes) c.box = Anchored(c.box_design, dx, dy);
}

bool QorGUI::ItemScale() {
  if (pending_width_ == width_ && pending_height_ == height_) return false;
  Logger().log("\nQorGUI::ItemScale: Ajusting for new window size");
  const double started = clock_();
  const int dx = pending_width_ - kDesignWidth, dy = pending_height_ - kDesignHeight;
  for (auto& menu : menus_) {
    Menu& m = *menu;
    if (m.framed) {
      m.origin.rect.x = std::min(m.origin.rect.x, pending_width_ - 60);
      m.origin.rect.y = std::min(m.origin.rect.y, pending_height_ - 60);
      StoreFramed(m);
      continue;
    }
    m.origin.rect = Anchored(m.origin.design, dx, dy);
    m.area.rect = Anchored(m.area.design, dx, dy);
    ReanchorItems(m, dx, dy);
  }
  box_ = Anchored(box_design_, dx, dy);
  width_ = pending_width_;
  height_ = pending_height_;
  Logger().log("QorGUI::ItemScale: Done width: %i height: %i (%fms)", width_, height_, clock_() - started);
  return true;
}
