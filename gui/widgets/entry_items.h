// The records of the widgets that take a value rather than a click: the
// one-line text box, the key binder, the drop-down and the colour picker.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "gui/item_base.h"

struct HotKeySlot;

struct TextBoxItem : Placed {
  std::string name;  // the key "set text" finds it by
  std::string hint;  // shown while empty and not focused
  std::string text;
  size_t last_length = 0;
  std::string committed;  // the text last handed to the callback
  Rgba frame, hover, text_colour;
  double focus_ms = 0, caret_ms = 0, fade_ms = 0;
  bool hovered = false, fading = false, focused = false, caret_on = false;
  bool context_open = false;
  bool read_only = false;
  bool live = false;  // every change goes to `on_change`, not `on_commit`
  size_t max_length = 50;  // typed characters; a paste is cut to 46 (or to this when longer)
  std::function<void(const std::string&)> on_change;
  std::function<void(const std::string&)> on_commit;
};

struct KeyBinderItem : Placed {
  std::string name;  // the hotkey action it edits: "export_ma"
  std::string shown;
  Rgba background, hover;
  Rgba text_colour;
  double fade_ms = 0;
  bool hovered = false, fading = false, waiting = false, fading_after_bind = false;
  HotKeySlot* key = nullptr;
  std::function<void()> on_bind;  // after a key was stored
};

struct DropDownItem : Placed {
  std::map<int, std::string> options;  // index to text, in index order
  int16_t selected = 0;
  bool open = false;
  double open_ms = 0;  // the press that opened the list
  int hovered_option = -1;
  bool hovered = false, fading = false;
  double fade_ms = 0;
  // False when the program refused the choice (the shown one stays).
  std::function<bool(int)> on_choose;
};

// Placed at its position; its hot area is 205 x 110.
struct ColourPickerItem : Placed {
  int hue = 0;         // 0 to 359
  int saturation = 0;  // 0 to 100
  int value = 0;       // 0 to 100
  Rgba colour;         // hue, saturation and value as RGB
  Rgba text_colour{0.4f, 0.4f, 0.4f, 1};
  bool open = true;
  bool dragging_square = false, dragging_hue = false;
  std::function<void(const Rgba&)> on_change;
};
