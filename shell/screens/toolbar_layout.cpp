// Menus 6-15: "ToolBar", the panels' open and close buttons (7-12),
// "open_xmodel_fastfile", "open_xmodel_list" and "xmodel_list".
#include "shell/screens/layout.h"
#include "shell/screens/layout_style.h"
#include "shell/settings.h"

using namespace layout;

void BuildToolBarLayout(QorGUI& gui, QorSettings& s, const LayoutHooks& hooks) {
  // 6
  gui.AddFadeMenu("ToolBar", R(0, 0, 0, 0), R(100, 0, 540, 24, 1), true, 0.5f);
  gui.AddPicture(R(70, -5, 580, 32, 1), {1, 1, 1, 0.9f}, "tool_bar_top");
  gui.AddPicture(R(495, -5, 32, 32, 1), kWhite, "tool_bar_top_div");
  gui.AddPicture(R(-10, -5, 128, 32), kWhite, "timer_back");
  gui.AddLightBulb(R(5, 30, 32, 64), kWhite, kWhite, "toggle_menu light_settings;", "light_bulb_on", "light_bulb_off");
  gui.AddNamedLabel(At(42, 42), kGrey8, "lod_text");  // which level of detail is shown
  struct Tool {
    const char* label;
    int x, w;
    int16_t dx;
    const char* command;
  };
  for (const Tool& t : {Tool{"EXPORT MA", 95, 79, 9, "export_ma;"}, Tool{"EXPORT OBJ", 176, 85, 9, "export_obj;"},
                        Tool{"EXPORT XE", 264, 75, 9, "export_XE;"}, Tool{"VIEW TAGS", 342, 76, 9, "view_tags;"},
                        Tool{"CREATE GDT", 420, 85, 9, "dump_GDT;"}, Tool{"SETTINGS", 520, 65, 8, "toggle_menu Settings;"},
                        Tool{"ABOUT", 589, 50, 9, "open about_menu;"}})
    gui.AddPictureButton(R(t.x, 2, t.w, 20, 1), kWhite, "button", "button_hi", t.label, t.dx, 15, t.command);
  gui.AddPicture(R(0, 455, 640, 25, 6), {1, 1, 1, 0.75f}, "bottom_tool_bar");
  gui.AddProgressBar(R(5, 460, 150, 16, 2), {0.65f, 0.1f, 0.1f, 0.8f}, 2000, "progress_bar");
  gui.AddCheckBox(R(540, 460, 80, 20, 3), "Wireframe", &s.wireframe, "OpenGl/wireframe");

  // 7-12: each holds one picture button. The panels' lists ran before
  // these existed, so they start from the panels' stored visibility.
  struct Pair {
    const char* open;
    const char* close;
    bool panel_visible;
  };
  const Pair pairs[] = {{"open_xmodel_log", "close_xmodel_log", s.vis_xmodel_log},
                        {"open_xmodel_prop", "close_xmodel_prop", s.vis_xmodel_prop},
                        {"open_xmodel_tags", "close_xmodel_tags", s.vis_xmodel_tags}};
  struct Button {
    const char* label;
    int x, w;
    const char* open;
    const char* close;
  };
  // Drawn closer than first planned, so that "FASTFILE SCANNER" ends before
  // the "Wireframe" box at the smallest window.
  const Button buttons[] = {{"XMODEL LOG", 165, 79, "open xmodel_log;", "close xmodel_log;"},
                            {"XMODEL INFO", 248, 81, "open xmodel_prop;", "close xmodel_prop;"},
                            {"XMODEL TAGS", 333, 84, "open xmodel_tags;", "close xmodel_tags;"}};
  for (size_t i = 0; i < 3; ++i) {
    const Pair& p = pairs[i];
    const Button& b = buttons[i];
    gui.AddFadeMenu(p.open, R(0, 0, 0, 0), R(0, 0, 0, 0), !p.panel_visible, 0.5f);
    gui.AddPictureButton(R(b.x, 458, b.w, 20, 2), kWhite, "button", "button_hi", b.label, 7, 14, b.open);
    gui.AddFadeMenu(p.close, R(0, 0, 0, 0), R(0, 0, 0, 0), p.panel_visible, 0.5f);
    gui.AddPictureButton(R(b.x, 458, b.w, 20, 2), {0.5f, 0.5f, 0.5f, 1}, "button", "button", b.label, 7, 14, b.close);
  }

  // 13
  gui.AddFadeMenu("open_xmodel_fastfile", R(0, 0, 0, 0), R(0, 0, 0, 0), true, 0.5f);
  gui.AddPictureButton(R(421, 458, 118, 20, 2), kWhite, "button", "button_hi", "FASTFILE SCANNER", 6, 14,
                       [&gui] {
                         gui.SetMessage("Feature Not Finished.\n\nWill be added in Version 1.1");
                         gui.SetVis("msg_box_menu", true);
                       });

  // 14
  gui.AddStaticMenu("open_xmodel_list", R(0, 0, 0, 0), R(625, 230, 15, 15, 33), !s.vis_xmodel_list);
  gui.AddPicture(R(625, 25, 285, 440, 9), {0.15f, 0.15f, 0.15f, 0.8f}, "menu_frame");
  gui.AddPictureButton(R(620, 230, 15, 15, 33), {0.4f, 0.4f, 0.4f, 1}, "list_arrow", "list_arrow", "", 0, 0,
                       "open xmodel_list;", false);

  // 15
  gui.AddSlideMenu("xmodel_list", R(0, 0, 0, 0), R(350, 30, 290, 425, 9), s.vis_xmodel_list, kSlideRight,
                   kSlideRight, 0.25f);
  gui.BindVisibility(&s.vis_xmodel_list, "Menus/vis_xmodel_list");
  gui.SetOnOpen("close open_xmodel_list;");
  gui.SetOnClose("open open_xmodel_list;");
  gui.AddPicture(R(335, 25, 310, 16, 1), {0.25f, 0.25f, 0.25f, 0.95f}, "menu_frame_top");
  gui.AddPicture(R(335, 41, 310, 399, 9), {0.25f, 0.25f, 0.25f, 0.95f}, "menu_frame_mid");
  gui.AddPicture(R(335, 440, 310, 16, 3), {0.25f, 0.25f, 0.25f, 0.95f}, "menu_frame_bot");
  gui.AddSizedLabel(At(455, 47, 1), kRed, "XMODEL LIST", 11, false);
  gui.AddTextButton(R(572, 28, 58, 18, 1), "ANIMS", "toggle_menu xanim_player;");
  ListBoxItem list_colours;
  list_colours.background = {0.05f, 0.05f, 0.05f, 0.5f};
  list_colours.outline = {0.3f, 0.3f, 0.3f, 1};
  list_colours.row = {0.2f, 0.2f, 0.2f, 0.5f};
  list_colours.row_hover = {0.45f, 0.1f, 0.1f, 0.8f};
  list_colours.text_hover = {1, 1, 1, 1};
  list_colours.text = {0.75f, 0.75f, 0.75f, 1};
  gui.AddListBox("xmodels", R(348, 50, 283, 375, 9), list_colours, hooks.models, Handler(hooks.load_model, "LoadModel"));
  gui.AddColourLabel(At(365, 443, 3), {0, 1, 0, 1}, "Search:");
  gui.AddTextBox("xmodel_search", "Click to Search..", R(412, 430, 205, 17, 3), kBoxFrame, kBoxHover, kBoxText,
                 Handler(hooks.filter_models, "FilterModels"));
  gui.AddPictureButton(R(331, 230, 15, 15, 33), {0.4f, 0.4f, 0.4f, 1}, "list_arrow", "list_arrow", "", 0, 0,
                       "close xmodel_list;", false);
}
