// The descriptor of every stored setting, in the store's key order, and the
// text form of each field type for the command line.
#include <charconv>  // Required for: from_chars(), to_chars()
#include <cmath>     // Required for: isfinite()
#include <cstdio>    // Required for: snprintf()
#include <vector>

#include "platform/text_case.h"
#include "shell/settings.h"

namespace {

using G = SettingGroup;
using S = QorSettings;
constexpr int64_t kMaxInt = INT32_MAX;

// The DWORD ranges are the values the settings actions accept.
const SettingDescriptor kTable[] = {
    {"Folders", "Cod4Path", G::kSettings, &S::Cod4Path},
    {"Folders", "Cod5Path", G::kSettings, &S::Cod5Path},
    {"Folders", "BOPath", G::kSettings, &S::BOPath},
    {"Folders", "export_folder", G::kSettings, &S::export_folder},
    {"Folders", "export_folder_GDT", G::kSettings, &S::export_folder_GDT},

    {"Misc", "fps_active", G::kSettings, &S::fps_active, 31, kMaxInt},  // above 30
    {"Misc", "fps_sleepy", G::kSettings, &S::fps_sleepy, 11, kMaxInt},  // above 10
    {"Misc", "active_game", G::kSettings, &S::active_game, 0, 2},
    {"Misc", "logging_mode", G::kSettings, &S::logging_mode, 0, 1},
    {"Misc", "mouse_style", G::kSettings, &S::mouse_style, 0, 1},
    {"Misc", "run_count", G::kCounters, &S::run_count, 0, kMaxInt},
    {"Misc", "export_count", G::kCounters, &S::export_count, 0, kMaxInt},
    {"Misc", "color_background", G::kSettings, &S::color_background},
    {"Misc", "color_text", G::kSettings, &S::color_text},
    {"Misc", "color_grid", G::kSettings, &S::color_grid},
    {"Misc", "window_on_top", G::kSettings, &S::window_on_top},
    {"Misc", "create_tray_icon", G::kSettings, &S::create_tray_icon},
    {"Misc", "auto_update", G::kSettings, &S::auto_update},
    {"Misc", "update_server", G::kSettings, &S::update_server},

    {"OpenGl", "Vsync", G::kSettings, &S::Vsync},
    {"OpenGl", "wireframe", G::kSettings, &S::wireframe},
    {"OpenGl", "multisampling", G::kSettings, &S::multisampling},
    {"OpenGl", "draw_grid", G::kSettings, &S::draw_grid},
    {"OpenGl", "draw_axis", G::kSettings, &S::draw_axis},
    {"OpenGl", "load_model_textures", G::kSettings, &S::load_model_textures},
    {"OpenGl", "bounding_box", G::kSettings, &S::bounding_box},
    {"OpenGl", "central_locator", G::kSettings, &S::central_locator},
    {"OpenGl", "draw_bones", G::kSettings, &S::draw_bones},
    {"OpenGl", "frame_model_on_load", G::kSettings, &S::frame_model_on_load},

    {"Sound", "sound_all", G::kSettings, &S::sound_all},
    {"Sound", "sound_focus", G::kSettings, &S::sound_focus},
    {"Sound", "sound_accept", G::kSettings, &S::sound_accept},
    {"Sound", "sound_export", G::kSettings, &S::sound_export},
    {"Sound", "sound_welcome", G::kSettings, &S::sound_welcome},
    {"Sound", "sound_leave", G::kSettings, &S::sound_leave},
    {"Sound", "sound_level", G::kSettings, &S::sound_level},

    {"Export", "export_scale_new", G::kSettings, &S::export_scale_new},
    {"Export", "export_MTL", G::kSettings, &S::export_MTL},
    {"Export", "export_MA_BIND", G::kSettings, &S::export_MA_BIND},
    {"Export", "export_sub_dir", G::kSettings, &S::export_sub_dir},
    {"Export", "export_images", G::kSettings, &S::export_images},
    {"Export", "export_images_local", G::kSettings, &S::export_images_local},
    {"Export", "export_images_col", G::kSettings, &S::export_images_col},
    {"Export", "export_tags_local", G::kSettings, &S::export_tags_local},
    {"Export", "export_img_as_tga", G::kSettings, &S::export_img_as_tga, 0, 1},
    {"Export", "export_img_png", G::kSettings, &S::export_img_png, 0, 2},
    {"Export", "convert_normal_maps", G::kSettings, &S::convert_normal_maps, 0, 2},

    {"Logs", "log_xmodel", G::kSettings, &S::log_xmodel},
    {"Logs", "log_supress_warnings", G::kSettings, &S::log_supress_warnings},
    {"Logs", "log_supress_genral", G::kSettings, &S::log_supress_genral},

    {"Theme", "active_theme", G::kSettings, &S::active_theme, 0, 2},

    {"HotKeys", "key_map", G::kKeyMap, &S::key_map},

    {"Menus", "rect_xmodel_pro", G::kMenuStates, &S::rect_xmodel_pro},
    {"Menus", "rect_xmodel_pro_s", G::kMenuStates, &S::rect_xmodel_pro_s},
    {"Menus", "rect_xmodel_log", G::kMenuStates, &S::rect_xmodel_log},
    {"Menus", "rect_xmodel_log_s", G::kMenuStates, &S::rect_xmodel_log_s},
    {"Menus", "rect_xmodel_tags", G::kMenuStates, &S::rect_xmodel_tags},
    {"Menus", "rect_xmodel_tags_s", G::kMenuStates, &S::rect_xmodel_tags_s},
    {"Menus", "vis_xmodel_prop", G::kMenuStates, &S::vis_xmodel_prop},
    {"Menus", "vis_xmodel_log", G::kMenuStates, &S::vis_xmodel_log},
    {"Menus", "vis_xmodel_list", G::kMenuStates, &S::vis_xmodel_list},
    {"Menus", "vis_xmodel_tags", G::kMenuStates, &S::vis_xmodel_tags},
    {"Menus", "rect_xanim_player", G::kMenuStates, &S::rect_xanim_player},
    {"Menus", "rect_xanim_player_s", G::kMenuStates, &S::rect_xanim_player_s},
    {"Menus", "vis_xanim_player", G::kMenuStates, &S::vis_xanim_player},
    {"Menus", "save_main_window", G::kMenuStates, &S::save_main_window},
    {"Menus", "rect_main_window", G::kMainWindow, &S::rect_main_window},

    {"Popups", "donate", G::kPopups, &S::donate},
};

using platform::EqualsNoCase;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool ParseWhole(std::string_view text, int64_t& out, int base = 10) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out, base);
  return ec == std::errc() && end == text.data() + text.size();
}

