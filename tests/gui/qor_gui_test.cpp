// The toolkit core, headless on a recording drawer and a fake clock: the
// command language (cutting, the table lookup and its log lines, "wait" and
// its queue, the nesting guard), visibility and animations, lists that lead
// back to their own menu, forced sets, the mouse tests with occlusion and the
// latched press, framed menus, ItemScale, the frame's texts, the material
// store, and whether the interface is still.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "gui/commands.h"
#include "gui/qor_gui.h"
#include "gui/themes.h"
#include "shell/settings.h"
#include "tests/gui/widget_rig.h"
#include "tests/shell/shell_test_support.h"

namespace {

struct CommandRig {
  double now = 0;
  std::vector<std::string> ran;
  CommandProcessor cmd{[this] { return now; }};
  CommandRig() {
    for (const char* word : {"open", "close", "save"})
      cmd.Register(word, [this, word](const std::string& v) { ran.push_back(std::string(word) + "(" + v + ")"); });
  }
};

// Empty pieces, blank ones and a word without a value: the lookup test.
TEST(Commands, CuttingSkipsLeadingBlanksAndOnlyTheFirstBlankCuts) {
  EXPECT_EQ(CutPiece("\t\r\n open m").word, "open");
  const CommandPiece p = CutPiece("open   two blanks ");
  EXPECT_TRUE(p.word == "open" && p.value == "  two blanks ") << p.value;
}

TEST(Commands, TableLookupAndItsLogLines) {
  shell_test::LogCapture log;
  CommandRig r;
  r.cmd.Register("open", [&r](const std::string&) { r.ran.push_back("second open"); });  // first one wins
  r.cmd.RunCommand("open a;;open b; OPEN c; save; open ;close x; ");
  EXPECT_EQ(r.ran, (std::vector<std::string>{"open(a)", "open(b)", "save(save)", "close(x)"}));
  const std::vector<std::string> lines = log.lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "Processcmd:: Blank (cmd || value) value"), 2);  // " " and "open "
  EXPECT_TRUE(log.Contains("Unkown Menu Cmd: OPEN"));
}

TEST(Commands, WaitQueuesTheRestOnTheMainThread) {
  shell_test::LogCapture log;
  CommandRig r;
  r.cmd.RunCommand("open a; wait 600; open b; wait 0; open c");
  r.cmd.RunCommand("wait x; open d");       // not a number: 1000 ms
  r.cmd.RunCommand("wait -5; open e;");     // negative: no delay, still queued
  r.cmd.RunCommand("wait 600; open f");     // a second wait keeps its own entry
  EXPECT_EQ(r.ran, std::vector<std::string>{"open(a)"});
  EXPECT_TRUE(log.Contains("QorGUI::Processcmd:: Failed To Conver 'x' to int"));

  r.cmd.RunDue();
  EXPECT_EQ(r.ran.back(), "open(e)");
  r.now = 599;
  r.cmd.RunDue();
  EXPECT_EQ(r.ran.size(), 2u);
  r.now = 600;
  r.cmd.RunDue();  // "open b", then its "wait 0" waits for the next pass
  EXPECT_EQ(r.ran, (std::vector<std::string>{"open(a)", "open(e)", "open(b)", "open(f)"}));
  r.cmd.RunDue();
  EXPECT_EQ(r.ran.back(), "open(c)");
  r.now = 1000;
  r.cmd.RunDue();
  EXPECT_TRUE(r.ran.back() == "open(d)" && r.cmd.pending() == 0u);

  r.cmd.RunCommand("wait 10; open late");
  r.cmd.DropPending();  // at exit
  r.now = 5000;
  r.cmd.RunDue();
  EXPECT_EQ(r.ran.back(), "open(d)");
}

