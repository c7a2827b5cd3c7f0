// Every user setting, in one plain record that the rest of the program reads
// and changes in place (GUI widgets hold pointers to its fields), persisted in
// the registry under "Software\Qor_Fen\Vantor" and its subkeys. Field names
// are the registry value names. A table of descriptors names every stored
// field by "Key/value" for the command line's `settings list|get|set|reset`.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "base/export_settings.h"  // Required for: kNormalMapsPngGltf
#include "base/stored_types.h"
#include "platform/registry.h"

class QorLogger;

inline constexpr size_t kHotKeyCount = 16;
using KeyMap = std::array<HotKeySlot, kHotKeyCount>;  // "key_map", 32 bytes
// A map stored before "frame model" (14 slots) or "cycle lod" (15) had a
// key: its slots keep their keys, the new ones their defaults.
inline constexpr size_t kOlderHotKeyCount = 14;

// "donate" (12 bytes): byte 0 shown flag, bytes 1-3 zero, bytes 4-7 export
// count, bytes 8-11 that count when the popup was last shown.
struct DonateRecord {
  bool shown = false;
  int32_t count = 0;
  int32_t last_shown_count = 0;
  bool operator==(const DonateRecord&) const = default;
};

// Hotkeys in slot order: F1, t, m, o, k, F2, w, Space, z, x, s, b, n, 1, f, l.
KeyMap DefaultKeyMap();

// What Load did, for the caller and the tests.
struct SettingsLoadResult {
  bool first_run = false;      // no "Init_Settings": defaults written
  bool older_layout = false;   // "Version" below 0.987: defaults written over it
  bool damaged_file = false;   // the file had unreadable parts (warned)
};

struct QorSettings {
  // "Folders"
  std::string Cod4Path = "Set Path";
  std::string Cod5Path = "Set Path";
  std::string BOPath = "Set Path";
  std::string export_folder = "Running Directory";
  std::string export_folder_GDT = "Running Directory";

  // "Misc"
  int32_t fps_active = 60;
  int32_t fps_sleepy = 30;
  int32_t active_game = 0;   // 0 COD 4, 1 COD 5, 2 COD Black Ops
  int32_t logging_mode = 1;  // 1 "Sync every write", 0 "Normal"
  int32_t mouse_style = 0;   // 0 Maya, 1 asset viewer
  int32_t run_count = 0;     // written only by SaveCounters
  int32_t export_count = 0;  // written only by SaveCounters
  uint32_t color_background = 0x000F0E0F;  // red in the lowest byte
  uint32_t color_text = 0x000000FF;
  uint32_t color_grid = 0x00272728;
  bool window_on_top = false;
  bool create_tray_icon = true;
  bool auto_update = true;
  // Where the update check asks ("http://host[:port]"); none by default, and
  // then nothing is sent. VANTOR_UPDATE_SERVER overrides it for a run.
  std::string update_server;

  // "OpenGl"
  bool Vsync = false;
  bool wireframe = false;
  bool multisampling = true;
  bool draw_grid = true;
  bool draw_axis = false;
  bool load_model_textures = true;
  bool bounding_box = false;
  bool central_locator = false;
  bool draw_bones = true;
  bool frame_model_on_load = false;  // off: a load keeps the camera where it is

  // "Sound"
  bool sound_all = false;  // 1 silences every sound
  bool sound_focus = true;
  bool sound_accept = true;
  bool sound_export = true;
  bool sound_welcome = true;
  bool sound_leave = true;
  float sound_level = 0.5f;

  // "Export"
  float export_scale_new = 2.54f;  // kept to ValidModelScale on every path in
  bool export_MTL = true;
  bool export_MA_BIND = true;
  bool export_sub_dir = true;
  bool export_images = true;
  bool export_images_local = true;
  bool export_images_col = false;
  bool export_tags_local = false;
  int32_t export_img_as_tga = 0;
  int32_t export_img_png = 0;  // 1 the colour maps as PNG, 2 every map
  int32_t convert_normal_maps = kNormalMapsPngGltf;  // 0 none, 1 PNG and glTF, 2 those and TGA as RGB normals

  // "Logs"
  bool log_xmodel = true;
  bool log_supress_warnings = false;
  bool log_supress_genral = true;

  // "Theme"
  int32_t active_theme = 0;

  // Not stored: the phong shader's switch, off at every start.
  bool apply_phong_shade = false;

  // "HotKeys"
  KeyMap key_map = DefaultKeyMap();

  // "Menus"
  // Large enough for a model's full name; the log below the properties,
  // the tags over them a step down, all inside the first 800 x 600 window.
  SettingsRect rect_xmodel_pro{20, 90, 0, 0};
  SettingsRect rect_xmodel_pro_s{0, 0, 300, 220};
  SettingsRect rect_xmodel_log{20, 320, 0, 0};
  SettingsRect rect_xmodel_log_s{0, 0, 300, 220};
  SettingsRect rect_xmodel_tags{50, 120, 0, 0};
  SettingsRect rect_xmodel_tags_s{0, 0, 300, 220};
  bool vis_xmodel_prop = false;
  bool vis_xmodel_log = false;
  bool vis_xmodel_list = true;
  bool vis_xmodel_tags = false;
  // The animation player: over the log, inside the smallest layout.
  SettingsRect rect_xanim_player{20, 290, 0, 0};
  SettingsRect rect_xanim_player_s{0, 0, 440, 170};
  bool vis_xanim_player = false;
  bool save_main_window = true;
  SettingsRect rect_main_window{20, 20, 800, 600};  // x, y, client width, height

