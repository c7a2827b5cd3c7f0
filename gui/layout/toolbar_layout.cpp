// Menus 5-14: "ToolBar", the panels' open and close buttons (6-11),
// "open_xmodel_fastfile", "open_xmodel_list" and "xmodel_list".
#include "gui/layout/layout.h"
#include "gui/layout/layout_style.h"
#include "shell/settings.h"

using namespace layout;

void BuildToolBarLayout(QorGUI& gui, QorSettings& s) {
  // 5: light-bulb toggle, the export and page buttons, progress bar
  // "progress_bar", check box "Wireframe".
  gui.AddFadeMenu("ToolBar", R(0, 0, 0, 0), R(100, 0, 540, 24, 1), true, 0.5f);
  gui.AddPicture(R(70, -5, 580, 32, 1), {1, 1, 1, 0.9f}, "tool_bar_top");
  gui.AddPicture(R(495, -5, 32, 32, 1), kWhite, "tool_bar_top_div");
  gui.AddPicture(R(-10, -5, 128, 32), kWhite, "timer_back");
  gui.AddPicture(R(0, 455, 640, 25, 6), {1, 1, 1, 0.75f}, "bottom_tool_bar");

  // 6-11: each holds one picture button. The panels' lists ran before
  // these existed, so they start from the panels' stored visibility.
  struct Pair {
    const char* open;
    const char* close;
    bool panel_visible;
  };
  const Pair pairs[] = {{"open_xmodel_log", "close_xmodel_log", s.vis_xmodel_log},
                        {"open_xmodel_prop", "close_xmodel_prop", s.vis_xmodel_prop},
                        {"open_xmodel_tags", "close_xmodel_tags", s.vis_xmodel_tags}};
  for (const Pair& p : pairs) {
    gui.AddFadeMenu(p.open, R(0, 0, 0, 0), R(0, 0, 0, 0), !p.panel_visible, 0.5f);
    gui.AddFadeMenu(p.close, R(0, 0, 0, 0), R(0, 0, 0, 0), p.panel_visible, 0.5f);
  }

  // 12: picture button with callback "FASTFILE SCANNER".
  gui.AddFadeMenu("open_xmodel_fastfile", R(0, 0, 0, 0), R(0, 0, 0, 0), true, 0.5f);

  // 13: one-part picture button "list_arrow", "open xmodel_list;".
  gui.AddStaticMenu("open_xmodel_list", R(0, 0, 0, 0), R(625, 230, 15, 15, 33), !s.vis_xmodel_list);
  gui.AddPicture(R(625, 25, 285, 440, 9), {0.15f, 0.15f, 0.15f, 0.8f}, "menu_frame");

  // 14: list box "xmodels", text box "xmodel_search", the close arrow.
  gui.AddSlideMenu("xmodel_list", R(0, 0, 0, 0), R(350, 30, 290, 425, 9), s.vis_xmodel_list, kSlideRight,
                   kSlideRight, 0.25f);
  gui.BindVisibility(&s.vis_xmodel_list, "Menus/vis_xmodel_list");
  gui.SetOnOpen("close open_xmodel_list;");
  gui.SetOnClose("open open_xmodel_list;");
  gui.AddSizedLabel(At(455, 47, 1), kRed, "XMODEL LIST", 11, false);
  gui.AddPicture(R(335, 25, 310, 16, 1), {0.25f, 0.25f, 0.25f, 0.95f}, "menu_frame_top");
  gui.AddPicture(R(335, 41, 310, 399, 9), {0.25f, 0.25f, 0.25f, 0.95f}, "menu_frame_mid");
  gui.AddPicture(R(335, 440, 310, 16, 3), {0.25f, 0.25f, 0.25f, 0.95f}, "menu_frame_bot");
  gui.AddColourLabel(At(365, 443, 3), {0, 1, 0, 1}, "Search:");
}