TEST(Commands, AListThatLeadsBackToItselfStops) {
  shell_test::LogCapture log;
  CommandRig r;
  int runs = 0;
  r.cmd.Register("loop", [&](const std::string&) {
    ++runs;
    r.cmd.RunCommand("loop again");
  });
  r.cmd.RunCommand("loop now");
  EXPECT_TRUE(runs == 32 && log.Contains("nested too deep"));
  r.cmd.RunCommand("open after");
  EXPECT_EQ(r.ran.back(), "open(after)");
}

// A store whose loader counts its reads and fails on "missing" paths.
struct Rig : gui_test::Toolkit {
  int loads = 0;
  Rig()
      : gui_test::Toolkit([this](const std::string& path, std::string& error) -> std::optional<uint32_t> {
          ++loads;
          if (path.find("missing") == std::string::npos) return uint32_t(100 + loads);
          error = "cannot open";
          return std::nullopt;
        }) {}
};

// Moving: whether the interface changes with no input (the window keeps
// its picture otherwise).
TEST(QorGui, VisibilityAnimationsAndMoving) {
  Rig r;
  bool bound = true;
  r.gui.AddFadeMenu("fade", {10, 10, 0, 0, -1}, {0, 0, 100, 100, -1}, false, 0.5f);
  r.gui.BindVisibility(&bound, "test/bound");
  r.gui.SetOnOpen("open side");
  r.gui.AddSlideMenu("side", {0, 0, 0, 0, -1}, {0, 0, 50, 50, -1}, false, kSlideRight, kSlideLeft, 1.0f);
  r.gui.AddStaticMenu("instant", {}, {}, false);
  r.gui.AddFadeMenu("zero", {}, {}, false, 0.0f);
  r.gui.Render(60);
  EXPECT_FALSE(bound || r.gui.Moving());

  r.gui.SetVis("fade", true);  // its list opens "side" first
  Menu& fade = *r.gui.FindMenu("fade");
  Menu& side = *r.gui.FindMenu("side");
  EXPECT_TRUE(fade.visible && fade.animating && bound && r.gui.Moving());
  EXPECT_TRUE(fade.alpha == 0.0f && side.slide_x == 640.0f);
  r.gui.SetVis("fade", false);  // still animating: ignored
  EXPECT_TRUE(fade.visible);

  r.now = 250;
  r.gui.Render(60);
  EXPECT_FLOAT_EQ(fade.alpha, 0.5f);
  EXPECT_FLOAT_EQ(side.slide_x, 480.0f);
  r.now = 1000;
  r.gui.Render(60);
  EXPECT_FALSE(fade.animating || side.animating || r.gui.Moving());
  EXPECT_EQ(side.slide_x, 0.0f);

  // Closing: no longer visible, still drawn until the animation ends.
  r.gui.SetVis("side", false);
  EXPECT_FALSE(side.visible);
  r.now = 1500;
  r.gui.Render(60);
  EXPECT_TRUE(side.animating && r.gui.Moving());
  EXPECT_FLOAT_EQ(side.slide_x, -320.0f);
  r.now = 2000;
  r.gui.Render(60);
  EXPECT_FALSE(side.animating);

  // A zero duration ends at the first frame instead of animating for ever.
  r.commands.RunCommand("open instant; open zero; wait 300; close instant");
  r.Frame();
  EXPECT_TRUE(r.Open("instant") && !r.Find("zero").animating && r.Find("zero").alpha == 1.0f);
  EXPECT_TRUE(r.gui.Moving());  // the wait
  r.now += 300;
  r.commands.RunDue();
  r.Frame();
  EXPECT_FALSE(r.Open("instant") || r.gui.Moving());
  r.gui.SetVis("nobody", true);  // no such menu: nothing
}

