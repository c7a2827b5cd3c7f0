// Loading and saving the settings record, the first-run and version rules,
// and the reset through DeleteRegNode.
#include "shell/settings.h"

#include <bit>    // Required for: bit_cast
#include <cmath>  // Required for: isfinite()
#include <charconv>  // Required for: from_chars()
#include <vector>

#include "base/logger.h"
#include "base/version.h"

using platform::RegistryStore;
using platform::RegStatus;
using platform::RegType;
using platform::RegValue;

namespace {

// The layout version this program writes; a store below it is reset.
constexpr float kLayoutVersion = 0.987f;
constexpr size_t kStringBuffer = 260;  // the read buffer of a stored string

std::string KeyPath(const char* key) { return std::string(kSettingsRootKey) + "\\" + key; }

void PutLe32(std::vector<uint8_t>& out, uint32_t v) {
  out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
}

uint32_t GetLe32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// ---------------------------------------------------------------------------
// Field <-> registry value
// ---------------------------------------------------------------------------

struct Encoded {
  RegType type = RegType::kBinary;
  std::vector<uint8_t> bytes;
};

Encoded Encode(const QorSettings& s, const SettingField& field) {
  struct Encoder {
    const QorSettings& s;
    Encoded operator()(std::string QorSettings::*p) const {
      const std::string& text = s.*p;
      Encoded e{RegType::kSz, std::vector<uint8_t>(text.begin(), text.end())};
      e.bytes.push_back(0);  // written with its terminating NUL
      return e;
    }
    Encoded operator()(int32_t QorSettings::*p) const {
      Encoded e{RegType::kDword, {}};
      PutLe32(e.bytes, uint32_t(s.*p));
      return e;
    }
    Encoded operator()(uint32_t QorSettings::*p) const {
      Encoded e{RegType::kDword, {}};
      PutLe32(e.bytes, s.*p);
      return e;
    }
    Encoded operator()(bool QorSettings::*p) const {
      return {RegType::kBinary, {uint8_t(s.*p ? 1 : 0)}};
    }
    Encoded operator()(float QorSettings::*p) const {
      Encoded e;
      PutLe32(e.bytes, std::bit_cast<uint32_t>(s.*p));
      return e;
    }
    Encoded operator()(SettingsRect QorSettings::*p) const {
      const SettingsRect& r = s.*p;
      Encoded e;
      for (int32_t v : {r.x, r.y, r.w, r.h}) PutLe32(e.bytes, uint32_t(v));
      return e;
    }
    Encoded operator()(KeyMap QorSettings::*p) const {
      Encoded e;
      for (const HotKeySlot& slot : s.*p) e.bytes.insert(e.bytes.end(), {slot.code, slot.kind});
      return e;
    }
    Encoded operator()(DonateRecord QorSettings::*p) const {
      const DonateRecord& r = s.*p;
      Encoded e;
      e.bytes = {uint8_t(r.shown ? 1 : 0), 0, 0, 0};
      PutLe32(e.bytes, uint32_t(r.count));
      PutLe32(e.bytes, uint32_t(r.last_shown_count));
      return e;
    }
  };
  return std::visit(Encoder{s}, field);
}

// False, with the field unchanged, when the value has another type or size.
bool Decode(QorSettings& s, const SettingField& field, const RegValue& v) {
  struct Decoder {
    QorSettings& s;
    const RegValue& v;
    bool Binary(size_t size) const { return v.type == RegType::kBinary && v.data.size() == size; }
    bool operator()(std::string QorSettings::*p) const {
      if (v.type != RegType::kSz || v.data.size() > kStringBuffer) return false;
      std::string text(v.data.begin(), v.data.end());
      text.resize(std::min(text.size(), text.find('\0')));
      if (text.size() > kStringBuffer - 1) return false;  // no room for the terminator
      s.*p = std::move(text);
      return true;
    }
    bool operator()(int32_t QorSettings::*p) const {
      // "convert_normal_maps" was a flag: its stored 0 or 1 means the same
      // as the number.
      if (p == &QorSettings::convert_normal_maps && Binary(1)) {
        s.*p = v.data[0] != 0 ? kNormalMapsPngGltf : kNormalMapsAsStored;
        return true;
      }
      if (v.type != RegType::kDword || v.data.size() != 4) return false;
      s.*p = int32_t(GetLe32(v.data.data()));
      return true;
    }
    bool operator()(uint32_t QorSettings::*p) const {
      if (v.type != RegType::kDword || v.data.size() != 4) return false;
      s.*p = GetLe32(v.data.data());
      return true;
    }
    bool operator()(bool QorSettings::*p) const {
      if (!Binary(1)) return false;
      s.*p = v.data[0] != 0;
      return true;
    }
    bool operator()(float QorSettings::*p) const {
      if (!Binary(4)) return false;
      float f = std::bit_cast<float>(GetLe32(v.data.data()));
      if (!std::isfinite(f)) return false;  // a NaN scale or gain would spread everywhere
      if (p == &QorSettings::export_scale_new && !ValidModelScale(f)) return false;
      s.*p = f;
      return true;
    }
    bool operator()(SettingsRect QorSettings::*p) const {
      if (!Binary(16)) return false;
      const uint8_t* d = v.data.data();
      s.*p = SettingsRect{int32_t(GetLe32(d)), int32_t(GetLe32(d + 4)), int32_t(GetLe32(d + 8)),
                          int32_t(GetLe32(d + 12))};
      return true;
    }
    bool operator()(KeyMap QorSettings::*p) const {
      if (!Binary(2 * kHotKeyCount) && !Binary(2 * (kHotKeyCount - 1)) && !Binary(2 * kOlderHotKeyCount)) return false;
      for (size_t i = 0; 2 * i < v.data.size(); ++i) (s.*p)[i] = {v.data[2 * i], v.data[2 * i + 1]};
      return true;
    }
    bool operator()(DonateRecord QorSettings::*p) const {
      if (!Binary(12)) return false;
      const uint8_t* d = v.data.data();
      s.*p = DonateRecord{d[0] != 0, int32_t(GetLe32(d + 4)), int32_t(GetLe32(d + 8))};
      return true;
    }
  };
  return std::visit(Decoder{s, v}, field);
}

const char* ExpectedType(const SettingField& field) {
  switch (field.index()) {
    case 0: return "REG_SZ of at most 260 bytes";
    case 1:
    case 2: return "REG_DWORD";
    case 3: return "REG_BINARY of 1 byte";
    case 4: return "REG_BINARY of 4 bytes (a finite float)";
    case 5: return "REG_BINARY of 16 bytes";
    case 6: return "REG_BINARY of 30 bytes (28 from before the frame model key)";
    default: return "REG_BINARY of 12 bytes";
  }
}

const char* TypeName(RegType type) {
  switch (type) {
    case RegType::kSz: return "REG_SZ";
    case RegType::kDword: return "REG_DWORD";
    case RegType::kBinary: return "REG_BINARY";
  }
  return "?";
}

// ---------------------------------------------------------------------------
// Groups of values
// ---------------------------------------------------------------------------

// Opening a key to write: open it, else create it; when that fails too the
// value is skipped silently, as registry failures are.
bool OpenForWrite(RegistryStore& reg, const std::string& key) {
  return reg.OpenKey(key) == RegStatus::kOk || reg.CreateKey(key) == RegStatus::kOk;
}

// A first run fills in only the values the store lacks when it is written:
// other programs of ours (twenty `vantor-cli settings set` started at once)
// may be doing their own first run and their own saves at the same time.
enum class WriteMode { kReplace, kFillMissing };

void WriteValue(RegistryStore& reg, const QorSettings& s, const SettingDescriptor& d,
                WriteMode mode = WriteMode::kReplace) {
  std::string key = KeyPath(d.key);
  if (!OpenForWrite(reg, key)) return;
  Encoded e = Encode(s, d.field);
  if (mode == WriteMode::kFillMissing) {
    (void)reg.SetDefaultValue(key, d.name, e.type, e.bytes.data(), e.bytes.size());
  } else {
    (void)reg.SetValue(key, d.name, e.type, e.bytes.data(), e.bytes.size());
  }
}

// A missing value keeps the field's default silently; one of another type or
// size, or a number outside the values `set` accepts, keeps it with a
// warning.
void ReadValue(RegistryStore& reg, QorSettings& s, const SettingDescriptor& d) {
  RegValue v;
  if (reg.QueryValue(KeyPath(d.key), d.name, v) != RegStatus::kOk) return;
  const auto* number = std::get_if<int32_t QorSettings::*>(&d.field);
  const int32_t kept = number ? s.**number : 0;
  if (!Decode(s, d.field, v)) {
    Logger().warning("QorSettings: %s\\%s is a %s of %zu bytes, not a %s; the default is kept",
                     d.key, d.name, TypeName(v.type), v.data.size(), ExpectedType(d.field));
    return;
  }
  if (number && (s.**number < d.min || s.**number > d.max)) {
    Logger().warning("QorSettings: %s\\%s is %d, not between %lld and %lld; the default is kept", d.key,
                     d.name, int(s.**number), (long long)d.min, (long long)d.max);
    s.**number = kept;
  }
}

template <class Pick>
void WriteGroup(RegistryStore& reg, const QorSettings& s, Pick pick,
                WriteMode mode = WriteMode::kReplace) {
  for (const SettingDescriptor& d : SettingDescriptors())
    if (pick(d.group)) WriteValue(reg, s, d, mode);
}

template <class Pick>
void ReadGroup(RegistryStore& reg, QorSettings& s, Pick pick) {
  for (const SettingDescriptor& d : SettingDescriptors())
    if (pick(d.group)) ReadValue(reg, s, d);
}

bool FlushOrWarn(RegistryStore& reg, const char* operation) {
  RegStatus status = reg.Flush();
  if (status == RegStatus::kOk) return true;
  Logger().warning("QorSettings::%s: \"%s\" could not be written (%s); the change is kept for the "
                   "next save",
                   operation, reg.file_path().c_str(), platform::RegStatusText(status));
  return false;
}

// "Version" as the C runtime's atof reads it, but never with the locale's
// decimal comma: leading blanks, a number, anything after it ignored.
float ParseVersion(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  float v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  return ec == std::errc() ? v : 0.0f;
}

void SetRootValues(RegistryStore& reg, bool with_init) {
  std::string root = kSettingsRootKey;
  if (!OpenForWrite(reg, root)) return;
  if (with_init) {
    // A first run: another program may have initialised the store meanwhile.
    uint8_t one[4] = {1, 0, 0, 0};
    (void)reg.SetDefaultValue(root, "Init_Settings", RegType::kDword, one, 4);
    (void)reg.SetDefaultValue(root, "Version", RegType::kSz, kVantorVersion, sizeof kVantorVersion);
    return;
  }
  (void)reg.SetValue(root, "Version", RegType::kSz, kVantorVersion, sizeof kVantorVersion);
}

// The save operations' bodies; Load's first run calls them with kFillMissing.
bool SaveSettingsValues(RegistryStore& reg, const QorSettings& s, WriteMode mode) {
  Logger().log("Saving Settings..");
  WriteGroup(reg, s, [](SettingGroup g) {
    return g == SettingGroup::kSettings || g == SettingGroup::kKeyMap;
  }, mode);
  return FlushOrWarn(reg, "Save");
}

bool SaveMenuStateValues(RegistryStore& reg, const QorSettings& s, WriteMode mode) {
  if (!s.save_menu_states && !s.save_main_window) return true;
  Logger().log("Saving Menu States..");
  if (s.save_menu_states)
    WriteGroup(reg, s, [](SettingGroup g) { return g == SettingGroup::kMenuStates; }, mode);
  if (s.save_main_window)
    WriteGroup(reg, s, [](SettingGroup g) { return g == SettingGroup::kMainWindow; }, mode);
  return FlushOrWarn(reg, "SaveMenuStates");
}

bool SaveGroupValues(RegistryStore& reg, const QorSettings& s, SettingGroup group,
                     const char* operation, WriteMode mode) {
  WriteGroup(reg, s, [group](SettingGroup g) { return g == group; }, mode);
  return FlushOrWarn(reg, operation);
}

}  // namespace

