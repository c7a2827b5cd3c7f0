// The names key binders show for a stored key, and the way back from a name
// to a key for the headless interface's `key NAME` step.
// A stored key is 16 bits, the settings' hotkey slot read as one number:
// low byte the code, high byte the kind. Kind 0: the code is a character,
// shown as itself. Any other kind: a Windows virtual-key code, shown by the
// key-name table ("F5", "R shift"); codes the table lacks show "Unknown".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/stored_types.h"  // Required for: HotKeySlot

// The kind byte the binders store with a virtual-key code.
inline constexpr uint16_t kVirtualKeyKind = 0x0100;

constexpr uint16_t StoredKey(HotKeySlot slot) { return uint16_t(slot.code | slot.kind << 8); }
constexpr HotKeySlot SlotOfStoredKey(uint16_t key) { return {uint8_t(key & 0xFF), uint8_t(key >> 8)}; }

std::string KeyName(uint16_t stored_key);
// Whether two slots fire on the same key press: the same, or a letter or
// digit held once as its character and once as its key.
bool SameKey(HotKeySlot a, HotKeySlot b);

// The virtual key a name stands for: any name of the table, compared without
// regard to case ("F5", "r shift", "Numpad 0", "pagedown"), and a single
// digit or letter ("7", "k"). Kind is always the virtual-key one; "Unknown"
// and anything else give nothing.
std::optional<uint16_t> ParseKeyName(std::string_view name);
