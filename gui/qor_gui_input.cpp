// Input tracking: the mouse position, presses latched until a frame has
// seen them, the right button, the keyboard's routing, and the hit tests the
// widgets ask while the frame draws them.
#include <algorithm>

#include "gui/key_names.h"
#include "gui/qor_gui.h"

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
