#include "gui/layout/layout.h"

void BuildLayout(QorGUI& gui, QorSettings& settings, const LayoutHooks& hooks) {
  BuildPanelsLayout(gui, settings);
  BuildToolBarLayout(gui, settings);
  BuildSettingsLayout(gui, settings, hooks);
  BuildDialogsLayout(gui, settings);
}