KeyMap DefaultKeyMap() {
  return KeyMap{{{0x70, 1}, {'t', 0}, {'m', 0}, {'o', 0}, {'k', 0}, {0x71, 1}, {'w', 0},
                 {0x20, 1}, {'z', 0}, {'x', 0}, {'s', 0}, {'b', 0}, {'n', 0}, {'1', 0}, {'f', 0}, {'l', 0}}};
}

// ---------------------------------------------------------------------------
// Load
// ---------------------------------------------------------------------------

SettingsLoadResult QorSettings::Load(RegistryStore& reg) {
  SettingsLoadResult result;
  platform::RegLoadReport report = reg.load_report();
  if (report.unread) {
    // Not a first run: the file may hold every setting of the user, in a
    // form we refused to read. Nothing is written over it from here.
    result.damaged_file = true;
    const std::string kept = platform::DamagedCopyPath(reg.file_path());
    Logger().warning("QorSettings::Load: the settings file \"%s\" could not be read (%s); the "
                     "defaults apply and the file is left as it is%s%s%s",
                     reg.file_path().c_str(), report.first_problem.c_str(),
                     report.special_file ? ", nor will a save replace it"
                                         : "; a save first renames it to \"",
                     report.special_file ? "" : kept.c_str(), report.special_file ? "" : "\"");
    ApplyLogSwitches(Logger());
    return result;
  }
  if (report.damaged) {
    result.damaged_file = true;
    Logger().warning("QorSettings::Load: the settings file \"%s\" is damaged (%s); what could not "
                     "be read keeps its default%s%s",
                     reg.file_path().c_str(), report.first_problem.c_str(),
                     report.backup_path.empty() ? "" : ", a copy of the file is in ",
                     report.backup_path.c_str());
  }

  // 1. "Init_Settings", a missing value counting as 0.
  const std::string root = kSettingsRootKey;
  int32_t init = 0;
  RegValue v;
  if (reg.QueryValue(root, "Init_Settings", v) == RegStatus::kOk) {
    if (v.type == RegType::kDword && v.data.size() == 4) {
      init = int32_t(GetLe32(v.data.data()));
    } else {
      Logger().warning("QorSettings: Init_Settings is a %s of %zu bytes, not a REG_DWORD",
                       TypeName(v.type), v.data.size());
    }
  }

  if (init != 0) {
    // 2. The stored layout's version decides: load it, or reset an older one.
    std::string version;
    if (reg.QueryValue(root, "Version", v) == RegStatus::kOk && v.type == RegType::kSz) {
      version.assign(v.data.begin(), v.data.end());
      version.resize(std::min(version.size(), version.find('\0')));
    }
    if (!(ParseVersion(version) < kLayoutVersion)) {
      ReadGroup(reg, *this, [](SettingGroup g) {
        return g == SettingGroup::kSettings || g == SettingGroup::kCounters;
      });
    } else {
      result.older_layout = true;
      SetRootValues(reg, false);
      Save(reg);
      SaveMenuStates(reg);
      SaveKeyMap(reg);
      SavePopups(reg);
    }
  } else {
    // 3. First run.
    result.first_run = true;
    SetRootValues(reg, true);
    SaveSettingsValues(reg, *this, WriteMode::kFillMissing);
  }

  // 5. The parts kept apart from the settings page.
  if (init != 0) {
    LoadPopups(reg);
    LoadMenuStates(reg);
    LoadKeyMap(reg);
  } else {
    SaveMenuStateValues(reg, *this, WriteMode::kFillMissing);
    SaveGroupValues(reg, *this, SettingGroup::kKeyMap, "SaveKeyMap", WriteMode::kFillMissing);
    SaveGroupValues(reg, *this, SettingGroup::kPopups, "SavePopups", WriteMode::kFillMissing);
    // What another program saved since our read won over our defaults: take
    // it, so that a later save does not put the defaults back.
    ReadGroup(reg, *this, [](SettingGroup g) {
      return g == SettingGroup::kSettings || g == SettingGroup::kCounters ||
             g == SettingGroup::kPopups || g == SettingGroup::kKeyMap;
    });
    LoadMenuStates(reg);
  }
  ApplyLogSwitches(Logger());
  return result;
}

