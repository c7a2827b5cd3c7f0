// A toolkit with one full-window menu "m" to add widgets to, a recording
// drawer, a clock the test moves, and the scripted mouse the widget tests
// share: frames of 16 ms, a click is a press and a release a frame apart.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "gui/qor_gui.h"
#include "tests/gui/recording_draw2d.h"

namespace gui_test {

struct WidgetRig {
  double now = 0;
  std::vector<std::string> sounds;
  std::string clipboard;
  RecordingDraw2D draw;
  MaterialStore materials{nullptr};
  CommandProcessor commands{[this] { return now; }};
  QorGUI gui{draw, materials, commands, [this] { return now; }};

  WidgetRig() {
    gui.hooks.play_sound = [this](std::string_view s, int) { sounds.emplace_back(s); };
    gui.hooks.set_clipboard = [this](const std::string& t) { clipboard = t; };
    gui.AddStaticMenu("m", {0, 0, 0, 0, kAnchorFixed}, {0, 0, 640, 480, kAnchorFixed}, true);
  }
  Menu& menu() { return *gui.FindMenu("m"); }
  void Frame(double ms = 16) {
    gui.Render(60);
    now += ms;
  }
  void Click(float x, float y) {
    gui.OnMouseMove(x, y);
    gui.OnPress();
    Frame();
    gui.OnRelease();
    Frame();
  }
  void RightClick(float x, float y) {
    gui.OnMouseMove(x, y);
    gui.OnRightPress();
    Frame();
    gui.OnRightRelease();
    Frame();
  }
  void Type(const std::string& text) {
    for (char c : text) gui.OnChar(static_cast<unsigned char>(c));
    Frame();
  }
  bool Drawn(const std::string& text) const { return draw.FindText(text) != nullptr; }
  int Count(const char* sound) const { return int(std::count(sounds.begin(), sounds.end(), sound)); }
};

}  // namespace gui_test
