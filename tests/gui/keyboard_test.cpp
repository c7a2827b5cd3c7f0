// Keys through the toolkit, headless: the key-name table both ways, typing
// into a focused text, key capture for the binders, Escape and the hotkey
// hook, a tap between two frames, and the dialogs of the whole interface
// (the layout, the folder entry, the question box) holding the keyboard.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include "gui/key_names.h"
#include "shell/screens/layout.h"
#include "gui/qor_gui.h"
#include "shell/screens/question_box.h"
#include "platform/vk_codes.h"
#include "shell/settings.h"
#include "tests/gui/widget_rig.h"

namespace {

using namespace platform;

constexpr uint16_t Vk(int code) { return uint16_t(kVirtualKeyKind | code); }

using gui_test::Toolkit;

// Typed as the window sends it: each letter's key, then its character.
void Keys(Toolkit& r, const std::string& text) {
  for (char c : text)
    r.Tap(std::isalnum(static_cast<unsigned char>(c)) ? std::toupper(c) : c == ' ' ? kVkSpace : 0xBF,
          static_cast<unsigned char>(c));
}

// The whole interface with the default settings; the folder entry notes
// its answers, the program's "reset_settings" is counted.
struct DialogRig : Toolkit {
  QorSettings settings;
  QuestionBox questions{gui};
  std::vector<std::string> entry;
  int resets = 0;
  DialogRig() : Toolkit([](const std::string&, std::string&) { return std::optional<uint32_t>(1); }) {
    LayoutHooks hooks;
    hooks.ask_question = [this](std::string title, std::string text, std::function<void(bool)> answer) {
      questions.Ask(title, text, std::move(answer));
    };
    BuildLayout(gui, settings, hooks);
    BuildFolderEntry(gui, {[this] { entry.push_back("accept"); }, [this] { entry.push_back("cancel"); }});
    questions.Build();
    commands.Register("reset_settings", [this](const std::string&) { ++resets; });
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

TEST(Keyboard, FocusedTextTakesEveryKeyAndNeverFiresAHotkeyNorQuits) {
  Toolkit r;
  std::string text = "ab", other;
  r.gui.keyboard().Focus(&text);
  EXPECT_EQ(r.gui.keyboard().focus_length(), 2u);
  Keys(r, "c ");
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
  r.Type(std::string(60, 'x'));  // fifty characters and no more
  EXPECT_TRUE(text.size() == GuiKeyboard::kMaxTypedLength && r.hotkeys.empty());

  // Escape ends editing without quitting, held on too.
  r.gui.keyboard().Focus(&text);
  EXPECT_EQ(r.Press(kVkEscape), KeyRoute::kEndEdit);
  EXPECT_EQ(r.Press(kVkEscape), KeyRoute::kNone);
  r.gui.OnKey(kVkEscape, false);
  EXPECT_TRUE(r.exits == 0 && text.size() == GuiKeyboard::kMaxTypedLength);
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

TEST(Keyboard, CaptureStoresTheNextPressOnceEscapeToo) {
  Toolkit r;
  KeyMap map = DefaultKeyMap();
  GuiKeyboard& kb = r.gui.keyboard();
  kb.CaptureKey(&map[4]);
  kb.CaptureKey(&map[2]);  // another binder takes the capture over
  EXPECT_EQ(r.Press(kVkRShift), KeyRoute::kCapture);
  EXPECT_EQ(KeyName(StoredKey(map[2])), "R shift");
  EXPECT_TRUE(kb.capture_target() == nullptr && kb.capturing());  // until the binder has seen the bind
  r.gui.OnKey(kVkRShift, false);
  kb.EndCapture();
  EXPECT_FALSE(kb.capturing());
  EXPECT_EQ(map[4], DefaultKeyMap()[4]);

  // The bound press neither types nor fires a hotkey, nor do its repeats;
  // the next press does. A letter is stored as the lower-case character it
  // types (the layout's letter, or the key's own when no character comes).
  kb.CaptureKey(&map[2]);
  EXPECT_EQ(r.Press('K', 'K'), KeyRoute::kCapture);
  EXPECT_EQ(r.Press('K', 'k'), KeyRoute::kNone);
  r.gui.OnKey('K', false);
  EXPECT_TRUE(map[2] == (HotKeySlot{'k', 0}) && r.hotkeys.empty());
  r.Tap('K', 'k');
  EXPECT_EQ(r.hotkeys, (std::vector<uint16_t>{Vk('K'), 'k'}));
  kb.CaptureKey(&map[2]);
  r.Tap('Q', 'a');
  EXPECT_EQ(map[2], (HotKeySlot{'a', 0}));
  kb.CaptureKey(&map[2]);
  r.Tap('J');
  EXPECT_EQ(map[2], (HotKeySlot{'j', 0}));
  EXPECT_TRUE(SameKey({'j', 0}, {'J', 1}) && SameKey({'1', 0}, {'1', 1}) && !SameKey({'j', 0}, {'J', 0}));

  // A character alone (no key before it) is bound as a character.
  kb.CaptureKey(&map[2]);
  EXPECT_EQ(r.gui.OnChar('q'), KeyRoute::kCapture);
  EXPECT_EQ(KeyName(StoredKey(map[2])), "q");

  // Escape can be bound; it quits only once nothing captures.
  kb.CaptureKey(&map[2]);
  EXPECT_EQ(r.Press(kVkEscape), KeyRoute::kCapture);
  r.gui.OnKey(kVkEscape, false);
  EXPECT_TRUE(StoredKey(map[2]) == Vk(kVkEscape) && r.exits == 0);
  kb.EndCapture();
  EXPECT_EQ(r.Press(kVkEscape), KeyRoute::kExit);
  EXPECT_EQ(r.exits, 1);
}

TEST(Keyboard, ATapBetweenTwoFramesIsHeldForOneFrame) {
  Toolkit r;
  GuiKeyboard& kb = r.gui.keyboard();
  r.Tap(kVkLShift);
  EXPECT_TRUE(kb.KeyHeld(kVkLShift) && kb.KeyHeld(kVkShift) && !kb.KeyHeld(kVkRShift) && !kb.KeyHeld(kVkControl));
  r.Frame();
  EXPECT_FALSE(kb.KeyHeld(kVkShift));
  r.Press('A');
  r.Frame();
  r.Frame();
  EXPECT_TRUE(kb.KeyHeld('A'));
  r.gui.OnKey('A', false);
  EXPECT_FALSE(kb.KeyHeld('A'));
  EXPECT_EQ(r.gui.OnKey(0x1FF, true), KeyRoute::kNone);
}

TEST(KeyboardDialogs, AnOpenDialogHasTheKeyboardEscapeClosesTheTopOneFirstAndResetAsks) {
  DialogRig r;
  r.commands.RunCommand("force_open Settings; open error_menu;");
  for (auto [vk, typed] : {std::pair{'M', 'm'}, {'S', 's'}, {kVkF1, 0}, {kVkDown, 0}, {kVkSpace, ' '}})
    EXPECT_EQ(r.Press(vk, unsigned(typed)), KeyRoute::kDialog);
  EXPECT_TRUE(r.hotkeys.empty() && r.gui.list_step() == 0);
  // Escape, held (its repeat), closes the error box alone (once it has
  // faded in); the next press Settings (as its Close does); then it quits.
  r.now += 1000;
  r.Frame();
  r.Press(kVkEscape);
  r.Press(kVkEscape);
  r.gui.OnKey(kVkEscape, false);
  EXPECT_TRUE(!r.Open("error_menu") && r.Open("Settings"));
  r.Tap(kVkEscape);
  EXPECT_TRUE(!r.Open("Settings") && r.exits == 0);
  r.Tap(kVkEscape);
  EXPECT_EQ(r.exits, 1);

  // Reset asks first, and the question box takes its keys.
  r.commands.RunCommand("force_open Settings;");
  r.Click(430, 420);  // "Reset"
  EXPECT_TRUE(r.Open(kQuestionMenu) && r.resets == 0);
  // N answers no: nothing cleared, Settings stays, and the "n" it types is
  // not the central locator's hotkey.
  r.Tap('N', 'n');
  EXPECT_FALSE(r.Open(kQuestionMenu));
  EXPECT_TRUE(r.Open("Settings") && r.hotkeys.empty());
  r.Click(430, 420);
  r.Click(385, 310);  // "Yes"
  EXPECT_TRUE(r.resets == 1 && !r.Open("Settings"));
  // Y and Enter answer yes, N and Escape no; a second question waits.
  std::vector<int> answers;
  for (int vk : {int('Y'), kVkReturn, int('N'), kVkEscape}) {
    ASSERT_TRUE(r.questions.Ask("Q", "?", [&](bool yes) { answers.push_back(yes); }));
    EXPECT_FALSE(r.questions.Ask("Q2", "?", [&](bool) { answers.push_back(9); }));
    r.Tap(vk);
  }
  EXPECT_TRUE(answers == (std::vector<int>{1, 1, 0, 0}) && r.exits == 1);
}

TEST(KeyboardDialogs, TheFolderEntryTakesTypingTheMomentItOpens) {
  DialogRig r;
  r.commands.RunCommand("force_open Settings;");
  r.gui.SetBoxText(kFolderEntryBox, "/home/user/Desktop");
  r.gui.SetVis(kFolderEntryMenu, true);
  r.gui.FocusBox(kFolderEntryBox);
  r.Frame();
  // The start folder is selected: the path typed replaces it, and its
  // letters ("s", "t", "m", "o", "k" are hotkeys) fire nothing.
  Keys(r, "/games/cod4 smokt");
  EXPECT_EQ(r.gui.BoxText(kFolderEntryBox), "/games/cod4 smokt");
  r.Press(kVkLControl);
  r.Tap('A');
  r.gui.OnKey(kVkLControl, false);
  Keys(r, "/x");
  EXPECT_EQ(r.gui.BoxText(kFolderEntryBox), "/x");
  EXPECT_TRUE(r.hotkeys.empty());
  // Enter ends the typing (the shell takes the path then); the entry still
  // has the keyboard, and Escape cancels it, not Settings.
  EXPECT_EQ(r.Press(kVkReturn), KeyRoute::kEndEdit);
  r.gui.OnKey(kVkReturn, false);
  r.Tap(kVkEscape);
  EXPECT_EQ(r.entry, std::vector<std::string>{"cancel"});
  EXPECT_TRUE(r.Open("Settings") && r.exits == 0);
}

TEST(KeyboardDialogs, TheBindersHintFitsAndABoundKeyIsSaid) {
  DialogRig r;
  r.commands.RunCommand("force_open Settings; force_open Settings_hotkeys;");
  r.Click(240, 165);  // "Export MA:"'s binder
  EXPECT_TRUE(r.Shows("Please Any Key to bind"));
  r.Tap('N', 'n');
  r.Frame();
  EXPECT_EQ(r.settings.key_map[2], (HotKeySlot{'n', 0}));
  EXPECT_TRUE(r.Open("msg_box_menu"));
  EXPECT_TRUE(r.Shows("central_locator"));
  r.now += 1000;
  r.Frame();
  r.Tap(kVkEscape);
  r.Click(240, 190);  // "Export OBJ:"'s, to a key of its own
  r.Tap(kVkF1 + 4);
  r.Frame();
  EXPECT_EQ(KeyName(StoredKey(r.settings.key_map[3])), "F5");
  EXPECT_TRUE(r.Shows("F5") && !r.Shows("Please Any Key to bind"));  // the binder shows its new key
  EXPECT_FALSE(r.Open("msg_box_menu"));
}

}  // namespace
