// The toolkit's layout rules: anchoring on a size change, the box's word
// wrap, and the choice of theme.
#include <gtest/gtest.h>

#include "gui/gui_rect.h"
#include "gui/word_wrap.h"

namespace {

TEST(Anchoring, EachFlagAndNoDriftOnOddHalfSteps) {
  const GuiRect design{100, 50, 40, 20, 0};
  struct Case {
    int32_t flags;
    GuiRect after;  // shrunk by 100 wide, grown by 31 high
  } cases[] = {
      {kAnchorFixed, {100, 50, 40, 20, kAnchorFixed}},
      {kAnchorX, {0, 50, 40, 20, kAnchorX}},
      {kAnchorHalfX, {50, 50, 40, 20, kAnchorHalfX}},
      {kAnchorY | kAnchorWidth, {100, 81, -60, 20, kAnchorY | kAnchorWidth}},
      {kAnchorHeight | kAnchorHalfY, {100, 65, 40, 51, kAnchorHeight | kAnchorHalfY}},
  };
  for (const Case& c : cases) {
    GuiRect d = design;
    d.flags = c.flags;
    EXPECT_EQ(Anchored(d, -100, 31), c.after) << c.flags;
  }
  // Back and forth by an odd step: always from the design, so it comes home.
  GuiRect half{101, 0, 10, 10, kAnchorHalfX};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(Anchored(half, i % 2 ? 7 : 0, 0).x, i % 2 ? 104 : 101);
}

TEST(WordWrap, BreaksAtSpacesOrInsideLongWords) {
  auto mono = [](std::string_view s) { return float(s.size()) * 10.0f; };  // 10 px a character
  EXPECT_EQ(WrapText("short", 100, mono), "short");
  EXPECT_EQ(WrapText("one two three four", 100, mono), "one two\nthree four");
  EXPECT_EQ(WrapText("a   wide    gap here", 60, mono), "a\nwide\ngap\nhere");
  // No space: the longest piece that fits (the old rule never wrapped these).
  EXPECT_EQ(WrapText("Xmodel List: '/very/long/path' is bad", 100, mono),
            "Xmodel\nList:\n'/very/lon\ng/path' is\nbad");
  // At most six breaks; breaks already in the text stay.
  EXPECT_EQ(WrapText(std::string(100, 'x'), 100, mono).find_last_of('\n'), 6u * 11 - 1);
  EXPECT_EQ(WrapText("ab\ncd ef gh ij", 50, mono), "ab\ncd ef\ngh ij");
  // A box narrower than one character still gets one character a line.
  EXPECT_EQ(WrapText("abc", 5, mono), "a\nb\nc");
}

}  // namespace

#include "gui/themes.h"

namespace {

TEST(Themes, SelectingRepaintsOnlyOnAChange) {
  QorThemeManger themes(7);  // a damaged stored index: the first theme
  EXPECT_EQ(themes.active(), 0);
  int repaints = 0;
  themes.repaint_frame = [&] { ++repaints; };
  EXPECT_TRUE(themes.SetTheme(0));
  EXPECT_EQ(repaints, 0);
  EXPECT_TRUE(themes.SetTheme(2));
  EXPECT_EQ(repaints, 1);
  EXPECT_FALSE(themes.SetTheme(3));  // not a theme: a failure, nothing changes
  EXPECT_EQ(themes.active(), 2);
  EXPECT_EQ(repaints, 1);
}

}  // namespace
