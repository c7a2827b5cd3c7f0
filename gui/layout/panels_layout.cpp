// Menus 1-4: "bug_fixer" and the framed panels "xmodel_log",
// "xmodel_prop", "xmodel_tags", which live at their stored rectangles and
// start as they were left.
#include "gui/layout/layout.h"
#include "gui/layout/layout_style.h"
#include "shell/settings.h"

using namespace layout;

void BuildPanelsLayout(QorGUI& gui, QorSettings& s) {
  // 1
  gui.AddFadeMenu("bug_fixer", R(0, 0, 0, 0), R(0, 0, 0, 0), true, 0.5f);
  gui.AddFilledRect(R(0, 0, 1, 1), {0.1f, 0.1f, 0.1f, 0.95f});

  // The panels' items were laid out for the default panel size.
  const QorSettings defaults;
  // 2: text list "XmodelLog" (4, 22), flags 12.
  gui.AddFramedMenu("xmodel_log", "Xmodel Log", &s.rect_xmodel_log, &s.rect_xmodel_log_s,
                    R(0, 0, defaults.rect_xmodel_log_s.w, defaults.rect_xmodel_log_s.h), s.vis_xmodel_log, 0.5f);
  gui.BindVisibility(&s.vis_xmodel_log, "Menus/vis_xmodel_log");
  gui.SetOnOpen("close open_xmodel_log; open close_xmodel_log");
  gui.SetOnClose("close close_xmodel_log; open open_xmodel_log");
  // 3: detail list "Xmodel_properties" (4, 22), flags 12.
  gui.AddFramedMenu("xmodel_prop", "Xmodel Properties", &s.rect_xmodel_pro, &s.rect_xmodel_pro_s,
                    R(0, 0, defaults.rect_xmodel_pro_s.w, defaults.rect_xmodel_pro_s.h), s.vis_xmodel_prop, 0.5f);
  gui.BindVisibility(&s.vis_xmodel_prop, "Menus/vis_xmodel_prop");
  gui.SetOnOpen("close open_xmodel_prop; open close_xmodel_prop;");
  gui.SetOnClose("close close_xmodel_prop; open open_xmodel_prop;");
  // 4: detail list "Xmodel_tags" (4, 22), flags 12.
  gui.AddFramedMenu("xmodel_tags", "Xmodel Tags", &s.rect_xmodel_tags, &s.rect_xmodel_tags_s,
                    R(0, 0, defaults.rect_xmodel_tags_s.w, defaults.rect_xmodel_tags_s.h), s.vis_xmodel_tags, 0.5f);
  gui.BindVisibility(&s.vis_xmodel_tags, "Menus/vis_xmodel_tags");
  gui.SetOnOpen("close open_xmodel_tags; open close_xmodel_tags;");
  gui.SetOnClose("close close_xmodel_tags; open open_xmodel_tags;");
}
