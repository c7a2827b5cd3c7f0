// Keyboard routing: text editing, key capture, Escape and the hotkeys.
#include "gui/keyboard.h"

#include "gui/key_names.h"     // Required for: kVirtualKeyKind, SlotOfStoredKey()
#include "platform/vk_codes.h"  // Required for: the kVk constants

namespace {

// What the fonts can draw and a hotkey slot can hold: printable ASCII.
bool Typable(unsigned c) { return c >= 0x20 && c < 0x7F; }

bool IsModifier(int vk) {
  using namespace platform;
  return vk == kVkShift || vk == kVkControl || vk == kVkMenu || (vk >= kVkLShift && vk <= kVkRMenu);
}

bool IsLetter(int vk) { return vk >= 'A' && vk <= 'Z'; }
uint8_t LowerLetter(int vk) { return uint8_t(vk - 'A' + 'a'); }

}  // namespace

const char* KeyRouteName(KeyRoute route) {
  switch (route) {
    case KeyRoute::kNone: return "nothing";
    case KeyRoute::kText: return "focused text";
    case KeyRoute::kEndEdit: return "editing ended";
    case KeyRoute::kCapture: return "key capture";
    case KeyRoute::kHotkey: return "hotkey";
    case KeyRoute::kExit: return "exit requested";
    case KeyRoute::kListStep: return "list step";
    case KeyRoute::kDialog: return "dialog";
  }
  return "nothing";
}

void GuiKeyboard::Focus(std::string* text, size_t max_length, bool select_all) {
  focused_text_ = text;
  max_length_ = max_length;
  focus_length_ = text ? text->size() : 0;
  all_selected_ = select_all && text && !text->empty();
}

void GuiKeyboard::Unfocus() {
  focused_text_ = nullptr;
  focus_length_ = 0;
  all_selected_ = false;
}

void GuiKeyboard::CaptureKey(HotKeySlot* target) {
  capturing_ = target != nullptr;
  capture_target_ = target;
  capture_letter_ = 0;
}

void GuiKeyboard::EndCapture() {
  capturing_ = false;
  capture_target_ = nullptr;
  capture_letter_ = 0;
}

void GuiKeyboard::Spend(int vk) {
  spent_vk_ = vk;
  spent_types_ = drop_chars_ = !IsModifier(vk);
}

bool GuiKeyboard::Held(int vk, bool latched) const {
  if (vk <= 0 || vk > 0xFF) return false;
  if (held_[size_t(vk)] || (latched && unseen_[size_t(vk)])) return true;
  // Shift, Control and Alt: either side (0xA0 to 0xA5, left then right).
  if (vk >= platform::kVkShift && vk <= platform::kVkMenu) {
    const int left = platform::kVkLShift + 2 * (vk - platform::kVkShift);
    return Held(left, latched) || Held(left + 1, latched);
  }
  return false;
}

KeyRoute GuiKeyboard::OnKey(int vk, bool down) {
  if (vk <= 0 || vk > 0xFF) return KeyRoute::kNone;
  const size_t k = size_t(vk);
  if (!down) {
    held_[k] = 0;
    // A letter whose character never came (a layout that types none).
    if (vk == capture_letter_ && capture_target_) {
      *capture_target_ = {LowerLetter(vk), 0};
      capture_target_ = nullptr;
    }
    if (vk == capture_letter_) capture_letter_ = 0;
    if (vk == spent_vk_) spent_vk_ = 0;
    drop_chars_ = false;
    return KeyRoute::kNone;
  }
  const bool repeat = held_[k] != 0;
  held_[k] = 1;
  unseen_[k] = 1;
  if (repeat && vk == spent_vk_) {
    drop_chars_ = spent_types_;
    return KeyRoute::kNone;
  }
  drop_chars_ = false;
  if (focused_text_) {
    const KeyRoute route = EditKey(vk);
    if (route == KeyRoute::kEndEdit) {
      spent_vk_ = vk;
      spent_types_ = false;
    }
    return route;
  }
  if (capture_target_) {
    if (IsLetter(vk) && !Held(platform::kVkControl, false) && !Held(platform::kVkMenu, false)) {
      // Stored by the character it types, which comes next.
      capture_letter_ = vk;
      spent_vk_ = vk;
      spent_types_ = true;
      return KeyRoute::kCapture;
    }
    capture_letter_ = 0;
    *capture_target_ = SlotOfStoredKey(uint16_t(kVirtualKeyKind | k));
    capture_target_ = nullptr;
    spent_vk_ = vk;
    spent_types_ = drop_chars_ = !IsModifier(vk);
    return KeyRoute::kCapture;
  }
  return vk == platform::kVkEscape ? KeyRoute::kExit : KeyRoute::kHotkey;
}

// Text is only ever appended to, where the caret is drawn; the arrow keys
// and the rest are taken so that nothing typed reaches a hotkey.
KeyRoute GuiKeyboard::EditKey(int vk) {
  using namespace platform;
  std::string& text = *focused_text_;
  switch (vk) {
    case 'A':
      if (Held(kVkControl, false)) all_selected_ = !text.empty();
      return KeyRoute::kText;
    case kVkBack:
      if (all_selected_ || Held(kVkShift, false)) {
        text.clear();
      } else if (!text.empty()) {
        text.pop_back();
      }
      all_selected_ = false;
      return KeyRoute::kText;
    case kVkDelete:
      if (all_selected_ || Held(kVkShift, false)) text.clear();
      all_selected_ = false;
      return KeyRoute::kText;
    case kVkReturn:
    case kVkEscape:
      Unfocus();
      return KeyRoute::kEndEdit;
    case kVkLeft:
    case kVkRight:
    case kVkUp:
    case kVkDown:
    case 0x23:  // End
    case 0x24:  // Home
      all_selected_ = false;  // the caret stays at the end
      return KeyRoute::kText;
    default:
      return KeyRoute::kText;
  }
}

KeyRoute GuiKeyboard::OnChar(unsigned c) {
  if (capture_letter_ && capture_target_) {
    // The layout's letter, lower-case; a character that is no letter
    // leaves the key's own.
    const unsigned lower = c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
    *capture_target_ = {lower >= 'a' && lower <= 'z' ? uint8_t(lower) : LowerLetter(capture_letter_), 0};
    capture_target_ = nullptr;
    capture_letter_ = 0;
    drop_chars_ = true;
    return KeyRoute::kCapture;
  }
  if (drop_chars_) return KeyRoute::kNone;  // typed by the key a binder just took
  if (focused_text_) return EditChar(c);
  if (!Typable(c)) return KeyRoute::kNone;
  if (capture_target_) {
    *capture_target_ = {uint8_t(c), 0};
    capture_target_ = nullptr;
    return KeyRoute::kCapture;
  }
  return KeyRoute::kHotkey;
}

// Control characters never arrive as characters to edit with: Backspace
// and Enter act as keys, and a character typed with Control held is a
// shortcut, not text.
KeyRoute GuiKeyboard::EditChar(unsigned c) {
  if (!Typable(c) || Held(platform::kVkControl, false)) return KeyRoute::kNone;
  std::string& text = *focused_text_;
  if (all_selected_) text.clear();
  all_selected_ = false;
  if (text.size() < max_length_) text.push_back(char(c));
  return KeyRoute::kText;
}
