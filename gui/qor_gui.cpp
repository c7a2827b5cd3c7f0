// The toolkit's state that is not input or drawing: its own command words,
// the menus' visibility, the named texts and progress values, the error and
// message boxes, the clipboard and sounds.
#include "gui/qor_gui.h"

#include "base/notice_board.h"
#include "base/logger.h"
#include "gui/chrome_fonts.h"
#include "gui/word_wrap.h"

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

float QorGUI::Progress(std::string_view name) const { return values_ ? values_->Progress(name) : 0.0f; }

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
