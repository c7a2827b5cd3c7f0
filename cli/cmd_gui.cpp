// vantor-cli gui: the window's interface without a window. The layout is
// built from the settings and driven by steps on a clock of 60 frames a
// second; the output is what a tester needs to see: the log, the sounds
// asked for, every menu's state, the named texts, the texts of the last
// frame with their positions, and where each key and typed character went.
//   vantor-cli gui [--size WxH] [--json] STEP...
//   steps: run TEXT | ms N | move X Y | press | release | click X Y | rclick X Y |
//          wheel N | resize W H | key NAME | type TEXT
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/json_writer.h"
#include "base/logger.h"
#include "cli/commands.h"
#include "cli/terminal_text.h"
#include "gui/key_names.h"
#include "shell/screens/headless_gui.h"
#include "shell/settings.h"

namespace {

constexpr double kFrameMs = 1000.0 / 60.0;

bool Number(const std::string& text, int& out) {
  auto r = std::from_chars(text.data(), text.data() + text.size(), out);
  return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

struct Sound {
  std::string name;
  int channel;
  double ms;
};

// A key press (`key` step) or a typed character (`type` step).
struct KeyEvent {
  bool typed;
  std::string name;  // the key's shown name; the character, or U+XXXX
  unsigned code;     // virtual-key code or code point
  KeyRoute route;
  double ms;
};

struct ChangedSetting {
  std::string path;  // "Key/value"
  std::string value;
};

struct Run {
  std::vector<std::string> log;
  std::vector<Sound> sounds;
  std::vector<KeyEvent> keys;
  std::vector<ChangedSetting> settings;
};

// The code points of `text`, as the window's character callback delivers
// them; a byte that is not UTF-8 stands for itself.
std::vector<unsigned> CodePoints(const std::string& text) {
  std::vector<unsigned> out;
  const auto* s = reinterpret_cast<const uint8_t*>(text.data());
  for (size_t i = 0; i < text.size();) {
    uint32_t cp = s[i];
    const size_t n = s[i] < 0x80 ? 1 : Utf8Length(s + i, text.size() - i, cp);
    out.push_back(cp);
    i += n ? n : 1;
  }
  return out;
}

std::string CharName(unsigned cp) {
  if (cp >= 0x20 && cp < 0x7F) return std::string(1, char(cp));
  char name[16];
  std::snprintf(name, sizeof name, "U+%04X", cp);
  return name;
}

void PrintJson(const Run& run, HeadlessGui& h) {
  JsonWriter j;
  j.BeginObject().Key("ms").Double(h.now).Key("log").BeginArray();
  for (const std::string& line : run.log) j.String(line);
  j.EndArray().Key("sounds").BeginArray();
  for (const Sound& s : run.sounds)
    j.BeginObject().Key("name").String(s.name).Key("channel").Int(s.channel).Key("ms").Double(s.ms).EndObject();
  j.EndArray().Key("menus").BeginArray();
  for (const auto& m : h.gui.menus()) {
    j.BeginObject().Key("name").String(m->name).Key("visible").Bool(m->visible).Key("animating").Bool(m->animating);
    j.Key("alpha").Float(m->alpha).Key("slide").BeginArray().Float(m->slide_x).Float(m->slide_y).EndArray();
    j.EndObject();
  }
  j.EndArray().Key("texts").BeginObject();
  for (const auto& [name, text] : h.gui.texts()) j.Key(name).String(text);
  j.EndObject().Key("drawn").BeginArray();
  for (const TextRecorder::Drawn& d : h.draw.texts)
    j.BeginObject().Key("x").Float(d.x).Key("y").Float(d.y).Key("text").String(d.text).EndObject();
  j.EndArray().Key("keys").BeginArray();
  for (const KeyEvent& k : run.keys) {
    j.BeginObject().Key("event").String(k.typed ? "type" : "key").Key("name").String(k.name);
    j.Key("code").Int(k.code).Key("to").String(KeyRouteName(k.route)).Key("ms").Double(k.ms).EndObject();
  }
  j.EndArray().Key("settings").BeginObject();
  for (const ChangedSetting& c : run.settings) j.Key(c.path).String(c.value);
  j.EndObject().EndObject();
  std::cout << j.str() << "\n";
}

void PrintText(const Run& run, HeadlessGui& h) {
  std::cout << "time: " << h.now << " ms\nlog:\n";
  for (const std::string& line : run.log) std::cout << "  " << Printable(line) << "\n";
  std::cout << "sounds:\n";
  for (const Sound& s : run.sounds) std::cout << "  " << s.name << " channel " << s.channel << " at " << s.ms << " ms\n";
  std::cout << "menus:\n";
  for (const auto& m : h.gui.menus()) {
    if (!m->visible && !m->animating) continue;
    char line[160];
    std::snprintf(line, sizeof line, "  %s%s alpha %.2f slide %.0f,%.0f\n", m->name.c_str(),
                  m->animating ? (m->visible ? " (opening)" : " (closing)") : "", m->alpha, m->slide_x, m->slide_y);
    std::cout << line;
  }
  std::cout << "texts:\n";
  for (const auto& [name, text] : h.gui.texts()) std::cout << "  " << name << ": " << Printable(text) << "\n";
  std::cout << "drawn:\n";
  for (const TextRecorder::Drawn& d : h.draw.texts)
    std::cout << "  " << d.x << "," << d.y << " " << Printable(d.text) << "\n";
  std::cout << "keys:\n";
  for (const KeyEvent& k : run.keys) {
    const bool quoted = k.typed && k.code >= 0x20 && k.code < 0x7F;
    std::cout << "  " << (k.typed ? "type " : "key ") << (quoted ? "'" + k.name + "'" : k.name) << " -> "
              << KeyRouteName(k.route) << " at " << k.ms << " ms\n";
  }
  std::cout << "settings:\n";
  for (const ChangedSetting& c : run.settings) std::cout << "  " << c.path << " = " << Printable(c.value) << "\n";
}

}  // namespace

int CmdGui(const CliArgs& args) {
  int width = 800, height = 600;
  if (auto size = args.Get("--size"); size && !ParseWindowSize(*size, width, height)) {
    std::cerr << "error: --size takes WIDTHxHEIGHT, e.g. 800x600\n";
    return 2;
  }
  Run run;
  std::mutex log_lock;
  Logger().set_sink([&](std::string_view line) {
    std::lock_guard<std::mutex> hold(log_lock);
    run.log.emplace_back(line);
  });
  QorSettings& settings = Settings();
  settings.Load();
  HeadlessGui h(settings);
  // The settings as the layout starts from them, to show what the steps changed.
  std::vector<std::string> before;
  for (const SettingDescriptor& d : SettingDescriptors()) before.push_back(FormatSetting(settings, d));
  h.gui.hooks.play_sound = [&](std::string_view name, int channel) {
    run.sounds.push_back({std::string(name), channel, h.now});
  };
  // One frame: the resize, the pass, then what waited for it.
  auto frame = [&] {
    h.gui.ItemScale();
    h.gui.Render(60.0);
    h.commands.RunDue();
    h.now += kFrameMs;
  };
  h.gui.SetPendingSize(width, height);
  frame();

  auto bad = [](const std::string& why) {
    Logger().set_sink(nullptr);
    std::cerr << "error: " << why << "\n";
    return 2;
  };
  const std::vector<std::string>& p = args.positional;
  for (size_t i = 0; i < p.size(); ++i) {
    const std::string& step = p[i];
    int a = 0, b = 0;
    const bool one = i + 1 < p.size(), two = i + 2 < p.size();
    if (step == "run" && one) {
      h.commands.RunCommand(p[++i]);
    } else if (step == "ms" && one && Number(p[i + 1], a) && a >= 0 && a <= 3600000) {
      ++i;
      for (const double until = h.now + a; h.now < until;) frame();
    } else if ((step == "move" || step == "click") && two && Number(p[i + 1], a) && Number(p[i + 2], b)) {
      i += 2;
      h.gui.OnMouseMove(float(a), float(b));
      if (step == "click") {
        h.gui.OnPress();
        h.gui.OnRelease();
      }
      frame();
    } else if (step == "resize" && two && Number(p[i + 1], a) && Number(p[i + 2], b) && a > 0 && b > 0) {
      i += 2;
      h.gui.SetPendingSize(a, b);
      frame();
    } else if (step == "rclick" && two && Number(p[i + 1], a) && Number(p[i + 2], b)) {
      i += 2;
      h.gui.OnMouseMove(float(a), float(b));
      h.gui.OnRightPress();
      h.gui.OnRightRelease();
      frame();
    } else if (step == "wheel" && one && Number(p[i + 1], a) && a >= -1000 && a <= 1000) {
      ++i;
      h.gui.AddWheel(a);
      frame();
    } else if (step == "press" || step == "release") {
      if (step == "press") {
        h.gui.OnPress();
      } else {
        h.gui.OnRelease();
      }
      frame();
    } else if (step == "key" && one) {
      const std::optional<uint16_t> key = ParseKeyName(p[++i]);
      if (!key) return bad("unknown key \"" + p[i] + "\" (F1, K, 7, ESCAPE, ENTER, R shift, NUMPAD 0...)");
      const int vk = *key & 0xFF;
      run.keys.push_back({false, KeyName(*key), unsigned(vk), h.gui.OnKey(vk, true), h.now});
      frame();
      (void)h.gui.OnKey(vk, false);
      frame();
    } else if (step == "type" && one) {
      for (unsigned cp : CodePoints(p[++i])) {
        run.keys.push_back({true, CharName(cp), cp, h.gui.OnChar(cp), h.now});
        frame();
      }
    } else {
      return bad("bad step \"" + step +
                 "\" (run TEXT, ms N, move X Y, press, release, click X Y, rclick X Y, wheel N, resize W H, key NAME, "
                 "type TEXT)");
    }
  }
  frame();  // the texts of this last pass are the ones shown
  Logger().set_sink(nullptr);
  size_t index = 0;
  for (const SettingDescriptor& d : SettingDescriptors()) {
    std::string now = FormatSetting(settings, d);
    if (now != before[index++]) run.settings.push_back({SettingPath(d), std::move(now)});
  }
  if (args.Has("--json")) {
    PrintJson(run, h);
  } else {
    PrintText(run, h);
  }
  return 0;
}