void QorSettings::LoadPopups(RegistryStore& reg) {
  ReadGroup(reg, *this, [](SettingGroup g) { return g == SettingGroup::kPopups; });
}

void QorSettings::LoadKeyMap(RegistryStore& reg) {
  ReadGroup(reg, *this, [](SettingGroup g) { return g == SettingGroup::kKeyMap; });
}

void QorSettings::LoadMenuStates(RegistryStore& reg) {
  if (!save_menu_states) return;
  // The rectangles and visibilities, then "save_main_window", which decides
  // whether the main window's rectangle is read.
  ReadGroup(reg, *this, [](SettingGroup g) { return g == SettingGroup::kMenuStates; });
  if (save_main_window)
    ReadGroup(reg, *this, [](SettingGroup g) { return g == SettingGroup::kMainWindow; });
}

// ---------------------------------------------------------------------------
// Save
// ---------------------------------------------------------------------------

bool QorSettings::Save(RegistryStore& reg) {
  return SaveSettingsValues(reg, *this, WriteMode::kReplace);
}

bool QorSettings::SaveMenuStates(RegistryStore& reg) {
  return SaveMenuStateValues(reg, *this, WriteMode::kReplace);
}

bool QorSettings::SaveCounters(RegistryStore& reg) {
  return SaveGroupValues(reg, *this, SettingGroup::kCounters, "SaveCounters", WriteMode::kReplace);
}