// Whole numbers separated by commas and/or spaces.
bool ParseIntList(std::string_view text, std::vector<int64_t>& out) {
  out.clear();
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == ',')) ++i;
    if (i == text.size()) break;
    size_t start = i;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != ',') ++i;
    int64_t v = 0;
    if (!ParseWhole(text.substr(start, i - start), v)) return false;
    out.push_back(v);
  }
  return true;
}

bool InInt32(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

}  // namespace

std::span<const SettingDescriptor> SettingDescriptors() { return kTable; }

std::string SettingPath(const SettingDescriptor& d) {
  return std::string(d.key) + "/" + d.name;
}

const SettingDescriptor* FindSetting(std::string_view path) {
  size_t sep = path.find_first_of("/\\");
  if (sep == std::string_view::npos) return nullptr;
  std::string_view key = path.substr(0, sep);
  std::string_view name = path.substr(sep + 1);
  for (const SettingDescriptor& d : kTable)
    if (EqualsNoCase(key, d.key) && EqualsNoCase(name, d.name)) return &d;
  return nullptr;
}

std::string FormatSetting(const QorSettings& s, const SettingDescriptor& d) {
  struct Formatter {
    const QorSettings& s;
    std::string operator()(std::string QorSettings::*p) const { return s.*p; }
    std::string operator()(int32_t QorSettings::*p) const { return std::to_string(s.*p); }
    std::string operator()(uint32_t QorSettings::*p) const {
      char text[16];
      std::snprintf(text, sizeof text, "0x%08X", unsigned(s.*p));
      return text;
    }
    std::string operator()(bool QorSettings::*p) const { return s.*p ? "1" : "0"; }
    std::string operator()(float QorSettings::*p) const {
      char text[32];
      auto [end, ec] = std::to_chars(text, text + sizeof text, s.*p);
      return ec == std::errc() ? std::string(text, end) : "0";
    }
    std::string operator()(SettingsRect QorSettings::*p) const {
      const SettingsRect& r = s.*p;
      return std::to_string(r.x) + "," + std::to_string(r.y) + "," + std::to_string(r.w) + "," +
             std::to_string(r.h);
    }
    std::string operator()(KeyMap QorSettings::*p) const {
      std::string out;
      char byte[4];
      for (const HotKeySlot& slot : s.*p) {
        for (uint8_t b : {slot.code, slot.kind}) {
          std::snprintf(byte, sizeof byte, "%02x", b);
          if (!out.empty()) out += ",";
          out += byte;
        }
      }
      return out;
    }
    std::string operator()(DonateRecord QorSettings::*p) const {
      const DonateRecord& r = s.*p;
      return std::string(r.shown ? "1" : "0") + "," + std::to_string(r.count) + "," +
             std::to_string(r.last_shown_count);
    }
  };
  return std::visit(Formatter{s}, d.field);
}

