// Whether the interface changes with no input (the window keeps its picture
// otherwise): a menu animating, a full progress bar fading, a command list
// waiting for its time; at rest, nothing.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "base/notice_board.h"
#include "gui/qor_gui.h"

namespace {

struct Rig {
  double now = 0;
  NullDraw2D draw;
  MaterialStore materials{[](const std::string&, std::string&) -> std::optional<uint32_t> { return 1; }};
  CommandProcessor commands{[this] { return now; }};
  QorGUI gui{draw, materials, commands, [this] { return now; }};
  // Frames of 16 ms until the interface is still; how long that took.
  double Settle() {
    const double start = now;
    do {
      gui.Render(60);
      commands.RunDue();
      now += 16;
    } while (gui.Moving() && now - start < 10000);
    return now - start;
  }
};

TEST(GuiMoving, StillOnlyOnceAnimationsFadesAndWaitsAreOver) {
  Rig r;
  BoardSnapshot view;  // the board's values as a frame sees them
  r.gui.ReadValuesFrom(&view);
  r.gui.AddFadeMenu("fade", {}, {0, 0, 100, 100, -1}, false, 0.5f);
  r.gui.AddSlideMenu("slide", {}, {0, 0, 100, 100, -1}, true, kSlideRight, kSlideRight, 0.25f);
  r.gui.AddStaticMenu("bar", {}, {0, 0, 100, 10, -1}, true);
  r.gui.AddProgressBar({0, 0, 100, 10, -1}, {1, 0, 0, 1}, 2000, "progress_bar");
  r.gui.Render(60);
  EXPECT_FALSE(r.gui.Moving());

  r.gui.SetVis("fade", true);
  EXPECT_TRUE(r.gui.Moving());
  EXPECT_NEAR(r.Settle(), 500, 40);
  r.gui.SetVis("slide", false);
  EXPECT_NEAR(r.Settle(), 250, 40);

  // A full bar fades for its 2 s, then stays hidden.
  view.progress["progress_bar"] = 1.0f;
  EXPECT_NEAR(r.Settle(), 2000, 40);

  r.commands.RunCommand("wait 300; open slide;");
  EXPECT_TRUE(r.gui.Moving());
  EXPECT_NEAR(r.Settle(), 300 + 250, 60);  // the wait, then the slide it opened
  EXPECT_TRUE(r.gui.FindMenu("slide")->visible);
}

}  // namespace
