// The shapes the settings store that the interface toolkit also knows: a
// menu's stored rectangle and one hotkey.
#pragma once

#include <cstdint>

// RECT: four little-endian int32 (16 bytes).
struct SettingsRect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t w = 0;
  int32_t h = 0;
  bool operator==(const SettingsRect&) const = default;
};

// One hotkey: `kind` 0 = `code` is a character code, non-zero = a virtual-key code.
struct HotKeySlot {
  uint8_t code = 0;
  uint8_t kind = 0;
  bool operator==(const HotKeySlot&) const = default;
};
