// Menus 1-4: "bug_fixer" and the framed panels "xmodel_log",
// "xmodel_prop", "xmodel_tags", which live at their stored rectangles and
// start as they were left.
#include "shell/screens/layout.h"
#include "shell/screens/layout_style.h"
#include "shell/settings.h"

using namespace layout;

namespace {

// A framed panel at its stored rectangles, showing and hiding its
// "open_"/"close_" button pair; `panel_size` is the default size its view
// was laid out for. Returns the view's rectangle: the panel below its title
// bar, following the panel's size.
GuiRect Panel(QorGUI& gui, const char* name, const char* title, SettingsRect& origin, SettingsRect& size,
              const SettingsRect& panel_size, bool& visible, const char* visible_name, const char* on_open,
              const char* on_close) {
  gui.AddFramedMenu(name, title, &origin, &size, R(0, 0, panel_size.w, panel_size.h), visible, 0.5f);
  gui.BindVisibility(&visible, visible_name);
  gui.SetOnOpen(on_open);
  gui.SetOnClose(on_close);
  return R(4, 22, panel_size.w - 8, panel_size.h - 26, 12);
}

}  // namespace

void BuildPanelsLayout(QorGUI& gui, QorSettings& s, const LayoutHooks& hooks) {
  // 1
  gui.AddFadeMenu("bug_fixer", R(0, 0, 0, 0), R(0, 0, 0, 0), true, 0.5f);
  gui.AddFilledRect(R(0, 0, 1, 1), {0.1f, 0.1f, 0.1f, 0.95f});

  const QorSettings defaults;
  const Rgba back{0.05f, 0.05f, 0.05f, 0.6f};
  // 2
  GuiRect view = Panel(gui, "xmodel_log", "Xmodel Log", s.rect_xmodel_log, s.rect_xmodel_log_s,
                       defaults.rect_xmodel_log_s, s.vis_xmodel_log, "Menus/vis_xmodel_log",
                       "close open_xmodel_log; open close_xmodel_log", "close close_xmodel_log; open open_xmodel_log");
  gui.AddTextList("XmodelLog", view, back, kWhite, hooks.log_lines);
  // 3
  view = Panel(gui, "xmodel_prop", "Xmodel Properties", s.rect_xmodel_pro, s.rect_xmodel_pro_s,
               defaults.rect_xmodel_pro_s, s.vis_xmodel_prop, "Menus/vis_xmodel_prop",
               "close open_xmodel_prop; open close_xmodel_prop;", "close close_xmodel_prop; open open_xmodel_prop;");
  gui.AddDetailList("Xmodel_properties", view, back, kWhite, hooks.properties);
  // 4
  view = Panel(gui, "xmodel_tags", "Xmodel Tags", s.rect_xmodel_tags, s.rect_xmodel_tags_s,
               defaults.rect_xmodel_tags_s, s.vis_xmodel_tags, "Menus/vis_xmodel_tags",
               "close open_xmodel_tags; open close_xmodel_tags;", "close close_xmodel_tags; open open_xmodel_tags;");
  gui.AddDetailList("Xmodel_tags", view, back, kWhite, hooks.tags);
}
