// Keys through the toolkit, headless: the key-name table both ways, typing
// into a focused text, key capture for the binders, Escape and the hotkey
// hook, and a tap between two frames.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "gui/key_names.h"
#include "gui/qor_gui.h"
#include "platform/vk_codes.h"
#include "tests/gui/recording_draw2d.h"

namespace {

using namespace platform;

constexpr uint16_t Vk(int code) { return uint16_t(kVirtualKeyKind | code); }

struct Rig {
  double now = 0;
  gui_test::RecordingDraw2D draw;
  MaterialStore materials{[](const std::string&, std::string&) { return std::optional<uint32_t>(1); }};
  CommandProcessor commands{[this] { return now; }};
  QorGUI gui{draw, materials, commands, [this] { return now; }};
  std::vector<uint16_t> hotkeys;
  int exits = 0;
  Rig() {
    gui.hooks.hotkey = [this](uint16_t key) { hotkeys.push_back(key); };
    gui.hooks.exit_app = [this] { ++exits; };
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
  void Type(const std::string& text) {
    for (char c : text) gui.OnChar(static_cast<unsigned char>(c));
  }
};

TEST(KeyNames, TableAndCharacters) {
  const struct {
    uint16_t key;
    const char* name;
  } cases[] = {
      {Vk(0x74), "F5"},       {Vk('K'), "K"},         {Vk(0xA1), "R shift"},  {Vk(0xA2), "L control"},
      {Vk(0x7B), "F12"},      {Vk(0x7C), "Unknown"},  {Vk(0x69), "NUMPAD 9"}, {Vk(0x6C), "Unknown"},
      {Vk(0x20), "SPACE"},    {Vk(0x1B), "ESCAPE"},   {Vk(0xBC), "Unknown"},  {Vk(0x00), "Unknown"},
      {Vk('7'), "7"},         {Vk(0x6B), "ADD"},      {'t', "t"},             {'1', "1"},
      {' ', "SPACE"},         {0x07, "Unknown"},      {0x00, "Unknown"},      {0xE9, "Unknown"},
      {0x0570, "F1"},  // any non-zero kind is a virtual key
  };
  for (const auto& c : cases) EXPECT_EQ(KeyName(c.key), c.name) << std::hex << c.key;
  EXPECT_EQ(StoredKey(DefaultKeyMap()[0]), Vk(0x70));
  EXPECT_EQ(KeyName(StoredKey(DefaultKeyMap()[1])), "t");
}

TEST(KeyNames, EveryShownNameParsesBackWithoutRegardToCase) {
  int named = 0;
  for (unsigned code = 0; code < 256; ++code) {
    const std::string name = KeyName(Vk(int(code)));
    if (name == "Unknown") continue;
    ++named;
    std::string lower = name;
    for (char& ch : lower) ch = char(std::tolower(static_cast<unsigned char>(ch)));
    EXPECT_EQ(ParseKeyName(name), Vk(int(code))) << name;
    EXPECT_EQ(ParseKeyName(lower), Vk(int(code))) << lower;
  }
  EXPECT_EQ(named, 27 + 10 + 12 + 10 + 26);
  for (const char* bad : {"Unknown", "", "F13", "F0", "NUMPAD 10", "numpad0", "KK", " K", "/", "shift "})
    EXPECT_FALSE(ParseKeyName(bad)) << '"' << bad << '"';
}

TEST(Keyboard, FocusedTextTakesEveryKeyAndNeverFiresAHotkey) {
  Rig r;
  std::string text = "ab", other;
  r.gui.keyboard().Focus(&text);
  EXPECT_EQ(r.gui.keyboard().focus_length(), 2u);
  r.Tap('C', 'c');
  r.Tap(kVkSpace, ' ');
  EXPECT_EQ(r.Press(kVkLShift), KeyRoute::kText);
  r.Tap('D', 'D');
  r.gui.OnKey(kVkLShift, false);
  r.Tap(kVkLeft);
  r.Tap(kVkF1);
  EXPECT_EQ(text, "abc D");
  // Control characters and what the fonts cannot draw are not text; nor is
  // a character typed with Control held.
  for (unsigned c : {8u, 9u, 13u, 27u, 127u, 0xE9u, 0x20ACu}) EXPECT_EQ(r.gui.OnChar(c), KeyRoute::kNone);
  r.Press(kVkRControl);
  EXPECT_EQ(r.gui.OnChar('v'), KeyRoute::kNone);
  r.gui.OnKey(kVkRControl, false);
  EXPECT_EQ(text, "abc D");
  // Backspace removes one character per press and per repeat; Delete alone
  // nothing (the caret is at the end); either with Shift empties the text.
  r.Press(kVkBack);
  r.Press(kVkBack);  // repeat
  r.gui.OnKey(kVkBack, false);
  r.Tap(kVkDelete);
  EXPECT_EQ(text, "abc");
  r.Press(kVkRShift);
  r.Tap(kVkDelete);
  r.gui.OnKey(kVkRShift, false);
  EXPECT_EQ(text, "");
  r.Tap(kVkBack);
  EXPECT_EQ(text, "");
  // Fifty characters and no more.
  r.Type(std::string(60, 'x'));
  EXPECT_EQ(text.size(), GuiKeyboard::kMaxTypedLength);
  EXPECT_TRUE(r.hotkeys.empty());

  // Enter ends editing; the focus moves with a new Focus.
  r.gui.keyboard().Focus(&other);
  EXPECT_EQ(r.Press(kVkReturn), KeyRoute::kEndEdit);
  EXPECT_FALSE(r.gui.keyboard().has_focus());
  EXPECT_EQ(r.Press(kVkReturn), KeyRoute::kNone);  // its repeat
  r.gui.OnKey(kVkReturn, false);
  EXPECT_TRUE(r.hotkeys.empty() && r.exits == 0);
  // Keys typed after editing are hotkeys again.
  r.Tap('M', 'm');
  EXPECT_EQ(r.hotkeys, (std::vector<uint16_t>{Vk('M'), 'm'}));
}

TEST(Keyboard, EscapeEndsEditingOrCaptureBeforeItQuits) {
  Rig r;
  std::string text = "2.54";
  r.gui.keyboard().Focus(&text);
  EXPECT_EQ(r.Press(kVkEscape), KeyRoute::kEndEdit);
  EXPECT_EQ(r.Press(kVkEscape), KeyRoute::kNone);  // held on: still no quit
  r.gui.OnKey(kVkEscape, false);
  EXPECT_EQ(r.exits, 0);
  EXPECT_EQ(text, "2.54");

  HotKeySlot slot = {'t', 0};
  r.gui.keyboard().CaptureKey(&slot);
  EXPECT_EQ(r.Press(kVkEscape), KeyRoute::kCapture);  // Escape can be bound
  r.gui.OnKey(kVkEscape, false);
  EXPECT_EQ(StoredKey(slot), Vk(kVkEscape));
  EXPECT_EQ(r.exits, 0);

  r.gui.keyboard().EndCapture();
  EXPECT_EQ(r.Press(kVkEscape), KeyRoute::kExit);
  EXPECT_EQ(r.exits, 1);
  EXPECT_TRUE(r.hotkeys.empty());
}

TEST(Keyboard, CaptureStoresTheNextPressOnce) {
  Rig r;
  KeyMap map = DefaultKeyMap();
  GuiKeyboard& kb = r.gui.keyboard();
  kb.CaptureKey(&map[4]);
  kb.CaptureKey(&map[2]);  // another binder takes the capture over
  EXPECT_EQ(r.Press(kVkRShift), KeyRoute::kCapture);
  EXPECT_EQ(KeyName(StoredKey(map[2])), "R shift");
  EXPECT_EQ(kb.capture_target(), nullptr);
  EXPECT_TRUE(kb.capturing());  // until the binder has seen the bind
  r.gui.OnKey(kVkRShift, false);
  kb.EndCapture();
  EXPECT_FALSE(kb.capturing());
  EXPECT_EQ(map[4], DefaultKeyMap()[4]);

  // The press that is bound neither types nor fires a hotkey, nor do its
  // repeats; the next press does.
  kb.CaptureKey(&map[2]);
  EXPECT_EQ(r.Press('K', 'k'), KeyRoute::kCapture);
  EXPECT_EQ(r.Press('K', 'k'), KeyRoute::kNone);
  r.gui.OnKey('K', false);
  EXPECT_EQ(KeyName(StoredKey(map[2])), "K");
  EXPECT_TRUE(r.hotkeys.empty());
  r.Tap('K', 'k');
  EXPECT_EQ(r.hotkeys, (std::vector<uint16_t>{Vk('K'), 'k'}));

  // A character alone (no key before it) is bound as a character.
  kb.CaptureKey(&map[2]);
  EXPECT_EQ(r.gui.OnChar('q'), KeyRoute::kCapture);
  EXPECT_EQ(KeyName(StoredKey(map[2])), "q");
}

TEST(Keyboard, ATapBetweenTwoFramesIsHeldForOneFrame) {
  Rig r;
  GuiKeyboard& kb = r.gui.keyboard();
  r.Tap(kVkLShift);
  EXPECT_TRUE(kb.KeyHeld(kVkLShift) && kb.KeyHeld(kVkShift));
  EXPECT_FALSE(kb.KeyHeld(kVkRShift) || kb.KeyHeld(kVkControl));
  r.gui.Render(60);
  EXPECT_FALSE(kb.KeyHeld(kVkShift));
  r.Press('A');
  r.gui.Render(60);
  r.gui.Render(60);
  EXPECT_TRUE(kb.KeyHeld('A'));
  r.gui.OnKey('A', false);
  EXPECT_FALSE(kb.KeyHeld('A'));
  EXPECT_EQ(r.gui.OnKey(0x1FF, true), KeyRoute::kNone);
}

}  // namespace