TEST(QorGui, ListsThatLeadBackAndForcedSets) {
  shell_test::LogCapture log;
  Rig r;
  r.gui.AddStaticMenu("a", {}, {}, false);
  r.gui.SetOnOpen("open b");
  r.gui.SetOnClose("force_close a");
  r.gui.AddStaticMenu("b", {}, {}, false);
  r.gui.SetOnOpen("open a; open c");
  r.gui.AddStaticMenu("c", {}, {}, false);
  r.commands.RunCommand("open a");
  EXPECT_TRUE(r.Open("a") && r.Open("b") && r.Open("c"));
  EXPECT_TRUE(log.Contains("QorGUI::SetVis:: 'a' reached again from its own command list"));
  r.commands.RunCommand("close a");  // its close list force-closes itself
  EXPECT_FALSE(r.Open("a"));

  // A forced open of a sliding menu mid-animation puts it at rest.
  r.gui.AddSlideMenu("s", {}, {0, 0, 10, 10, -1}, false, kSlideDown, kSlideDown, 1.0f);
  r.commands.RunCommand("open s");
  r.now = 100;
  r.Frame();
  r.commands.RunCommand("force_open s; toggle_menu c");
  const Menu& s = *r.gui.FindMenu("s");
  EXPECT_TRUE(s.visible && !s.animating && s.slide_y == 0.0f && !r.Open("c"));
}

// A framed panel: the theme in force colours its title bar; mouse tests
// through its close button: a tap between two frames counts, a button
// under a later menu does not.
TEST(QorGui, FramedPanelsCaptionColoursOcclusionAndTheCloseButton) {
  Rig r;
  SettingsRect origin{100, 100, 0, 0}, area{0, 0, 200, 150};
  r.gui.AddFramedMenu("panel", "Panel", &origin, &area, {0, 0, 200, 150, -1}, true, 0.0f);
  r.gui.AddStaticMenu("cover", {}, {0, 0, 0, 0, -1}, false);
  QorThemeManger themes(0);
  ASSERT_TRUE(themes.SetTheme(2));
  r.gui.SetFrameColours(&themes.colours());
  r.Frame();
  const float* caption = themes.colours().caption_top;
  const std::array<float, 3> top{caption[0], caption[1], caption[2]};
  EXPECT_NE(std::find(r.draw.fills.begin(), r.draw.fills.end(), top), r.draw.fills.end());
  // The close button: (W - 19, 3) within the panel.
  const float cx = 100 + 200 - 19 + 8, cy = 100 + 3 + 8;
  r.gui.OnMouseMove(cx, cy);
  r.gui.OnPress();
  r.Up();  // released before any frame saw the press
  EXPECT_FALSE(r.Open("panel") || r.gui.button_held());
  EXPECT_TRUE(r.sounds.back() == "menu_accept" && r.channels.back() == 1);

  // Under a later visible menu the same press does nothing.
  r.Find("panel").visible = true;
  Menu& cover = r.Find("cover");
  cover.visible = true;
  cover.origin.rect = {250, 90, 0, 0, -1};
  cover.area.rect = {0, 0, 100, 100, -1};
  r.Click(cx, cy);
  EXPECT_TRUE(r.Open("panel"));
}

TEST(QorGui, FramedMenusDragResizeAndDamagedStoredRects) {
  Rig r;
  SettingsRect origin{-5000, 99999, 0, 0}, area{0, 0, 20, 5};  // a damaged store
  SettingsRect origin2{300, 200, 0, 0}, area2{0, 0, 200, 150};
  r.gui.AddFramedMenu("damaged", "D", &origin, &area, {0, 0, 200, 150, -1}, true, 0.0f);
  r.gui.AddFramedMenu("panel", "P", &origin2, &area2, {0, 0, 200, 150, -1}, true, 0.0f);
  r.gui.AddLabel({150, 120, 0, 0, kAnchorX | kAnchorY}, "corner");
  EXPECT_TRUE(area.w == 190 && area.h == 150 && origin.x == 75 - 190 && origin.y == 480 - 50);

  // Drag the title bar far left and down: clamped.
  r.Down(310, 205);
  r.Hover(-2000, 2000);
  EXPECT_TRUE(origin2.x == 75 - 200 && origin2.y == 480 - 50);
  r.Up();

  // Resize from the handle: never below 190 x 150; items follow.
  origin2 = {100, 100, 0, 0};
  r.Find("panel").origin.rect = {100, 100, 0, 0, -1};
  r.Down(100 + 200 - 15, 100 + 150 - 10);
  r.Hover(100 + 250, 100 + 200);
  EXPECT_TRUE(area2.w == 261 && area2.h == 211 && r.Find("panel").labels[0].rect.x == 150 + 61);
  r.Hover(0, 0);
  EXPECT_TRUE(area2.w == 190 && area2.h == 150);
  r.Up();
  EXPECT_EQ(r.Find("panel").drag_state, 0);
}