bool ParseSetting(QorSettings& s, const SettingDescriptor& d, std::string_view text,
                  std::string& error) {
  struct Parser {
    QorSettings& s;
    const SettingDescriptor& d;
    std::string_view text;
    std::string& error;

    bool Fail(const std::string& why) const {
      error = SettingPath(d) + ": " + why;
      return false;
    }
    bool operator()(std::string QorSettings::*p) const {
      // The store reads strings into a 260-byte buffer, terminator included.
      if (text.size() > 259) return Fail("a path may hold at most 259 characters");
      s.*p = std::string(text);
      return true;
    }
    bool operator()(int32_t QorSettings::*p) const {
      int64_t v = 0;
      if (!ParseWhole(text, v)) return Fail(Quoted(text) + " is not a whole number");
      if (v < d.min || v > d.max)
        return Fail("must be between " + std::to_string(d.min) + " and " + std::to_string(d.max));
      s.*p = int32_t(v);
      return true;
    }
    bool operator()(uint32_t QorSettings::*p) const {
      std::string_view t = Trim(text);
      int64_t v = -1;
      bool ok = t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')
                    ? ParseWhole(t.substr(2), v, 16)
                    : ParseWhole(t, v);
      if (!ok || v < 0 || v > int64_t(UINT32_MAX))
        return Fail(Quoted(text) + " is not a colour (0x00BBGGRR, red in the lowest byte)");
      s.*p = uint32_t(v);
      return true;
    }
    bool operator()(bool QorSettings::*p) const {
      std::string_view t = Trim(text);
      if (t == "1" || EqualsNoCase(t, "true") || EqualsNoCase(t, "yes") || EqualsNoCase(t, "on")) {
        s.*p = true;
      } else if (t == "0" || EqualsNoCase(t, "false") || EqualsNoCase(t, "no") || EqualsNoCase(t, "off")) {
        s.*p = false;
      } else {
        return Fail(Quoted(text) + " is not 0 or 1");
      }
      return true;
    }
    bool operator()(float QorSettings::*p) const {
      std::string_view t = Trim(text);
      if (!t.empty() && t.front() == '+') t.remove_prefix(1);
      float v = 0;
      auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
      if (t.empty() || ec != std::errc() || end != t.data() + t.size() || !std::isfinite(v))
        return Fail(Quoted(text) + " is not a number");
      if (p == &QorSettings::export_scale_new && !ValidModelScale(v))
        return Fail(Quoted(text) + " is not above 0 and below 999");
      s.*p = v;
      return true;
    }
    bool operator()(SettingsRect QorSettings::*p) const {
      std::vector<int64_t> v;
      if (!ParseIntList(text, v) || v.size() != 4 || !InInt32(v[0]) || !InInt32(v[1]) ||
          !InInt32(v[2]) || !InInt32(v[3]))
        return Fail(Quoted(text) + " is not four whole numbers x,y,w,h");
      s.*p = SettingsRect{int32_t(v[0]), int32_t(v[1]), int32_t(v[2]), int32_t(v[3])};
      return true;
    }
    bool operator()(KeyMap QorSettings::*p) const {
      KeyMap map;
      size_t count = 0;
      size_t i = 0;
      std::string_view t = Trim(text);
      while (i <= t.size()) {
        size_t end = t.find(',', i);
        if (end == std::string_view::npos) end = t.size();
        int64_t b = -1;
        std::string_view item = Trim(t.substr(i, end - i));
        if (count == 2 * kHotKeyCount || item.size() != 2 || !ParseWhole(item, b, 16) || b < 0)
          return Fail("the key map is 32 hex bytes, a code and a kind per hotkey: 70,01,74,00,...");
        (count % 2 ? map[count / 2].kind : map[count / 2].code) = uint8_t(b);
        ++count;
        i = end + 1;
      }
      if (count != 2 * kHotKeyCount)
        return Fail("the key map is 32 hex bytes, a code and a kind per hotkey: 70,01,74,00,...");
      s.*p = map;
      return true;
    }
    bool operator()(DonateRecord QorSettings::*p) const {
      std::vector<int64_t> v;
      if (!ParseIntList(text, v) || v.size() != 3 || (v[0] != 0 && v[0] != 1) || !InInt32(v[1]) ||
          !InInt32(v[2]))
        return Fail(Quoted(text) + " is not shown(0 or 1),count,last_shown_count");
      s.*p = DonateRecord{v[0] == 1, int32_t(v[1]), int32_t(v[2])};
      return true;
    }
  };
  return std::visit(Parser{s, d, text, error}, d.field);
}
