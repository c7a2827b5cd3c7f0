// The small widgets headless: hover sounds once per entry, one press for
// one widget, check boxes once per press, the slider's ends and its write
// on release, the progress bar's fade (the interface moving) and its return.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/notice_board.h"
#include "gui/qor_gui.h"
#include "tests/gui/widget_rig.h"

namespace {

struct Rig : gui_test::WidgetRig {
  std::vector<std::string> ran;
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
  r.gui.OnMouseMove(20, 15);
  r.Frame();
  r.Frame();
  EXPECT_EQ(r.Count("menu_focus"), 1);
  r.gui.OnMouseMove(300, 300);
  r.Frame();
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
  r.gui.OnMouseMove(20, 15);
  r.gui.OnPress();
  for (int i = 0; i < 10; ++i) r.Frame();  // held for ten frames
  r.gui.OnRelease();
  r.Frame();
  EXPECT_TRUE(setting);
  r.Click(20, 15);
  EXPECT_FALSE(setting);
}

TEST(Widgets, SliderEndsAndWriteOnRelease) {
  Rig r;
  std::vector<float> written;
  r.gui.AddSlider({100, 100, 160, 16, kAnchorFixed}, 0, 1, nullptr, [&](float v) { written.push_back(v); }, true,
                  "master_volume");
  r.gui.OnMouseMove(150, 108);
  r.gui.OnPress();
  r.Frame();
  r.gui.OnMouseMove(180, 108);
  r.Frame();
  r.gui.OnMouseMove(900, 108);  // far past the right end
  r.Frame();
  EXPECT_TRUE(written.empty());  // not before the release
  r.gui.OnRelease();
  r.Frame();
  r.Frame();
  EXPECT_EQ(written, std::vector<float>{1.0f});
}

TEST(Widgets, TimelineNamesTheMarksAtThePointerAndSeeksWherePressed) {
  Rig r;
  TimelineSource source{31, 0, {{3, "fire"}, {3, "shell"}, {20, "end"}}};
  std::vector<double> sought;
  r.gui.AddTimeline("t", {100, 100, 300, 20, kAnchorFixed}, &source, [&](double f) { sought.push_back(f); });
  r.gui.OnMouseMove(131, 110);  // frame 3 is at x 130
  r.Frame();
  EXPECT_TRUE(r.Shows("fire (3), shell (3)"));
  r.gui.OnMouseMove(160, 110);
  r.Frame();
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

}  // namespace
