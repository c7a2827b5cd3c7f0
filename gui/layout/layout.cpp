#include "gui/layout/layout.h"

void BuildLayout(QorGUI& gui, QorSettings& settings) {
  BuildPanelsLayout(gui, settings);
  BuildToolBarLayout(gui, settings);
  BuildSettingsLayout(gui, settings);
  BuildDialogsLayout(gui, settings);
}
