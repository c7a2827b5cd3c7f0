// Menus 1-4: "bug_fixer" and the framed panels "xmodel_log",
// "xmodel_prop", "xmodel_tags", which live at their stored rectangles and
// start as they were left.
#include "gui/layout/layout.h"
#include "gui/layout/layout_style.h"
#include "shell/settings.h"

using namespace layout;

void BuildPanelsLayout(QorGUI& gui, QorSettings& s, const LayoutHooks& hooks) {
  // 1
  gui.AddFadeMenu("bug_fixer", R(0, 0, 0, 0), R(0, 0, 0, 0), true, 0.5f);
  gui.AddFilledRect(R(0, 0, 1, 1), {0.1f, 0.1f, 0.1f, 0.95f});

  // The panels' items were laid out for the default panel size; each view
  // fills its panel below the title bar.
  const QorSettings defaults;
  const Rgba view_back{0.05f, 0.05f, 0.05f, 0.6f};
  auto view = [](const SettingsRect& panel) { return R(4, 22, panel.w - 8, panel.h - 26, 12); };
  // 2
  gui.AddFramedMenu("xmodel_log", "Xmodel Log", &s.rect_xmodel_log, &s.rect_xmodel_log_s,
                    R(0, 0, defaults.rect_xmodel_log_s.w, defaults.rect_xmodel_log_s.h), s.vis_xmodel_log, 0.5f);
  gui.BindVisibility(&s.vis_xmodel_log, "Menus/vis_xmodel_log");
  gui.SetOnOpen("close open_xmodel_log; open close_xmodel_log");
  gui.SetOnClose("close close_xmodel_log; open open_xmodel_log");
  gui.AddTextList("XmodelLog", view(defaults.rect_xmodel_log_s), view_back, kWhite, hooks.log_lines);
  // 3
  gui.AddFramedMenu("xmodel_prop", "Xmodel Properties", &s.rect_xmodel_pro, &s.rect_xmodel_pro_s,
                    R(0, 0, defaults.rect_xmodel_pro_s.w, defaults.rect_xmodel_pro_s.h), s.vis_xmodel_prop, 0.5f);
  gui.BindVisibility(&s.vis_xmodel_prop, "Menus/vis_xmodel_prop");
  gui.SetOnOpen("close open_xmodel_prop; open close_xmodel_prop;");
  gui.SetOnClose("close close_xmodel_prop; open open_xmodel_prop;");
  gui.AddDetailList("Xmodel_properties", view(defaults.rect_xmodel_pro_s), view_back, kWhite, hooks.properties);
  // 4
  gui.AddFramedMenu("xmodel_tags", "Xmodel Tags", &s.rect_xmodel_tags, &s.rect_xmodel_tags_s,
                    R(0, 0, defaults.rect_xmodel_tags_s.w, defaults.rect_xmodel_tags_s.h), s.vis_xmodel_tags, 0.5f);
  gui.BindVisibility(&s.vis_xmodel_tags, "Menus/vis_xmodel_tags");
  gui.SetOnOpen("close open_xmodel_tags; open close_xmodel_tags;");
  gui.SetOnClose("close close_xmodel_tags; open open_xmodel_tags;");
  gui.AddDetailList("Xmodel_tags", view(defaults.rect_xmodel_tags_s), view_back, kWhite, hooks.tags);
}
