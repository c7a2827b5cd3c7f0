// The key-name table: Windows virtual-key codes to the names the key
// binders show.
#include "gui/key_names.h"

#include "platform/text_case.h"  // Required for: EqualsNoCase()

namespace {

struct NamedKey {
  uint8_t code;
  const char* name;
};

// Numpad digits (0x60-0x69) and F1-F12 (0x70-0x7B) are ranges, spelled out
// in KeyName; digits and capital letters share their character's code.
constexpr NamedKey kKeyNames[] = {
    {0x08, "BACKSPACE"},
    {0x09, "TAB"},
    {0x0D, "ENTER"},
    {0x10, "SHIFT"},  // either side, as Windows reports it without the scan code
    {0x11, "CONTROL"},
    {0x13, "PAUSE"},
    {0x1B, "ESCAPE"},
    {0x20, "SPACE"},
    {0x21, "PAGEUP"},
    {0x22, "PAGEDOWN"},
    {0x23, "END"},
    {0x24, "HOME"},
    {0x25, "LEFT"},
    {0x26, "UP"},
    {0x27, "RIGHT"},
    {0x28, "DOWN"},
    {0x2D, "INSERT"},
    {0x2E, "DELETE"},
    {0x6A, "MULTIPLY"},
    {0x6B, "ADD"},
    {0x6D, "SUBTRACT"},  // 0x6C, the separator key, has no name
    {0x6E, "DECIMAL"},
    {0x6F, "DIVIDE"},
    {0xA0, "L shift"},
    {0xA1, "R shift"},
    {0xA2, "L control"},
    {0xA3, "R control"},
};

constexpr const char* kUnknownKey = "Unknown";

}  // namespace

std::string KeyName(uint16_t stored_key) {
  const uint8_t code = uint8_t(stored_key & 0xFF);
  if ((stored_key >> 8) == 0) {
    // Character keys: the default map holds lower-case letters ("t").
    if (code == ' ') return "SPACE";
    if (code > ' ' && code < 0x7F) return std::string(1, char(code));
    return kUnknownKey;
  }
  if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z')) return std::string(1, char(code));
  if (code >= 0x60 && code <= 0x69) return "NUMPAD " + std::to_string(code - 0x60);
  if (code >= 0x70 && code <= 0x7B) return "F" + std::to_string(code - 0x70 + 1);
  for (const NamedKey& k : kKeyNames)
    if (k.code == code) return k.name;
  return kUnknownKey;
}

bool SameKey(HotKeySlot a, HotKeySlot b) {
  auto plain = [](HotKeySlot k) -> HotKeySlot {
    if (k.kind == 0) return k;
    if (k.code >= 'A' && k.code <= 'Z') return {uint8_t(k.code - 'A' + 'a'), 0};
    if (k.code >= '0' && k.code <= '9') return {k.code, 0};
    return {k.code, 1};
  };
  return a.code != 0 && plain(a) == plain(b);
}

std::optional<uint16_t> ParseKeyName(std::string_view name) {
  // Every code's shown name, so the two directions cannot disagree.
  for (unsigned code = 1; code < 256; ++code) {
    const uint16_t key = uint16_t(kVirtualKeyKind | code);
    const std::string shown = KeyName(key);
    if (shown != kUnknownKey && platform::EqualsNoCase(shown, name)) return key;
  }
  return std::nullopt;
}
