// The layout headless: the toolkit's rules (anchoring on a size change,
// the box's word wrap, the choice of theme, the stored colours), the fixed
// layout (the panels' sizes and button pairs, the settings window's timing,
// the anchoring after a resize, the names its commands, pictures and check
// boxes use), and every text of it in its place with the fonts' own metrics.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <set>
#include <string>
#include <vector>

#include "base/list_source.h"
#include "gui/colour_hsv.h"
#include "gui/gui_rect.h"
#include "gui/item_texts.h"
#include "gui/material_table.h"
#include "gui/qor_gui.h"
#include "gui/themes.h"
#include "gui/txf_metrics.h"
#include "gui/word_wrap.h"
#include "jobs/iwd_utils.h"
#include "shell/command_words.h"
#include "shell/hotkeys.h"
#include "shell/screens/layout.h"
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
  for (auto [binder, slot] : {std::pair<int, int>{2, 2}, {4, 5}, {13, kHotkeyFrameModel}, {14, kHotkeyCycleLod}})
    EXPECT_EQ(hotkeys.key_binders[binder].key, &r.settings.key_map[slot]) << binder;

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
    for (float Rgba::*c : {&Rgba::r, &Rgba::g, &Rgba::b}) EXPECT_NEAR(back.*c, rgb.*c, 0.02f) << std::hex << colour;
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

TEST(Themes, SelectingRepaintsOnlyOnAChange) {
  QorThemeManger themes(7);  // a damaged stored index: the first theme
  EXPECT_EQ(themes.active(), 0);
  int repaints = 0;
  themes.repaint_frame = [&] { ++repaints; };
  EXPECT_TRUE(themes.SetTheme(0) && repaints == 0);
  EXPECT_TRUE(themes.SetTheme(2) && repaints == 1);
  EXPECT_FALSE(themes.SetTheme(3));  // not a theme: a failure, nothing changes
  EXPECT_TRUE(themes.active() == 2 && repaints == 1);
}

bool Meet(const GuiRect& a, const GuiRect& b) {
  return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}
bool Holds(const GuiRect& outer, const GuiRect& inner) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.w <= outer.x + outer.w &&
         inner.y + inner.h <= outer.y + outer.h;
}
GuiRect Moved(GuiRect r, const GuiRect& by) { return {r.x + by.x, r.y + by.y, r.w, r.h, kAnchorFixed}; }

// What a text may not run into: the menu's working items, by kind and place
// (a colour picker as far as it draws: its square, the hue strip's 96 drawn
// rows and the value readout beside them).
struct Obstacle {
  std::string kind;
  size_t index;
  GuiRect rect;
};
std::vector<Obstacle> Obstacles(const Menu& m) {
  std::vector<Obstacle> out;
  auto add = [&](const char* kind, const auto& items, auto rect_of) {
    for (size_t i = 0; i < items.size(); ++i) out.push_back({kind, i, Moved(rect_of(items[i]), m.origin.rect)});
  };
  const auto own = [](const auto& item) { return item.rect; };
  add("picture_button", m.picture_buttons, own);
  add("light_bulb", m.light_bulbs, own);
  add("text_button", m.text_buttons, own);
  add("list_box", m.list_boxes, own);
  add("text_list", m.text_lists, own);
  add("text_box", m.text_boxes, own);
  add("key_binder", m.key_binders, own);
  add("slider", m.sliders, own);
  add("drop_down", m.drop_downs, own);
  add("detail_list", m.detail_lists, own);
  add("progress_bar", m.progress_bars, own);
  add("check_box", m.check_boxes, [](const CheckBoxItem& c) { return c.box; });
  add("colour_picker", m.colour_pickers, [](auto& c) { return GuiRect{c.rect.x, c.rect.y, 190, 100, kAnchorFixed}; });
  return out;
}