bool QorSettings::SavePopups(RegistryStore& reg) {
  return SaveGroupValues(reg, *this, SettingGroup::kPopups, "SavePopups", WriteMode::kReplace);
}

bool QorSettings::SaveKeyMap(RegistryStore& reg) {
  return SaveGroupValues(reg, *this, SettingGroup::kKeyMap, "SaveKeyMap", WriteMode::kReplace);
}

bool SaveSetting(const QorSettings& s, const SettingDescriptor& d, RegistryStore& reg) {
  WriteValue(reg, s, d);
  return FlushOrWarn(reg, "SaveSetting");
}

// ---------------------------------------------------------------------------
// Reset
// ---------------------------------------------------------------------------

bool DeleteRegNode(RegistryStore& reg, std::string& path) {
  if (reg.DeleteKey(path) == RegStatus::kOk) return true;
  RegStatus open = reg.OpenKey(path);
  if (open == RegStatus::kNotFound) {
    Logger().warning("DeleteRegNode:: Key not found");
    return true;
  }
  if (open != RegStatus::kOk) {
    Logger().warning("DeleteRegNode:: Error opening key");
    return false;
  }
  const size_t restore = path.size();
  if (path.empty() || path.back() != '\\') path += '\\';
  const size_t base = path.size();
  std::string name;
  std::string previous;
  while (reg.EnumSubKey(path, 0, name) == RegStatus::kOk) {
    if (name == previous) break;  // the subkey did not go away: stop, do not spin
    previous = name;
    path += name;
    bool deleted = DeleteRegNode(reg, path);
    path.resize(base);
    if (!deleted) break;
  }
  path.resize(restore);
  return reg.DeleteKey(path) == RegStatus::kOk;
}

