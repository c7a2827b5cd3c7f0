// The interface's keyboard: the text that has the keyboard focus, the stored
// key a waiting key binder wants, and which keys are held. The window's key
// and character callbacks feed it between frames in the order the window
// reports them (a key press before the character it types). Each event goes
// to one place, checked in this order: the focused text, the key capture,
// then Escape (quit) or the hotkeys; the route is returned so the window
// knows what its key arrays may still see. (An open dialog takes what would
// be Escape's quit or a hotkey: QorGUI::OnKey.)
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

struct HotKeySlot;  // shell/settings.h: the key map's slots are what binders edit

enum class KeyRoute : uint8_t {
  kNone,     // no effect: a release, a character nothing takes
  kText,     // taken by the focused text (edited it, or did nothing there)
  kEndEdit,  // Enter or Escape: the focused text lost the keyboard focus
  kCapture,  // stored into the waiting key binder's slot
  kHotkey,   // offered to the hotkeys
  kExit,     // Escape with no text focused and no binder waiting
  kListStep, // Up, Down, Page Up/Down, Home, End: move in the model list
  kDialog,   // taken by the open dialog on top (its keys, or nothing)
};

const char* KeyRouteName(KeyRoute route);

class GuiKeyboard {
 public:
  // A text takes no more typed characters once it is this long.
  static constexpr size_t kMaxTypedLength = 50;

  // ---- focus: a text box hands over its text when clicked; it has lost the
  // focus once focused_text() no longer points at it (another box, a click
  // elsewhere, Enter or Escape). The text is edited in place.
  // `max_length`: typing stops there (a path entry takes more than a name).
  // `select_all`: the text starts selected, so what is typed replaces it.
  void Focus(std::string* text, size_t max_length = kMaxTypedLength, bool select_all = false);
  void Unfocus();
  // Control+A selects the whole text: the next character replaces it, and
  // Backspace or Delete empties it; any other key keeps the text.
  bool all_selected() const { return all_selected_; }
  bool has_focus() const { return focused_text_ != nullptr; }
  const std::string* focused_text() const { return focused_text_; }
  size_t focus_length() const { return focus_length_; }

  // ---- key capture: a key binder waiting for a key. The next key press is
  // stored into the target and the target is cleared (a letter as the
  // lower-case character it types, as the default map holds letters, so
  // it fires whatever the keyboard's layout); capture stays on
  // until the binder has seen that and calls EndCapture. Capturing again
  // moves the target to the new binder.
  void CaptureKey(HotKeySlot* target);
  void EndCapture();
  bool capturing() const { return capturing_; }
  const HotKeySlot* capture_target() const { return capture_target_; }

  // ---- events. A press while the key is held is the window's key repeat
  // and acts again. `vk` is a Windows virtual-key code; left and right
  // Shift and Control come as their own codes (0xA0 to 0xA3).
  KeyRoute OnKey(int vk, bool down);
  KeyRoute OnChar(unsigned codepoint);

  // Held from press to release, and until a frame has run since the press,
  // so a tap between two frames is still seen. Shift and Control (0x10,
  // 0x11) are held while either side is.
  bool KeyHeld(int vk) const { return Held(vk, true); }
  // A press something else acted on (a dialog's key): its repeats and the
  // character it types go nowhere, until it is released.
  void Spend(int vk);
  // The end of every frame.
  void FrameSeen() { unseen_.fill(0); }

 private:
  // Editing asks whether a modifier is down now, not whether a frame saw it.
  bool Held(int vk, bool latched) const;
  KeyRoute EditKey(int vk);
  KeyRoute EditChar(unsigned codepoint);

  std::string* focused_text_ = nullptr;
  size_t focus_length_ = 0;
  bool all_selected_ = false;
  size_t max_length_ = kMaxTypedLength;
  bool capturing_ = false;
  HotKeySlot* capture_target_ = nullptr;
  int capture_letter_ = 0;  // a letter pressed for a binder, waiting for its character
  // The key whose press a binder took or that ended editing: its repeats
  // (and, after a bind, the character it types) belong to that press, not
  // to the hotkeys or Escape's quit, until it is released.
  int spent_vk_ = 0;
  bool spent_types_ = false;
  // The window sends the character a press types right after the press.
  bool drop_chars_ = false;
  std::array<uint8_t, 256> held_{};
  std::array<uint8_t, 256> unseen_{};
};
