// The fixed layout, headless: the panels' sizes and button pairs, the
// settings window's timing, the anchoring after a resize, and the names its
// commands, pictures and check boxes use.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "gui/colour_hsv.h"
#include "shell/screens/layout.h"
#include "gui/material_table.h"
#include "shell/command_words.h"
#include "shell/hotkeys.h"
#include "gui/qor_gui.h"
#include "base/list_source.h"
#include "shell/settings.h"
#include "tests/gui/widget_rig.h"
#include "tests/shell/shell_test_support.h"

namespace {

struct Rig : gui_test::Toolkit {
  QorSettings settings;
};

// The panels open large enough for a model's name unless a size was
// stored; the dialogs' panels lie on an opaque fill. The panels' open and
// close twins and their settings, the settings window's pages (their
// timing: headless_gui_test.sh), and the anchoring after a resize.
TEST(Layout, PanelsSettingsWindowAndResize) {
  Rig r;
  r.settings.rect_xmodel_tags_s = {0, 0, 250, 160};  // stored last time
  r.settings.vis_xmodel_log = true;  // left open last time: its grey "close" twin shows
  BuildLayout(r.gui, r.settings);
  for (const char* name : {"xmodel_log", "xmodel_prop"}) {
    const GuiRect& a = r.gui.FindMenu(name)->area.rect;
    EXPECT_TRUE(a.w >= 300 && a.h >= 220) << name << " " << a.w << "x" << a.h;
  }
  EXPECT_EQ(r.gui.FindMenu("xmodel_tags")->area.rect, (GuiRect{0, 0, 250, 160, kAnchorFixed}));
  for (const char* name : {"update_menu", "iwd_images_menu", "about_menu", "error_menu", "msg_box_menu"}) {
    const Menu& m = *r.gui.FindMenu(name);
    auto panel = std::find_if(m.pictures.begin(), m.pictures.end(), [](auto& p) { return p.material == "menu_frame"; });
    ASSERT_NE(panel, m.pictures.end()) << name;
    EXPECT_TRUE(std::any_of(m.filled_rects.begin(), m.filled_rects.end(),
                            [&](auto& f) { return f.colour.a == 1 && f.rect == panel->rect; }))
        << name;
  }
  EXPECT_TRUE(r.Open("xmodel_log") && r.Open("close_xmodel_log") && !r.Open("open_xmodel_log"));
  EXPECT_FALSE(r.Open("xmodel_prop") || r.Open("close_xmodel_prop"));

  r.commands.RunCommand("open xmodel_prop;");
  EXPECT_TRUE(r.Open("close_xmodel_prop") && r.settings.vis_xmodel_prop);
  r.now = 1000;
  r.Frame();
  r.commands.RunCommand("close xmodel_prop;");
  EXPECT_FALSE(r.settings.vis_xmodel_prop);

  // SETTINGS: out downwards, every page force-closed.
  r.now = 2000;
  r.commands.RunCommand("toggle_menu Settings;");
  r.now = 3000;
  r.commands.RunDue();
  r.Frame();
  ASSERT_TRUE(r.Open("Settings_genral"));
  r.commands.RunCommand("toggle_menu Settings;");
  EXPECT_TRUE(!r.Open("Settings_genral") && r.Find("Settings").close_dir == kSlideDown);

  // A resize: the tool bar's pictures keep their distance from the right
  // edge, the status strip stays at the bottom.
  r.gui.SetPendingSize(1000, 700);
  r.gui.ItemScale();
  const Menu& bar = r.Find("ToolBar");
  EXPECT_EQ(bar.pictures[0].rect.x, 430);  // tool_bar_top
  EXPECT_TRUE(bar.pictures[3].rect.y == 675 && bar.pictures[3].rect.w == 1000);  // bottom_tool_bar
}

// The views and value widgets start from the settings and the program's
// lists, call the handler they are given, and log a handler the program
// does not have yet instead of doing nothing.
TEST(Layout, ViewsAndValueWidgetsAreBoundToTheirSettingsAndHandlers) {
  shell_test::LogCapture log;
  Rig r;
  r.settings.logging_mode = 0;
  r.settings.active_game = 2;
  r.settings.Cod5Path = "/games/cod5";
  r.settings.fps_sleepy = 25;
  r.settings.color_grid = 0x000000FF;  // pure red
  r.settings.key_map[2] = {0x74, 1};    // export_ma on F5
  ListSource models;
  std::vector<std::string> loaded;
  LayoutHooks hooks;
  hooks.models = &models;
  hooks.load_model = [&](const std::string& name) { loaded.push_back(name); };
  BuildLayout(r.gui, r.settings, hooks);

  const Menu& list = r.Find("xmodel_list");
  ASSERT_EQ(list.list_boxes[0].source, &models);
  list.list_boxes[0].on_select("viewmodel_m16");
  EXPECT_EQ(loaded, std::vector<std::string>{"viewmodel_m16"});

  const Menu& general = r.Find("Settings_genral");
  EXPECT_EQ(general.drop_downs[0].selected, 0);  // Normal Mode
  EXPECT_EQ(general.drop_downs[1].selected, 2);  // COD BO
  EXPECT_EQ(general.text_boxes[1].text, "/games/cod5");
  EXPECT_TRUE(general.text_boxes[1].read_only);
  EXPECT_FALSE(general.drop_downs[1].on_choose(0));  // refused until the program has the handler
  general.picture_buttons[2].callback();  // browse for the COD 5 root
  EXPECT_TRUE(log.Contains("SetActiveGame :: not available yet"));
  EXPECT_TRUE(log.Contains("BrowseGameRoot :: not available yet"));

  // The XMODEL_EXPORT key has no binder: the binders after it skip its slot.
  const Menu& hotkeys = r.Find("Settings_hotkeys");
  ASSERT_EQ(hotkeys.key_binders.size(), 15u);
  EXPECT_EQ(hotkeys.key_binders[2].key, &r.settings.key_map[2]);
  EXPECT_EQ(hotkeys.key_binders[4].key, &r.settings.key_map[5]);
  EXPECT_EQ(hotkeys.key_binders[13].key, &r.settings.key_map[kHotkeyFrameModel]);
  EXPECT_EQ(hotkeys.key_binders[14].key, &r.settings.key_map[kHotkeyCycleLod]);

  const Menu& gl = r.Find("Settings_OpenGL");
  EXPECT_TRUE(gl.colour_pickers[0].hue == 0 && gl.colour_pickers[0].saturation == 100);
  EXPECT_EQ(gl.text_boxes[1].text, "25");

  // Set text reaches the first box of that name; an unknown name is logged.
  r.gui.SetBoxText("output_cod5", "Set Path");
  EXPECT_EQ(general.text_boxes[1].text, "Set Path");
  r.gui.SetBoxText("no_such_box", "x");
  EXPECT_EQ(log.lines().back(), "Failed To Set 'no_such_box' text");

  // The search box and the list follow the window.
  r.gui.SetPendingSize(800, 600);
  r.gui.ItemScale();
  const GuiRect& search = list.text_boxes[0].rect;
  EXPECT_TRUE(search.x == 572 && search.y == 550 && list.list_boxes[0].rect.h == 495);
}

TEST(ColourHsv, RoundTripsTheStoredColours) {
  for (uint32_t colour : {0x000F0E0Fu, 0x00272728u, 0x000000FFu, 0x00FFFFFFu, 0x00000000u, 0x0080FF00u}) {
    const Rgba rgb = RgbaOfColourRef(colour);
    const Rgba back = HsvToRgb(RgbToHsv(rgb));
    // Whole hue degrees and percentages: within one step of 255 / 100.
    EXPECT_NEAR(back.r, rgb.r, 0.02f) << std::hex << colour;
    EXPECT_NEAR(back.g, rgb.g, 0.02f) << std::hex << colour;
    EXPECT_NEAR(back.b, rgb.b, 0.02f) << std::hex << colour;
  }
  EXPECT_EQ(ColourRefOfRgba(HsvToRgb({120, 100, 100})), 0x0000FF00u);
  EXPECT_EQ(ColourRefOfRgba(HsvToRgb({240, 100, 100})), 0x00FF0000u);
  EXPECT_EQ(ColourRefOfRgba(RgbaOfColourRef(0x00123456u)), 0x00123456u);
}

// Every command of the layout uses a known word and names a menu that
// exists; every picture is in the material table; every check box is bound
// to a stored setting, or is one of the switches that are not stored.
TEST(Layout, CommandsMaterialsAndSettingsItNamesExist) {
  Rig r;
  ProgramWords words;
  words.gui = &r.gui;
  words.settings = &r.settings;
  RegisterProgramWords(r.commands, words);
  BuildLayout(r.gui, r.settings);

  std::set<std::string, std::less<>> menus, materials{"default", "mouse_cursor"};
  for (const auto& m : r.gui.menus()) menus.insert(m->name);
  for (const GuiMaterialRow& row : kGuiMaterials) materials.insert(row.name);
  const std::set<std::string_view> menu_words = {"open", "close", "toggle_menu", "force_open", "force_close"};
  int commands = 0;
  auto check = [&](const CommandList& list, const std::string& where) {
    for (const std::string& piece : list) {
      if (piece.find_first_not_of(' ') == std::string::npos) continue;  // a blank piece, logged
      const CommandPiece p = CutPiece(piece);
      ++commands;
      EXPECT_TRUE(p.word == "wait" || r.commands.Knows(p.word)) << where << ": " << piece;
      if (menu_words.count(p.word)) {
        EXPECT_TRUE(menus.count(p.value)) << where << ": " << piece;
      }
    }
  };
  for (const auto& m : r.gui.menus()) {
    check(m->on_open, m->name + " on open");
    check(m->on_close, m->name + " on close");
    for (const PictureButtonItem& b : m->picture_buttons) {
      check(b.command, m->name + " " + b.label);
      EXPECT_TRUE(materials.count(b.material) && materials.count(b.hover_material)) << b.material;
    }
    for (const LightBulbItem& b : m->light_bulbs) {
      check(b.command, m->name);
      EXPECT_TRUE(materials.count(b.on_material) && materials.count(b.off_material));
    }
    for (const TextButtonItem& b : m->text_buttons) check(b.command, m->name + " " + b.label);
    for (const PictureItem& p : m->pictures) EXPECT_TRUE(materials.count(p.material)) << p.material;
    for (const CheckBoxItem& c : m->check_boxes) {
      if (c.setting_name.empty()) {
        const std::set<std::string_view> unstored = {"Save Menu States", "Phong Shader", "Loop", "With root motion"};
        EXPECT_TRUE(unstored.count(c.label)) << c.label;
      } else {
        EXPECT_NE(FindSetting(c.setting_name), nullptr) << c.setting_name;
      }
    }
  }
  EXPECT_GT(commands, 60);
}

}  // namespace
