// The settings store: first run, the version rule, round trips of every field,
// values of the wrong shape, damaged files, menu-state switches, the reset, the
// descriptors behind `settings list|get|set`, the values the exporters get.
#include "shell/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

#include "base/logger.h"
#include "shell/settings_export.h"
#include "tests/shell/shell_test_support.h"

namespace {

using namespace platform;
using namespace shell_test;

const std::string kRoot = "Software\\Qor_Fen\\Vantor";
const Bytes kVersion = Sz("0.987");

struct SettingsTest : testing::Test {
  TempDir dir;
  LogCapture log;
  std::string file = dir.Sub("registry.reg");
  std::unique_ptr<RegistryStore> reg = Reopen();

  // A new start: the store read again from disk.
  std::unique_ptr<RegistryStore> Reopen() const {
    auto r = std::make_unique<RegistryStore>();
    r->Open(file);
    return r;
  }
  // A value written straight to disk.
  void Put(const std::string& key, const char* name, RegType type, const Bytes& bytes) {
    std::string path = key.empty() ? kRoot : kRoot + "\\" + key;
    ASSERT_EQ(reg->CreateKey(path), RegStatus::kOk);
    ASSERT_EQ(reg->SetValue(path, name, type, bytes.data(), bytes.size()), RegStatus::kOk);
    ASSERT_EQ(reg->Flush(), RegStatus::kOk);
  }
  // A store written by this version, as a previous run leaves it.
  void StoreOfVersion(const std::string& version) {
    Put("", "Init_Settings", RegType::kDword, Dword(1));
    Put("", "Version", RegType::kSz, Sz(version));
    Put("Folders", "Cod4Path", RegType::kSz, Sz("/games/cod4"));
    Put("Misc", "fps_sleepy", RegType::kDword, Dword(20));
    Put("Menus", "rect_xmodel_log", RegType::kBinary, Bytes(16, 1));
    reg = Reopen();
  }
  static Bytes Stored(const RegistryStore& r, const std::string& key, const char* name) {
    RegValue v;
    r.QueryValue(key.empty() ? kRoot : kRoot + "\\" + key, name, v);
    return v.data;
  }
};

// Every stored field moved off its default, within the range `set` accepts.
QorSettings NonDefaults() {
  QorSettings s;
  int i = 0;
  for (const SettingDescriptor& d : SettingDescriptors()) {
    struct Change {
      QorSettings& s;
      const SettingDescriptor& d;
      int i;
      void operator()(std::string QorSettings::*p) const { s.*p = "/path/" + std::to_string(i); }
      void operator()(int32_t QorSettings::*p) const {
        s.*p = s.*p == int32_t(d.max) ? int32_t(d.min) : int32_t(std::min<int64_t>(d.max, 1000 + i));
      }
      void operator()(uint32_t QorSettings::*p) const { s.*p = 0x00102030u + uint32_t(i); }
      void operator()(bool QorSettings::*p) const { s.*p = !(s.*p); }
      void operator()(float QorSettings::*p) const { s.*p = 0.125f * float(i); }
      void operator()(SettingsRect QorSettings::*p) const { s.*p = {i, -i, 300 + i, 400 + i}; }
      void operator()(KeyMap QorSettings::*p) const {
        for (size_t k = 0; k < kHotKeyCount; ++k) (s.*p)[k] = {uint8_t('A' + k), uint8_t(k % 2)};
      }
      void operator()(DonateRecord QorSettings::*p) const { s.*p = {true, 41, 17}; }
    };
    std::visit(Change{s, d, ++i}, d.field);
  }
  return s;
}

void ExpectSameStoredFields(const QorSettings& a, const QorSettings& b) {
  for (const SettingDescriptor& d : SettingDescriptors())
    EXPECT_EQ(FormatSetting(a, d), FormatSetting(b, d)) << SettingPath(d);
}

TEST_F(SettingsTest, SaveAndLoadAndFormatAndParseRoundTripEveryField) {
  QorSettings().Load(*reg);  // the first run's defaults on disk
  QorSettings changed = NonDefaults();
  for (const SettingDescriptor& d : SettingDescriptors())
    ASSERT_NE(FormatSetting(changed, d), FormatSetting(QorSettings{}, d)) << SettingPath(d);

  changed.save_main_window = true;  // else its rectangle is neither saved nor loaded
  ASSERT_TRUE(changed.Save(*reg) && changed.SaveMenuStates(*reg) && changed.SaveCounters(*reg) &&
              changed.SavePopups(*reg));

  QorSettings loaded;
  const SettingsLoadResult result = loaded.Load(*Reopen());
  EXPECT_FALSE(result.first_run || result.older_layout || result.damaged_file);
  ExpectSameStoredFields(changed, loaded);

  QorSettings parsed;
  std::string error;
  for (const SettingDescriptor& d : SettingDescriptors())
    EXPECT_TRUE(ParseSetting(parsed, d, FormatSetting(changed, d), error)) << error;
  ExpectSameStoredFields(changed, parsed);
  EXPECT_EQ(FormatSetting(QorSettings{}, *FindSetting("Misc/color_background")), "0x000F0E0F");
  EXPECT_EQ(FormatSetting(QorSettings{}, *FindSetting("Export/export_scale_new")), "2.54");
}

// A store of an older version is overwritten with the defaults; the same or
// a newer version is loaded as it is.
TEST_F(SettingsTest, OlderVersionIsOverwrittenWithDefaultsOthersLoaded) {
  for (const char* version : {"0.98", "0.987", "1.0"}) {
    SCOPED_TRACE(version);
    const bool older = version == std::string("0.98");
    StoreOfVersion(version);
    QorSettings s;
    EXPECT_EQ(s.Load(*reg).older_layout, older);
    EXPECT_EQ(s.Cod4Path, older ? "Set Path" : "/games/cod4");
    EXPECT_EQ(s.fps_sleepy, older ? 30 : 20);
    const SettingsRect rect = older ? SettingsRect{20, 320, 0, 0} : SettingsRect{0x01010101, 0x01010101, 0x01010101, 0x01010101};
    EXPECT_EQ(s.rect_xmodel_log, rect);
    if (!older) continue;
    auto disk = Reopen();
    EXPECT_EQ(Stored(*disk, "", "Version"), kVersion);
    EXPECT_EQ(Stored(*disk, "Folders", "Cod4Path").size(), sizeof "Set Path");
    EXPECT_EQ(Stored(*disk, "Popups", "donate").size(), 12u);
  }
}

TEST_F(SettingsTest, ValueOfWrongTypeOrSizeOrRangeKeepsTheDefaultWithAWarning) {
  StoreOfVersion("0.987");
  struct Bad { const char *key, *name; RegType type; Bytes bytes; };
  const Bad bad[] = {
      {"Misc", "fps_active", RegType::kBinary, {60, 0, 0, 0}},
      {"Export", "convert_normal_maps", RegType::kDword, Dword(3)},
      {"Export", "export_scale_new", RegType::kBinary, {0, 0, 0, 0}},  // 0.0: every position NaN
      {"Sound", "sound_level", RegType::kBinary, {0, 0, 0xc0, 0x7f}},  // NaN
      {"Menus", "rect_xmodel_pro", RegType::kBinary, Bytes(12, 5)},
      {"HotKeys", "key_map", RegType::kBinary, Bytes(27, 'q')},
      {"Folders", "Cod5Path", RegType::kDword, Dword(1)},
      {"Folders", "BOPath", RegType::kSz, Sz(std::string(300, 'p'))},  // past the 260-byte buffer
  };
  for (const Bad& b : bad) Put(b.key, b.name, b.type, b.bytes);

  QorSettings s;
  s.Load(*Reopen());
  const QorSettings defaults;
  for (const Bad& b : bad) {
    const SettingDescriptor& d = *FindSetting(std::string(b.key) + "/" + b.name);
    EXPECT_EQ(FormatSetting(s, d), FormatSetting(defaults, d)) << b.name;
    EXPECT_TRUE(log.Contains(std::string("------ WARNING: QorSettings: ") + b.key + "\\" + b.name)) << b.name;
  }
  EXPECT_EQ(s.Cod4Path, "/games/cod4");  // its neighbours still load
  EXPECT_EQ(s.fps_sleepy, 20);
  // A setting that was a flag keeps the meaning of its stored 0.
  Put("Export", "convert_normal_maps", RegType::kBinary, {0});
  s.Load(*Reopen());
  EXPECT_EQ(s.convert_normal_maps, kNormalMapsAsStored);
}

// A key map saved before the frame model key existed (14 slots) keeps its
// keys; the new slots take their defaults, and a save writes all 16.
TEST_F(SettingsTest, AKeyMapOfFourteenSlotsKeepsItsKeysAndTheNewOnesTheirDefaults) {
  Put("HotKeys", "key_map", RegType::kBinary, Bytes(28, 'q'));
  StoreOfVersion("0.987");
  QorSettings s;
  s.Load(*reg);
  for (size_t k = 0; k < kOlderHotKeyCount; ++k) EXPECT_EQ(s.key_map[k], (HotKeySlot{'q', 'q'})) << k;
  EXPECT_EQ(s.key_map[kOlderHotKeyCount], (HotKeySlot{'f', 0}));
  EXPECT_EQ(s.key_map[kOlderHotKeyCount + 1], (HotKeySlot{'l', 0}));
  EXPECT_FALSE(log.Contains("WARNING"));
  ASSERT_TRUE(s.SaveKeyMap(*reg));
  EXPECT_EQ(Stored(*Reopen(), "HotKeys", "key_map").size(), 32u);
}

// A damaged store loads what is readable. One that could not be read at all
// (here grown past the size the store reads; the registry's tests add a
// FIFO and a folder) keeps the defaults: any command starts with Load,
// `settings get` too, and the store must not be taken for a first run and
// written over, nor emptied by a reset.
TEST_F(SettingsTest, DamagedOrUnreadStoreIsNoFirstRunAndNeverWrittenOver) {
  const std::string head =
      "Windows Registry Editor Version 5.00\n"
      "[HKEY_CURRENT_USER\\Software\\Qor_Fen\\Vantor]\n"
      "\"Init_Settings\"=dword:00000001\n"
      "\"Version\"=\"0.987\"\n"
      "[HKEY_CURRENT_USER\\Software\\Qor_Fen\\Vantor\\Folders]\n"
      "\"Cod4Path\"=\"/games/cod4\"\n";
  const std::string too_large = head + ";" + std::string(17u << 20, 'x') + "\n";
  for (const bool unread : {true, false}) {
    WriteText(file, unread ? too_large : head + "\"Cod5Path\"=\"/games/co");  // the write stopped there
    std::unique_ptr<RegistryStore> store = Reopen();
    QorSettings s;
    SettingsLoadResult result = s.Load(*store);
    EXPECT_TRUE(result.damaged_file && !result.first_run) << unread;
    EXPECT_EQ(s.Cod4Path, unread ? "Set Path" : "/games/cod4");
    EXPECT_TRUE(log.Contains(unread ? "could not be read" : "is damaged")) << log.Joined();
    if (!unread) continue;
    EXPECT_FALSE(s.ResetSettings(*store));  // nothing of it was read to delete
  }
}

// A first run writes the init flag, the version and every default but the
// counters. Programs of ours may start on an empty folder together (twenty
// `vantor-cli settings set` at once): a first run's defaults never replace
// what another one saved after this one read the store.
TEST_F(SettingsTest, FirstRunWritesEveryDefaultButNeverOverValuesSavedMeanwhile) {
  auto early = Reopen();
  auto late = Reopen();  // read the empty store before `early` wrote anything
  QorSettings first;
  ASSERT_TRUE(first.Load(*early).first_run);
  EXPECT_TRUE(log.Contains("Saving Settings.."));
  first.fps_active = 45;
  first.rect_main_window = {1, 2, 3, 4};
  ASSERT_TRUE(SaveSetting(first, *FindSetting("Misc/fps_active"), *early));
  ASSERT_TRUE(SaveSetting(first, *FindSetting("Menus/rect_main_window"), *early));

  QorSettings second;
  EXPECT_TRUE(second.Load(*late).first_run);
  EXPECT_EQ(second.fps_active, 45);  // the object shows what the store now holds
  EXPECT_EQ(second.rect_main_window, (SettingsRect{1, 2, 3, 4}));
  auto disk = Reopen();
  EXPECT_EQ(Stored(*disk, "", "Init_Settings"), Dword(1));
  EXPECT_EQ(Stored(*disk, "", "Version"), kVersion);
  RegValue v;
  for (const SettingDescriptor& d : SettingDescriptors())  // the counters are written only at shutdown
    EXPECT_EQ(disk->QueryValue(kRoot + "\\" + d.key, d.name, v),
              d.group == SettingGroup::kCounters ? RegStatus::kNotFound : RegStatus::kOk) << SettingPath(d);
  EXPECT_EQ(Stored(*disk, "Misc", "fps_active"), Dword(45));
  // Four little-endian ints: x, y, width, height.
  EXPECT_EQ(Stored(*disk, "Menus", "rect_main_window"), (Bytes{1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0}));
  EXPECT_EQ(Stored(*disk, "Misc", "fps_sleepy"), Dword(30));
  EXPECT_FALSE(QorSettings().Load(*disk).first_run);
}

TEST_F(SettingsTest, ResetKeepsTheRunningValuesTheNextStartIsAFirstRunAndFailedSavesWarn) {
  QorSettings s;
  s.Load(*reg);
  s.Cod4Path = "/games/cod4";
  ASSERT_TRUE(s.Save(*reg));
  reg->CreateKey("Software\\Qor_Fen\\Other");  // a sibling the reset must keep
  ASSERT_EQ(reg->Flush(), RegStatus::kOk);

  EXPECT_TRUE(s.ResetSettings(*reg));
  EXPECT_TRUE(log.Contains("Settings have been cleared, restart to apply changes"));
  EXPECT_EQ(s.Cod4Path, "/games/cod4");

  auto disk = Reopen();
  EXPECT_EQ(disk->OpenKey(kRoot), RegStatus::kNotFound);
  EXPECT_EQ(disk->OpenKey("Software\\Qor_Fen\\Other"), RegStatus::kOk);
  QorSettings next;
  EXPECT_TRUE(next.Load(*disk).first_run);
  EXPECT_EQ(next.Cod4Path, "Set Path");

  // A save to a folder that cannot be written fails with a warning.
  WriteText(dir.Sub("not_a_folder"), "");
  RegistryStore blocked;
  blocked.Open(dir.Sub("not_a_folder/registry.reg"));
  EXPECT_FALSE(s.Save(blocked));
  EXPECT_TRUE(log.Contains("------ WARNING: QorSettings::Save:")) << log.Joined();
}

TEST_F(SettingsTest, MenuStatesFollowTheirTwoSwitches) {
  QorSettings s;
  s.Load(*reg);
  s.rect_main_window = {5, 6, 1024, 768};
  s.rect_xmodel_tags = {1, 2, 3, 4};
  s.save_main_window = false;
  ASSERT_TRUE(s.SaveMenuStates(*reg));  // the menus, not the main window
  s.save_menu_states = false;
  s.save_main_window = s.vis_xmodel_log = true;
  ASSERT_TRUE(s.SaveMenuStates(*reg));  // the main window only

  QorSettings next;
  next.Load(*Reopen());
  EXPECT_EQ(next.rect_xmodel_tags, (SettingsRect{1, 2, 3, 4}));
  EXPECT_FALSE(next.vis_xmodel_log);
  EXPECT_FALSE(next.save_main_window);  // as stored by the first save
  EXPECT_EQ(next.rect_main_window, (SettingsRect{20, 20, 800, 600}));  // not read while off

  QorSettings neither;
  neither.save_menu_states = neither.save_main_window = false;
  size_t lines = log.lines().size();
  EXPECT_TRUE(neither.SaveMenuStates(*reg));
  EXPECT_EQ(log.lines().size(), lines);  // nothing to save, nothing logged
}

TEST_F(SettingsTest, LoadPushesTheLogSwitchesToTheLogger) {
  StoreOfVersion("0.987");
  Put("Logs", "log_supress_warnings", RegType::kBinary, {1});
  Put("Logs", "log_xmodel", RegType::kBinary, {0});
  QorSettings s;
  s.Load(*Reopen());
  EXPECT_TRUE(Logger().supress_warnings() && !Logger().log_xmodel());
  // The logging mode: only those the log accepts.
  EXPECT_FALSE(s.SetLoggingMode(3));
  EXPECT_EQ(s.logging_mode, 1);
  EXPECT_TRUE(s.SetLoggingMode(0));
  EXPECT_EQ(Logger().sync_mode(), 0);
  EXPECT_TRUE(log.Contains("Logging Mode Changed: Normal"));
}

// `settings get|set` find a value by its path: no two may share one.
TEST(SettingsTable, PathsTakeEitherSeparatorInAnyCaseAndBadTextIsRefused) {
  std::set<std::string> seen;
  for (const SettingDescriptor& d : SettingDescriptors())
    EXPECT_TRUE(seen.insert(SettingPath(d)).second) << SettingPath(d);
  EXPECT_EQ(FindSetting("folders\\cod4path"), FindSetting("Folders/Cod4Path"));
  EXPECT_NE(FindSetting("EXPORT/EXPORT_SCALE_NEW"), nullptr);
  EXPECT_EQ(FindSetting("Folders"), nullptr);
  EXPECT_EQ(FindSetting("Folders/Cod6Path"), nullptr);
  EXPECT_EQ(FindSetting("Misc/Cod4Path"), nullptr);

  // Text that is not a value of the field is refused, and the field kept.
  struct Case { const char* path; const char* text; };
  const Case cases[] = {
      {"Misc/fps_active", "sixty"},        {"Misc/fps_active", "25"},  // above 30 only
      {"Misc/active_game", "3"},           {"Misc/run_count", "99999999999"},
      {"Misc/color_text", "0xFG"},         {"Misc/color_text", "0x100000000"},
      {"OpenGl/Vsync", "2"},               {"Export/export_scale_new", "1.0x"},
      {"Export/export_scale_new", "nan"},  {"Export/export_scale_new", ""},
      {"Export/export_scale_new", "0"},    {"Export/export_scale_new", "999"},
      {"Menus/rect_main_window", "1,2,3"}, {"Menus/rect_main_window", "1,2,3,4,5"},
      {"HotKeys/key_map", "70,01"},        {"Popups/donate", "2,0,0"},
  };
  QorSettings s;
  const QorSettings defaults;
  for (const Case& c : cases) {
    std::string error;
    const SettingDescriptor* d = FindSetting(c.path);
    ASSERT_NE(d, nullptr) << c.path;
    EXPECT_FALSE(ParseSetting(s, *d, c.text, error)) << c.path << " = " << c.text;
    EXPECT_EQ(error.rfind(SettingPath(*d) + ": ", 0), 0u) << error;
    EXPECT_EQ(FormatSetting(s, *d), FormatSetting(defaults, *d)) << c.path;
  }
  std::string error;
  EXPECT_FALSE(ParseSetting(s, *FindSetting("Folders/Cod4Path"), std::string(260, 'p'), error));
  EXPECT_TRUE(ParseSetting(s, *FindSetting("Folders/Cod4Path"), std::string(259, 'p'), error));
  EXPECT_TRUE(ParseSetting(s, *FindSetting("Misc/color_text"), "0x0000FF00", error));
  EXPECT_EQ(s.color_text, 0x0000FF00u);
  EXPECT_TRUE(ParseSetting(s, *FindSetting("Logs/log_xmodel"), "false", error));
  EXPECT_FALSE(s.log_xmodel);
}

// Every stored value the exporters read reaches the one record they are
// handed. The scale is not one: it goes to the worker with the game layout
// and is applied when the surfaces are read.
TEST(SettingsExport, EveryExportSettingReachesTheRecord) {
  const ExportSettings defaults = ExportSettingsFromSettings(QorSettings{});
  const QorSettings changed = NonDefaults();
  size_t mapped = 0;
  for (const SettingDescriptor& d : SettingDescriptors()) {
    const std::string path = SettingPath(d);
    const bool exporters_read = path.starts_with("Export/") || path == "Folders/export_folder" ||
                                path == "Folders/export_folder_GDT" || path == "OpenGl/load_model_textures";
    if (!exporters_read || path == "Export/export_scale_new") continue;
    QorSettings s;  // the defaults with this one field changed
    std::string error;
    ASSERT_TRUE(ParseSetting(s, d, FormatSetting(changed, d), error)) << error;
    EXPECT_NE(ExportSettingsFromSettings(s), defaults) << path << " does not reach the export settings";
    ++mapped;
  }
  EXPECT_EQ(mapped, 13u);
}

}  // namespace
