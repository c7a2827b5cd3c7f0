// The fixed layout, headless: the 37 menus in their order with their kinds
// and start states, the panels' button pairs, the settings window's
// timing, and the anchoring after a resize.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/layout/layout.h"
#include "gui/qor_gui.h"
#include "shell/settings.h"
#include "tests/shell/shell_test_support.h"

namespace {

struct Rig {
  double now = 0;
  NullDraw2D draw;
  MaterialStore materials{nullptr};
  CommandProcessor commands{[this] { return now; }};
  QorGUI gui{draw, materials, commands, [this] { return now; }};
  QorSettings settings;
  void Frame() { gui.Render(60); }
  bool Visible(const char* name) { return gui.FindMenu(name)->visible; }
};

TEST(Layout, TheMenusInOrderWithTheirStartStates) {
  Rig r;
  r.settings.vis_xmodel_log = true;  // left open last time
  BuildLayout(r.gui, r.settings);
  const std::vector<std::string> expected = {
      "bug_fixer", "xmodel_log", "xmodel_prop", "xmodel_tags", "ToolBar", "open_xmodel_log", "close_xmodel_log",
      "open_xmodel_prop", "close_xmodel_prop", "open_xmodel_tags", "close_xmodel_tags", "open_xmodel_fastfile",
      "open_xmodel_list", "xmodel_list", "Settings", "Settings_genral", "Settings_sounds", "Settings_export",
      "Settings_OpenGL", "Settings_hotkeys", "Settings_hotkeys_mouse_maya", "Settings_hotkeys_mouse_assView",
      "Settings_misc", "Settings_theme", "Settings_shaders", "light_settings", "update_menu_background",
      "update_menu", "update_menu_download", "update_menu_cancel", "iwd_images_menu_lock", "iwd_images_menu",
      "about_menu", "donate_menu_lock", "donate_menu", "error_menu", "msg_box_menu"};
  std::vector<std::string> names;
  for (const auto& m : r.gui.menus()) names.push_back(m->name);
  EXPECT_EQ(names, expected);

  std::vector<std::string> shown;
  for (const auto& m : r.gui.menus())
    if (m->visible) shown.push_back(m->name);
  // The open panel's grey "close" twin shows, the others' "open" buttons.
  EXPECT_EQ(shown, (std::vector<std::string>{"bug_fixer", "xmodel_log", "ToolBar", "close_xmodel_log",
                                             "open_xmodel_prop", "open_xmodel_tags", "open_xmodel_fastfile",
                                             "xmodel_list"}));
  EXPECT_TRUE(r.gui.FindMenu("xmodel_log")->framed);
}

TEST(Layout, PanelsSettingsWindowAndResize) {
  shell_test::LogCapture log;
  Rig r;
  BuildLayout(r.gui, r.settings);

  r.commands.RunCommand("open xmodel_prop;");
  EXPECT_TRUE(r.Visible("close_xmodel_prop"));
  EXPECT_TRUE(r.settings.vis_xmodel_prop);
  r.now = 1000;
  r.Frame();
  r.commands.RunCommand("close xmodel_prop;");
  EXPECT_FALSE(r.settings.vis_xmodel_prop);

  // SETTINGS: in from the right, the general page 600 ms later.
  r.now = 2000;
  r.commands.RunCommand("toggle_menu Settings;");
  const Menu& settings = *r.gui.FindMenu("Settings");
  EXPECT_EQ(settings.slide_x, 640.0f);
  r.now = 2599;
  r.commands.RunDue();
  EXPECT_FALSE(r.Visible("Settings_genral"));
  r.now = 2600;
  r.commands.RunDue();
  EXPECT_TRUE(r.Visible("Settings_genral"));
  r.now = 3000;
  r.Frame();
  // Out downwards; every page force-closed; the list's last blank piece logged.
  r.commands.RunCommand("toggle_menu Settings;");
  EXPECT_FALSE(r.Visible("Settings_genral"));
  EXPECT_EQ(settings.close_dir, kSlideDown);
  const std::vector<std::string> lines = log.lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "Processcmd:: Blank (cmd || value) value"), 1);

  // A resize: the tool bar keeps its distance from the right edge, the
  // status strip stays at the bottom.
  r.gui.SetPendingSize(1000, 700);
  r.gui.ItemScale();
  const Menu& bar = *r.gui.FindMenu("ToolBar");
  EXPECT_EQ(bar.area.rect.x, 460);
  EXPECT_EQ(bar.pictures[0].rect.x, 430);  // tool_bar_top
  EXPECT_EQ(bar.pictures[3].rect.y, 675);  // bottom_tool_bar
  EXPECT_EQ(bar.pictures[3].rect.w, 1000);
}

}  // namespace
