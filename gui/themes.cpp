#include "gui/themes.h"

QorThemeManger::QorThemeManger(int stored_index)
    : tables_{{
          // Dark: near-black caption, charcoal border, light text.
          {{0.22f, 0.22f, 0.23f}, {0.12f, 0.12f, 0.13f}, {0.19f, 0.19f, 0.19f}, {0.86f, 0.86f, 0.86f}},
          // Grey: mid greys, dark text.
          {{0.62f, 0.62f, 0.63f}, {0.45f, 0.45f, 0.46f}, {0.40f, 0.40f, 0.40f}, {0.08f, 0.08f, 0.08f}},
          // Blue: a steel-blue caption.
          {{0.23f, 0.38f, 0.62f}, {0.12f, 0.22f, 0.42f}, {0.14f, 0.20f, 0.32f}, {0.94f, 0.96f, 1.00f}},
      }},
      active_(stored_index >= 0 && stored_index <= 2 ? stored_index : 0) {}

bool QorThemeManger::SetTheme(int index) {
  if (index == active_) return true;
  if (index < 0 || index > 2) return false;
  active_ = index;
  if (repaint_frame) repaint_frame();
  return true;
}
