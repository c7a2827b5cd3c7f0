#include "shell/screens/layout.h"

void BuildLayout(QorGUI& gui, QorSettings& settings, const LayoutHooks& hooks) {
  BuildPanelsLayout(gui, settings, hooks);
  BuildAnimationLayout(gui, settings, hooks.animation);
  BuildToolBarLayout(gui, settings, hooks);
  BuildSettingsLayout(gui, settings, hooks);
  BuildDialogsLayout(gui, settings);
}
