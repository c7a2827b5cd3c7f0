#include "shell/hotkeys.h"

#include <vector>

#include "jobs/export_formats.h"

namespace {

// After the game cycle: the panels and the screenshot, the view switches,
// the framing and the level cycle, the exports and the tags panel.
constexpr int kOrder[] = {kHotkeyCycleGame,  kHotkeyModelList,   kHotkeyLog,       kHotkeyProperties, kHotkeySettings,
                          kHotkeyScreenshot, kHotkeyBoundingBox, kHotkeyLocator,   kHotkeyBones,      kHotkeyWireframe,
                          kHotkeyFrameModel, kHotkeyCycleLod,    kHotkeyExportMA,  kHotkeyExportOBJ,  kHotkeyExportXE,
                          kHotkeyTags};
static_assert(sizeof kOrder / sizeof kOrder[0] == kHotKeyCount);

unsigned char& KeyOf(const HotKeySlot& slot, KeyArray& keys_down, KeyArray& keys_char) {
  return slot.kind == 0 ? keys_char[slot.code] : keys_down[slot.code];
}

}  // namespace

void RunHotkeys(const KeyMap& map, KeyArray& keys_down, KeyArray& keys_char, const std::function<void(int slot)>& fire) {
  std::vector<int> consumed;
  for (int slot : kOrder) {
    if (!KeyOf(map[size_t(slot)], keys_down, keys_char)) continue;
    consumed.push_back(slot);
    fire(slot);
  }
  for (int slot : consumed) KeyOf(map[size_t(slot)], keys_down, keys_char) = 0;
}

std::string HotkeyCommand(int slot) {
  for (const ExportFormat& format : ExportFormats())
    if (format.hotkey_slot == slot) return std::string(format.command) + ";";
  switch (slot) {
    case kHotkeyTags: return "toggle_menu xmodel_tags;";
    case kHotkeyModelList: return "toggle_menu xmodel_list;";
    case kHotkeyLog: return "toggle_menu xmodel_log;";
    case kHotkeyProperties: return "toggle_menu xmodel_prop;";
    case kHotkeySettings: return "toggle_menu Settings;";
    default: return {};
  }
}

bool QorSettings::*HotkeySwitch(int slot) {
  switch (slot) {
    case kHotkeyWireframe: return &QorSettings::wireframe;
    case kHotkeyBoundingBox: return &QorSettings::bounding_box;
    case kHotkeyLocator: return &QorSettings::central_locator;
    case kHotkeyBones: return &QorSettings::draw_bones;
    default: return nullptr;
  }
}
