// The widgets headless: hover sounds once per entry, one press for one
// widget, check boxes once per press, the slider's ends and its write on
// release, the timeline, the progress bar's fade (the interface moving) and
// its return; text boxes (focus, typing, committing once editing ends, live
// mode, read-only, the shown end of a long text, paste), drop-downs and
// colour pickers (key binders: keyboard_test).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/notice_board.h"
#include "gui/qor_gui.h"
#include "tests/gui/widget_rig.h"

namespace {

// "note" commands are noted in `ran`, text boxes' hand-overs in `handed`.
struct Rig : gui_test::WidgetRig {
  std::vector<std::string> ran, handed;
  Rig() {
    commands.Register("note", [this](const std::string& v) { ran.push_back(v); });
  }
};

TEST(Widgets, ButtonsSoundOncePerEntryAndOnePressActsOnce) {
  Rig r;
  r.gui.AddPictureButton({10, 10, 80, 20, kAnchorFixed}, {1, 1, 1, 1}, "button", "button_hi", "ONE", 9, 15, "note one");
  r.gui.AddPictureButton({50, 10, 80, 20, kAnchorFixed}, {1, 1, 1, 1}, "button", "button_hi", "TWO", 9, 15, "note two");
  bool called = false;
  r.gui.AddTextButton({10, 100, 60, 20, kAnchorFixed}, "Call", [&] { called = true; });
  r.Hover(20, 15);
  r.Frame();
  EXPECT_EQ(r.Count("menu_focus"), 1);
  r.Hover(300, 300);
  r.Click(60, 15);  // over both: the first in drawing order only
  EXPECT_EQ(r.ran, std::vector<std::string>{"one"});
  EXPECT_TRUE(r.Count("menu_focus") == 3 && r.Count("menu_accept") == 1);  // entered again: both buttons
  r.Click(20, 110);
  EXPECT_TRUE(called && r.draw.FindText("ONE")->font.size == 9);  // the small font state
}

TEST(Widgets, CheckBoxTogglesOncePerPress) {
  Rig r;
  bool setting = false;
  r.gui.AddCheckBox({10, 10, 120, 20, kAnchorFixed}, "Wireframe", &setting, "OpenGl/wireframe");
  r.Down(20, 15);
  for (int i = 0; i < 9; ++i) r.Frame();  // held for ten frames
  r.Up();
  EXPECT_TRUE(setting);
  r.Click(20, 15);
  EXPECT_FALSE(setting);
}

TEST(Widgets, SliderEndsAndWriteOnRelease) {
  Rig r;
  std::vector<float> written;
  r.gui.AddSlider({100, 100, 160, 16, kAnchorFixed}, 0, 1, nullptr, [&](float v) { written.push_back(v); }, true,
                  "master_volume");
  r.Down(150, 108);
  r.Hover(180, 108);
  r.Hover(900, 108);  // far past the right end
  EXPECT_TRUE(written.empty());  // not before the release
  r.Up();
  r.Frame();
  EXPECT_EQ(written, std::vector<float>{1.0f});
}

TEST(Widgets, TimelineNamesTheMarksAtThePointerAndSeeksWherePressed) {
  Rig r;
  TimelineSource source{31, 0, {{3, "fire"}, {3, "shell"}, {20, "end"}}};
  std::vector<double> sought;
  r.gui.AddTimeline("t", {100, 100, 300, 20, kAnchorFixed}, &source, [&](double f) { sought.push_back(f); });
  r.Hover(131, 110);  // frame 3 is at x 130
  EXPECT_TRUE(r.Shows("fire (3), shell (3)"));
  r.Hover(160, 110);
  EXPECT_FALSE(r.Shows("fire"));
  r.Click(251, 110);  // half way: frame 15
  ASSERT_FALSE(sought.empty());
  EXPECT_EQ(sought.back(), 15);
}

TEST(Widgets, ProgressBarFadesWhenFullAndShowsTheNextTask) {
  Rig r;
  BoardSnapshot view;  // the board's values as a frame sees them
  r.gui.ReadValuesFrom(&view);
  r.gui.AddProgressBar({5, 460, 150, 16, kAnchorFixed}, {0.65f, 0.1f, 0.1f, 0.8f}, 2000, "progress_bar");
  ProgressBarItem& bar = r.gui.menus().back()->progress_bars.back();
  view.progress["progress_bar"] = 0.5f;
  r.Frame();
  EXPECT_EQ(bar.fill_width, 75);
  view.progress["progress_bar"] = 1.0f;
  r.Frame(1000);
  EXPECT_TRUE(bar.full && !bar.faded && r.gui.Moving());  // the window draws the fade
  r.Frame(1500);
  r.Frame();
  EXPECT_TRUE(bar.faded && !r.gui.Moving());
  // The next task starts at 10 %, not 0: it shows again.
  view.progress["progress_bar"] = 0.1f;
  r.Frame();
  EXPECT_TRUE(!bar.faded && !bar.full && bar.fill_width == 15);
}

// A menu draws its items in the order they were added, whatever their
// kinds: a label added before a button lies under it.
TEST(Widgets, ItemsDrawInTheOrderTheyWereAdded) {
  Rig r;
  r.gui.AddLabel({10, 15, 0, 0, kAnchorFixed}, "under");
  r.gui.AddTextButton({0, 0, 80, 20, kAnchorFixed}, "over", std::string_view("note over;"));
  r.Frame();
  ASSERT_TRUE(r.Drawn("under") && r.Drawn("over"));
  EXPECT_LT(r.draw.FindText("under"), r.draw.FindText("over"));
}

const Rgba kGrey{0.5f, 0.5f, 0.5f, 0.1f}, kGreen{0, 1, 0, 0.3f}, kWhite{1, 1, 1, 1};

TEST(TextBox, FocusTypingAndOneHandOverWhenEditingEnds) {
  Rig r;
  r.gui.AddTextBox("active_fps", "60", {10, 10, 50, 17, kAnchorFixed}, kGrey, kGreen, kWhite,
                   [&r](const std::string& t) { r.handed.push_back(t); }, false);
  r.gui.AddTextBox("output_dir", "/very/long/path/to/the/export/folder", {10, 40, 60, 17, kAnchorFixed}, kGrey,
                   kGreen, kWhite, nullptr, true);
  r.Frame();
  r.Frame();
  EXPECT_TRUE(r.handed.empty());  // the initial text is already handed over
  EXPECT_TRUE(r.Drawn("t/folder"));  // a long text shows as much of its end as fits 52 pixels

  r.Type("5");  // nothing focused: typing goes nowhere
  r.Click(20, 15);
  EXPECT_TRUE(r.menu().text_boxes[0].focused && r.menu().text_boxes[0].text == "60");
  r.Tap(0x08);
  r.Tap(0x08);
  r.Type("75");
  EXPECT_TRUE(r.handed.empty());  // still editing
  r.Click(300, 300);              // a click elsewhere ends it
  EXPECT_FALSE(r.menu().text_boxes[0].focused);
  EXPECT_EQ(r.handed, std::vector<std::string>{"75"});

  // Enter ends editing too; the same text is not handed over again.
  r.Click(20, 15);
  r.Tap(0x0D);
  r.Frame();
  EXPECT_EQ(r.handed.size(), 1u);

  // A read-only box takes no focus and offers no paste.
  r.Click(20, 45);
  r.RightClick(20, 45);
  EXPECT_FALSE(r.menu().text_boxes[1].focused || r.menu().text_boxes[1].context_open);
}

TEST(TextBox, LiveModeHandsOverEveryChangeAndPasteIsCut) {
  Rig r;
  // Control characters are dropped before the cut to 46.
  r.gui.hooks.get_clipboard = [] { return "\r\n\t" + std::string(60, 'p'); };
  r.gui.AddTextBox("xmodel_search", "Click to Search..", {10, 10, 205, 17, kAnchorFixed}, kGrey, kGreen, kWhite,
                   [&r](const std::string& t) { r.handed.push_back(t); });
  r.Frame();
  EXPECT_TRUE(r.Drawn("Click to Search.."));
  r.Click(20, 15);
  r.Type("v");
  r.Type("i");  // a frame apart
  EXPECT_EQ(r.handed, (std::vector<std::string>{"v", "vi"}));
  r.RightClick(20, 15);
  ASSERT_TRUE(r.menu().text_boxes[0].context_open);
  r.Click(112, 27 + 7);  // "Paste Text", under the box's centre
  const std::string& pasted = r.menu().text_boxes[0].text;
  EXPECT_TRUE(pasted == "vi" + std::string(46, 'p') && r.handed.back() == pasted);

  // A box whose menu closes gives the keyboard back.
  r.Click(20, 15);
  EXPECT_TRUE(r.gui.keyboard().has_focus());
  r.gui.ForceSet("m", false);
  r.Frame();
  EXPECT_FALSE(r.gui.keyboard().has_focus());
}

TEST(DropDown, OpensChoosesAndClosesOnAPressOutside) {
  Rig r;
  std::vector<int> chosen;
  auto choose = [&](int i) {
    chosen.push_back(i);
    return i != 0;  // COD 4's root is not set
  };
  r.gui.AddDropDown({80, 100, 120, 18, kAnchorFixed}, {{0, "COD 4"}, {1, "COD 5"}, {2, "COD BO"}}, choose, 1);
  r.gui.AddLabel({90, 140, 0, 0, kAnchorFixed}, "under the list");
  r.Frame();
  EXPECT_TRUE(r.Drawn("COD 5"));
  r.Click(100, 105);
  ASSERT_TRUE(r.menu().drop_downs[0].open);  // the opening press did not close it
  EXPECT_TRUE(r.Drawn("COD BO"));
  // The open list is drawn after the menu's labels, over them.
  EXPECT_LT(r.draw.FindText("under the list") - r.draw.texts.data(), r.draw.FindText("COD BO") - r.draw.texts.data());
  r.Click(100, 118 + 16 * 2 + 8);
  EXPECT_TRUE(chosen == std::vector<int>{2} && r.menu().drop_downs[0].selected == 2);
  EXPECT_FALSE(r.menu().drop_downs[0].open);

  r.Click(100, 105);
  r.Click(400, 400);
  EXPECT_TRUE(!r.menu().drop_downs[0].open && chosen.size() == 1u);

  // A refused choice leaves the old one shown.
  r.Click(100, 105);
  r.Click(100, 118 + 8);
  EXPECT_TRUE(chosen == (std::vector<int>{2, 0}) && r.menu().drop_downs[0].selected == 2);
}

TEST(ColourPicker, DragsSetTheValuesWithinTheirRanges) {
  Rig r;
  std::vector<Rgba> colours;
  r.gui.AddColourPicker({340, 125, 0, 0, kAnchorFixed}, {0.4f, 0.4f, 0.4f, 1},
                        [&](const Rgba& c) { colours.push_back(c); }, {0, 0, 0, 1});
  ColourPickerItem& c = r.menu().colour_pickers[0];
  r.Frame();
  EXPECT_TRUE(colours.empty());
  // Into the square's top right corner and far beyond it.
  r.Down(390, 175);
  EXPECT_TRUE(c.saturation == 50 && c.value == 50);
  r.Hover(900, -300);
  r.Up();
  EXPECT_TRUE(c.saturation == 100 && c.value == 100);
  // The hue strip: the bottom of its 95 pixels is 359.
  r.Down(460, 125 + 80);
  r.Hover(460, 2000);
  r.Up();
  EXPECT_EQ(c.hue, 359);
  ASSERT_FALSE(colours.empty());
  EXPECT_NEAR(colours.back().r, 1.0f, 0.01f);
  EXPECT_TRUE(r.Drawn("HUE: 359") && r.Drawn("R: 255"));
}

}  // namespace