  // "Popups"
  DonateRecord donate;

  // Not stored.
  std::string gpu_name = "Unkown";  // set at GL start-up
  bool save_menu_states = true;     // "Save Menu States", true at every start

  // Start-up: overlays the stored values, or writes the defaults on a first
  // run or over an older layout. Pushes the logging switches to Logger().
  SettingsLoadResult Load(platform::RegistryStore& reg = platform::UserRegistry());

  // The save operations return false when the file could not be written (a
  // warning is logged).
  bool Save(platform::RegistryStore& reg = platform::UserRegistry());
  bool SaveMenuStates(platform::RegistryStore& reg = platform::UserRegistry());
  bool SaveCounters(platform::RegistryStore& reg = platform::UserRegistry());
  bool SavePopups(platform::RegistryStore& reg = platform::UserRegistry());
  bool SaveKeyMap(platform::RegistryStore& reg = platform::UserRegistry());
  void LoadPopups(platform::RegistryStore& reg = platform::UserRegistry());
  void LoadKeyMap(platform::RegistryStore& reg = platform::UserRegistry());
  void LoadMenuStates(platform::RegistryStore& reg = platform::UserRegistry());

  // Deletes the whole store; this object keeps its values and the defaults
  // apply at the next start.
  bool ResetSettings(platform::RegistryStore& reg = platform::UserRegistry());

  // The logging-mode action: switches the log and, when it accepts the mode,
  // sets `logging_mode`.
  bool SetLoggingMode(int32_t mode);
  // Pushes "log_supress_warnings" and "log_xmodel" to the logger; the shell
  // calls it after the settings menu changes them.
  void ApplyLogSwitches(QorLogger& logger) const;
};

// The program's settings record.
QorSettings& Settings();

// The registry path of the store, relative to HKEY_CURRENT_USER.
inline constexpr const char* kSettingsRootKey = "Software\\Qor_Fen\\Vantor";

// Deletes the key `path` and all its subkeys; `path` is restored on return.
bool DeleteRegNode(platform::RegistryStore& reg, std::string& path);

// ---------------------------------------------------------------------------
// Descriptors: every stored field by key and value name
// ---------------------------------------------------------------------------

// Which operation writes the value.
enum class SettingGroup {
  kSettings,    // Save
  kCounters,    // SaveCounters ("Misc", read with the rest of it)
  kKeyMap,      // Save and SaveKeyMap
  kMenuStates,  // SaveMenuStates while `save_menu_states` is set
  kMainWindow,  // SaveMenuStates while `save_main_window` is set
  kPopups,      // SavePopups
};

// The field, and so the stored type: string = SZ, int32_t = DWORD, uint32_t =
// DWORD colour, bool = BIN1, float = BIN4F, SettingsRect = RECT, and the two
// binary records.
using SettingField =
    std::variant<std::string QorSettings::*, int32_t QorSettings::*, uint32_t QorSettings::*,
                 bool QorSettings::*, float QorSettings::*, SettingsRect QorSettings::*,
                 KeyMap QorSettings::*, DonateRecord QorSettings::*>;

// The model scales the settings page, `--scale`, `settings set` and the
// store on load accept: a scale of 0 would turn every exported position
// into a NaN.
constexpr bool ValidModelScale(float v) { return v > 0.0f && v < 999.0f; }

struct SettingDescriptor {
  const char* key;   // subkey of the root: "Folders"
  const char* name;  // value name: "Cod4Path"
  SettingGroup group;
  SettingField field;
  int64_t min = INT32_MIN;  // the values `set` accepts for a DWORD
  int64_t max = INT32_MAX;
};

std::span<const SettingDescriptor> SettingDescriptors();
// "Folders/Cod4Path" (or "\" between), names compared case-insensitively.
const SettingDescriptor* FindSetting(std::string_view path);
std::string SettingPath(const SettingDescriptor& d);

// The field as text: strings as they are, numbers in decimal, colours as
// 0x00BBGGRR, flags 0 or 1, rectangles "x,y,w,h", the key map as 30 hex
// bytes, the donate record "shown,count,last_shown_count".
std::string FormatSetting(const QorSettings& s, const SettingDescriptor& d);
// Parses text of the form FormatSetting gives into the field; on bad text the
// field is unchanged and `error` says why.
bool ParseSetting(QorSettings& s, const SettingDescriptor& d, std::string_view text,
                  std::string& error);
// Writes this one value to the store and flushes it.
bool SaveSetting(const QorSettings& s, const SettingDescriptor& d,
                 platform::RegistryStore& reg = platform::UserRegistry());