TEST(QorGui, ItemScaleAndTheFrameTexts) {
  shell_test::LogCapture log;
  Rig r;
  r.gui.AddStaticMenu("bar", {0, 0, 0, 0, -1}, {0, 0, 640, 30, kAnchorWidth}, true);
  r.gui.AddLabel({600, 10, 0, 0, kAnchorX}, "right");
  r.gui.AddLabel({20, 10, 0, 0, kAnchorFixed}, "fixed");
  r.gui.AddNamedLabel({20, 20, 0, 0, -1}, {1, 1, 1, 1}, "status");
  r.gui.SetPendingSize(540, 480);
  EXPECT_TRUE(r.gui.ItemScale());
  EXPECT_FALSE(r.gui.ItemScale());
  EXPECT_TRUE(log.Contains("QorGUI::ItemScale: Ajusting for new window size"));
  r.gui.SetText("status", "Loading");
  r.gui.Render(120.0);
  EXPECT_TRUE(r.draw.FindText("right")->x == 500);
  EXPECT_TRUE(r.draw.FindText("fixed")->x == 20 && r.Find("bar").area.rect.w == 540);
  EXPECT_TRUE(r.Drawn("Loading") && r.Drawn("FPS: 99.99"));
  const gui_test::DrawnText* version = r.draw.FindText("BETA 0.987");
  ASSERT_NE(version, nullptr);
  EXPECT_TRUE(version->y == 480 - 30 && version->font.size == 16);
  EXPECT_LT(version, r.draw.FindText("fixed")) << "drawn under the menus, never over a panel";
  r.gui.Render(59.5);
  EXPECT_TRUE(r.Drawn("FPS: 59.50") && r.draw.stack.empty() && !r.draw.in_2d);
}

TEST(QorGui, ErrorBoxAndMaterials) {
  shell_test::LogCapture log;
  Rig r;
  r.gui.AddStaticMenu("error_menu", {}, {}, false);
  r.gui.SetOnOpen("display_error;");
  r.gui.SetBoxTextArea({10, 10, 60, 40, -1});  // ten characters a line
  r.gui.ShowError("Settings Have been cleared");
  EXPECT_TRUE(r.gui.error_text() == "Settings\nHave been\ncleared" && r.Open("error_menu"));
  EXPECT_TRUE(r.sounds.back() == "error_msg" && r.channels.back() == 2);
  // Its text is drawn with its box, so a dialog opened over it covers it.
  r.gui.AddStaticMenu("question_menu", {}, {0, 0, 640, 480, -1}, true);
  r.gui.AddLabel({20, 20, 0, 0, -1}, "over it");
  r.Frame();
  const auto *error = r.draw.FindText("Settings\nHave been\ncleared"), *over = r.draw.FindText("over it");
  EXPECT_TRUE(error && over && error < over);

  EXPECT_EQ(r.materials.LoadDSS("default", "images/default.dds"), 101u);
  EXPECT_EQ(r.materials.LoadDSS("default", "images/other.dds"), 101u);  // no second read
  EXPECT_TRUE(r.loads == 1 && !r.materials.LoadDSS("gone", "images/missing.dds"));
  EXPECT_TRUE(log.Contains("LoadDSS: images/missing.dds: cannot open"));
  EXPECT_TRUE(r.materials.Get("gone") == 101u && r.materials.Get("gone") == 101u);
  const std::vector<std::string> lines = log.lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "Missing Material: gone"), 1);
}

}  // namespace