// The panels a menu draws its texts on: its pictures and fills that are
// neither a dimming cover of the whole window nor a small ornament.
std::vector<GuiRect> Panels(const Menu& m, int width, int height) {
  std::vector<GuiRect> out;
  auto add = [&](const GuiRect& r, float alpha) {
    if (alpha >= 0.5f && std::max(r.w, r.h) >= 100 && !(r.w >= width && r.h >= height)) out.push_back(r);
  };
  for (const auto& p : m.pictures) add(Moved(p.rect, m.origin.rect), p.colour.a);
  for (const auto& f : m.filled_rects) add(Moved(f.rect, m.origin.rect), f.colour.a);
  return out;
}

GuiRect Bounding(const std::vector<GuiRect>& rects) {
  int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
  for (const GuiRect& r : rects) {
    left = std::min(left, r.x), top = std::min(top, r.y);
    right = std::max(right, r.x + r.w), bottom = std::max(bottom, r.y + r.h);
  }
  return {left, top, right - left, bottom - top, kAnchorFixed};
}

// Every text of every menu, with the fonts' own metrics, at the design size
// and at a large window: each line stays inside its own item, runs into no
// other item or text of its menu nor of the menu it lies on, crosses no
// group box's edge, and ends inside the panel it starts on (the latest menu
// up to its own whose panels hold its first glyph) and the window.
TEST(LayoutText, EveryTextFitsItsPlaceInEveryMenu) {
  gui_test::BasicToolkit<MeasuringDraw2D> r;
  ASSERT_TRUE(r.draw.LoadFonts(VANTOR_DATA_DIR));
  QorGUI& gui = r.gui;
  QorSettings settings;
  BuildLayout(gui, settings);
  BuildFolderEntry(gui, {});  // the window adds its dialogs after the layout
  BuildQuestionBox(gui, [](bool) {});
  // The mover's texts as a pass leaves them.
  IwdProgress pass;
  pass.progress_text = "34/34";
  pass.entries_copied = 12345;
  pass.entries_skipped = 678;
  gui.SetText(iwd::kArchiveText, pass.progress_text);
  gui.SetText(iwd::kImagesText, pass.IwiProgressText());

  for (const auto& [width, height] : {std::pair{640, 480}, std::pair{1600, 1000}}) {
    gui.SetPendingSize(width, height);
    gui.ItemScale();
    const GuiRect window{0, 0, width, height, kAnchorFixed};
    const auto& menus = gui.menus();
    for (size_t mi = 0; mi < menus.size(); ++mi) {
      const Menu& m = *menus[mi];
      const std::vector<ItemText> texts = MenuTexts(gui, m);
      std::vector<std::pair<const ItemText*, GuiRect>> lines;  // each line's text and glyph box
      for (const ItemText& t : texts)
        for (const GuiRect& b : LineBoxes(r.draw, t)) lines.push_back({&t, Moved(b, m.origin.rect)});
      for (const auto& [text, box] : lines) {
        const ItemText& t = *text;
        const std::string where = m.name + " '" + t.text + "' at " + std::to_string(width) + "x" +
                                  std::to_string(height);
        EXPECT_TRUE(Holds(window, box)) << where;
        if (t.inside) {
          const GuiRect in = Moved(*t.inside, m.origin.rect);
          EXPECT_TRUE(Holds({in.x + 1, in.y, in.w - 2, in.h, kAnchorFixed}, box)) << where << " leaves its item";
        }
        // The menu it lies on.
        const Menu* host = nullptr;
        for (size_t hi = mi + 1; hi-- > 0 && !host;) {
          const std::vector<GuiRect> panels = Panels(*menus[hi], width, height);
          for (const GuiRect& p : panels)
            if (!host && Holds(p, {box.x, box.y, 1, 1, kAnchorFixed})) host = menus[hi].get();
          if (!host) continue;
          EXPECT_TRUE(Holds(Bounding(panels), box)) << where << " leaves " << host->name;
        }
        std::vector<const Menu*> owners{&m};
        if (host && host != &m) owners.push_back(host);
        for (const Menu* owner : owners)
          for (const Obstacle& o : Obstacles(*owner)) {
            if (owner == &m && o.kind == t.kind && o.index == t.index) continue;
            EXPECT_FALSE(Meet(o.rect, box)) << where << " runs into " << owner->name << "'s " << o.kind << " "
                                            << o.index;
          }
        for (const auto& [other, other_box] : lines)
          if (other != text) {
            EXPECT_FALSE(Meet(other_box, box)) << where << " runs into '" << other->text << "'";
          }
        for (const auto& group : m.outline_rects) {
          const GuiRect g = Moved(group.rect, m.origin.rect);
          EXPECT_TRUE(Holds(g, box) || !Meet(g, box)) << where << " crosses a group box";
        }
      }
    }
  }
}

