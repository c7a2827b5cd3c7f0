// The toolkit the gui tests share: a drawer that keeps what the last pass
// drew (texts with their screen positions, fonts and colours, the fills'
// colours, the translation stack's balance; text measured at 6 pixels a
// character), a clock the test moves (frames of 16 ms), the hooks noted
// (sounds, clipboard, hotkeys, quits) and a scripted mouse and keyboard: a
// click is a press and a release a frame apart. BasicToolkit takes another
// drawer (the fonts' metrics); WidgetRig adds one full-window menu "m".
#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "gui/draw2d.h"
#include "gui/qor_gui.h"

namespace gui_test {

struct DrawnText {
  float x, y;
  std::string text;
  FontState font;
  std::array<float, 3> colour{};
};

struct RecordingDraw2D : NullDraw2D {
  void Enter2D(int, int) override {
    texts.clear();
    fills.clear();
    in_2d = true;
  }
  void Leave2D() override { in_2d = false; }
  void PushTranslate(float x, float y) override { stack.push_back({x + tx(), y + ty()}); }
  void Pop() override { stack.pop_back(); }
  void Colour(float r, float g, float b, float) override { colour = {r, g, b}; }
  void FillRect(float, float, float, float) override { fills.push_back(colour); }
  void SetFont(const FontState& s) override { font = s; }
  void Text(float x, float y, std::string_view text) override {
    texts.push_back({x + tx(), y + ty(), std::string(text), font, colour});
  }
  float TextWidth(std::string_view text) override { return 6.0f * float(text.size()); }
  TextBounds Bounds(std::string_view line) override { return Draw2D::Bounds(line); }

  const DrawnText* FindText(std::string_view text) const {
    for (const DrawnText& t : texts)
      if (t.text == text) return &t;
    return nullptr;
  }
  float tx() const { return stack.empty() ? 0 : stack.back()[0]; }
  float ty() const { return stack.empty() ? 0 : stack.back()[1]; }

  std::vector<DrawnText> texts;
  std::array<float, 3> colour{};
  std::vector<std::array<float, 3>> fills;  // the colour of every filled rectangle, in order
  std::vector<std::array<float, 2>> stack;  // the translations pushed, summed
  FontState font;
  bool in_2d = false;
};

template <class Draw>
struct BasicToolkit {
  double now = 0;
  std::vector<std::string> sounds;
  std::vector<int> channels;  // each sound's channel
  std::vector<uint16_t> hotkeys;
  int exits = 0;
  std::string clipboard;
  Draw draw;
  MaterialStore materials;
  CommandProcessor commands{[this] { return now; }};
  QorGUI gui{draw, materials, commands, [this] { return now; }};

  explicit BasicToolkit(MaterialStore::Loader load = nullptr) : materials(std::move(load)) {
    gui.hooks.play_sound = [this](std::string_view s, int channel) {
      sounds.emplace_back(s);
      channels.push_back(channel);
    };
    gui.hooks.set_clipboard = [this](const std::string& t) { clipboard = t; };
    gui.hooks.hotkey = [this](uint16_t key) { hotkeys.push_back(key); };
    gui.hooks.exit_app = [this] { ++exits; };
  }
  Menu& Find(const char* name) { return *gui.FindMenu(name); }
  bool Open(const char* name) { return gui.FindMenu(name)->visible; }
  void Frame(double ms = 16) {
    gui.Render(60);
    now += ms;
  }
  void Hover(float x, float y) {
    gui.OnMouseMove(x, y);
    Frame();
  }
  void Down(float x, float y) {
    gui.OnMouseMove(x, y);
    gui.OnPress();
    Frame();
  }
  void Up() {
    gui.OnRelease();
    Frame();
  }
  void Click(float x, float y) {
    Down(x, y);
    Up();
  }
  void Wheel(int notches) {
    gui.AddWheel(notches);
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
  // A key press as the window sends it: the key, then the character it types.
  KeyRoute Press(int vk, unsigned typed = 0) {
    const KeyRoute route = gui.OnKey(vk, true);
    if (typed) gui.OnChar(typed);
    return route;
  }
  void Tap(int vk, unsigned typed = 0) {
    Press(vk, typed);
    gui.OnKey(vk, false);
  }
  bool Drawn(const std::string& text) const { return draw.FindText(text) != nullptr; }
  bool Shows(std::string_view part) const {
    return std::any_of(draw.texts.begin(), draw.texts.end(),
                       [&](const DrawnText& t) { return t.text.find(part) != std::string::npos; });
  }
  int Count(const char* sound) const { return int(std::count(sounds.begin(), sounds.end(), sound)); }
};

using Toolkit = BasicToolkit<RecordingDraw2D>;

struct WidgetRig : Toolkit {
  WidgetRig() { gui.AddStaticMenu("m", {0, 0, 0, 0, kAnchorFixed}, {0, 0, 640, 480, kAnchorFixed}, true); }
  Menu& menu() { return Find("m"); }
};

}  // namespace gui_test
