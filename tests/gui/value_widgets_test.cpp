// The widgets that take a value, headless: text boxes (focus, typing,
// committing once editing ends, live mode, read-only, the shown end of a
// long text, paste), drop-downs and colour pickers (key binders: keyboard_test).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/qor_gui.h"
#include "shell/settings.h"
#include "tests/gui/widget_rig.h"

namespace {

struct Rig : gui_test::WidgetRig {
  std::vector<std::string> handed;
};

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
  r.gui.AddDropDown({80, 100, 120, 18, kAnchorFixed}, {{0, "COD 4"}, {1, "COD 5"}, {2, "COD BO"}},
                    [&](int i) {
                      chosen.push_back(i);
                      return i != 0;  // COD 4's root is not set
                    },
                    1);
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
  r.gui.OnMouseMove(390, 175);
  r.gui.OnPress();
  r.Frame();
  EXPECT_TRUE(c.saturation == 50 && c.value == 50);
  r.gui.OnMouseMove(900, -300);
  r.Frame();
  r.gui.OnRelease();
  r.Frame();
  EXPECT_TRUE(c.saturation == 100 && c.value == 100);
  // The hue strip: the bottom of its 95 pixels is 359.
  r.gui.OnMouseMove(460, 125 + 80);
  r.gui.OnPress();
  r.Frame();
  r.gui.OnMouseMove(460, 2000);
  r.Frame();
  r.gui.OnRelease();
  r.Frame();
  EXPECT_EQ(c.hue, 359);
  ASSERT_FALSE(colours.empty());
  EXPECT_NEAR(colours.back().r, 1.0f, 0.01f);
  EXPECT_TRUE(r.Drawn("HUE: 359") && r.Drawn("R: 255"));
}

}  // namespace