bool QorSettings::ResetSettings(RegistryStore& reg) {
  if (reg.load_report().unread) {
    // Its keys were never read, so there is nothing to delete them from:
    // "cleared" would be a lie and the file would load the same next time.
    Logger().warning("QorSettings::ResetSettings: \"%s\" could not be read, so its settings "
                     "cannot be deleted; remove the file to start again",
                     reg.file_path().c_str());
    Logger().log("Failed To Reset Settings");
    return false;
  }
  std::string path = kSettingsRootKey;
  bool cleared = DeleteRegNode(reg, path) && reg.Flush() == RegStatus::kOk;
  if (!cleared) {
    // The file still holds the settings: forget the deletions that were not
    // written, so a later save does not finish the reset behind our back.
    reg.Open(reg.file_path());
  }
  Logger().log(cleared ? "Settings have been cleared, restart to apply changes"
                       : "Failed To Reset Settings");
  return cleared;
}

bool QorSettings::SetLoggingMode(int32_t mode) {
  if (!Logger().set_sync_mode(mode)) return false;
  logging_mode = mode;
  return true;
}

void QorSettings::ApplyLogSwitches(QorLogger& logger) const {
  logger.set_supress_warnings(log_supress_warnings);
  logger.set_log_xmodel(log_xmodel);
}

QorSettings& Settings() {
  static QorSettings* settings = new QorSettings;
  return *settings;
}