// Measures with the fonts and keeps where texts and filled rectangles went.
struct PlacedDraw : MeasuringDraw2D {
  struct Drawn {
    float x, y;
    std::string text;
    FontState font;
  };
  std::vector<Drawn> texts;
  std::vector<std::array<float, 4>> fills;
  void Enter2D(int, int) override {
    texts.clear();
    fills.clear();
  }
  void Text(float x, float y, std::string_view text) override { texts.push_back({x, y, std::string(text), state_}); }
  void FillRect(float x, float y, float w, float h) override { fills.push_back({x, y, w, h}); }
};

// With the fonts' own metrics: the capitals sit centred in text boxes,
// buttons and drop-downs, and a focused box's caret stands right after the
// last glyph.
TEST(LayoutText, TextCentredInItsBoxAndTheCaretAfterIt) {
  gui_test::BasicToolkit<PlacedDraw> rig;
  ASSERT_TRUE(rig.draw.LoadFonts(VANTOR_DATA_DIR));
  PlacedDraw& draw = rig.draw;
  QorGUI& gui = rig.gui;
  gui.AddStaticMenu("m", {}, {0, 0, 640, 480, kAnchorFixed}, true);
  const GuiRect box{10, 20, 120, 17, kAnchorFixed}, button{10, 60, 80, 20, kAnchorFixed},
      picture{10, 100, 90, 20, kAnchorFixed}, drop{10, 140, 100, 18, kAnchorFixed};
  gui.AddTextBox("scale", "Wg", box, {}, {}, {1, 1, 1, 1}, nullptr, false);
  gui.AddTextButton(button, "Close", "");
  gui.AddPictureButton(picture, {1, 1, 1, 1}, "button", "button_hi", "EXPORT MA", 9, 15, "");
  gui.AddDropDown(drop, {{0, "Maya Style"}}, nullptr, 0);
  rig.Click(20, 25);
  for (const auto& [text, r] : {std::pair{"Wg", box}, {"Close", button}, {"EXPORT MA", picture}, {"Maya Style", drop}}) {
    auto drawn = std::find_if(draw.texts.begin(), draw.texts.end(), [&](auto& t) { return t.text == text; });
    ASSERT_NE(drawn, draw.texts.end()) << text;
    draw.SetFont(drawn->font);
    const TextBounds caps = draw.Bounds("H");
    EXPECT_NEAR(drawn->y + (caps.top + caps.bottom) / 2, float(r.y) + float(r.h) / 2, 1.0f) << text;
  }
  const auto& wg = *std::find_if(draw.texts.begin(), draw.texts.end(), [](auto& t) { return t.text == "Wg"; });
  draw.SetFont(wg.font);
  const float ink_end = wg.x + draw.Bounds("Wg").right;
  // The caret: the last narrow fill drawn.
  auto caret = std::find_if(draw.fills.rbegin(), draw.fills.rend(), [](auto& f) { return f[2] == 2; });
  ASSERT_NE(caret, draw.fills.rend());
  EXPECT_TRUE((*caret)[0] >= ink_end - 1 && (*caret)[0] <= ink_end + 2) << (*caret)[0] << " after " << ink_end;
  EXPECT_GE(wg.x + draw.Bounds("Wg").left, float(box.x + 1)) << "the glyphs start inside the frame";
}

}  // namespace
