// The sixteen rebindable hotkeys: which slot fired this frame, in the
// program's fixed order, and the keys consumed by firing. A slot of kind 0
// is a typed character, any other kind a key (virtual-key code); the
// window's arrays only see what the interface did not take, so a key typed
// into a text box never fires here.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "shell/settings.h"

using KeyArray = std::array<unsigned char, 256>;

enum HotkeyAction : int {
  kHotkeyCycleGame = 0,
  kHotkeyTags = 1,
  kHotkeyExportMA = 2,
  kHotkeyExportOBJ = 3,
  kHotkeyExportXE = 4,
  kHotkeyScreenshot = 5,
  kHotkeyWireframe = 6,
  kHotkeyModelList = 7,
  kHotkeyLog = 8,
  kHotkeyProperties = 9,
  kHotkeySettings = 10,
  kHotkeyBoundingBox = 11,
  kHotkeyLocator = 12,
  kHotkeyBones = 13,
  kHotkeyFrameModel = 14,
  kHotkeyCycleLod = 15,
};

// Runs `fire` for every slot whose key is set, in the order the slots are
// checked (the game cycle first, the tags panel last), then clears the
// consumed keys, so a held key fires once per key-repeat press, not once a
// frame.
void RunHotkeys(const KeyMap& map, KeyArray& keys_down, KeyArray& keys_char, const std::function<void(int slot)>& fire);

// The command a slot runs (the export keys' from the table of export
// formats), or empty for the game cycle, the screenshot, the view switches,
// the framing and the level cycle.
std::string HotkeyCommand(int slot);
// The view switch a slot flips, or nullptr.
bool QorSettings::*HotkeySwitch(int slot);
