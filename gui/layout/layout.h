// The interface's one fixed layout: 37 menus created in drawing order, each
// followed by its items, in a 640 x 480 design space. No layout file: each
// builder below is a flat run of add calls.
//
// FIXME: list boxes, text lists, detail lists, text boxes, key binders,
// drop-downs and colour pickers join their menus when their records exist;
// everything else is here.
#pragma once

#include <functional>

class QorGUI;
struct QorSettings;

// What some widgets do beyond the settings they are bound to.
struct LayoutHooks {
  std::function<void(float level)> sound_level;  // the volume slider, on release
  std::function<void()> check_for_updates;        // "Check for Updates"
};

// Menus 1-4: "bug_fixer" and the three framed panels.
void BuildPanelsLayout(QorGUI& gui, QorSettings& settings);
// Menus 5-14: the tool bar, the panels' open/close buttons, the model list.
void BuildToolBarLayout(QorGUI& gui, QorSettings& settings);
// Menus 15-26: the settings window and its pages, the light settings.
void BuildSettingsLayout(QorGUI& gui, QorSettings& settings, const LayoutHooks& hooks);
// Menus 27-37: update, IWD mover, about, donation, error and message boxes;
// then the box text area.
void BuildDialogsLayout(QorGUI& gui, QorSettings& settings);

// All of it, in order.
void BuildLayout(QorGUI& gui, QorSettings& settings, const LayoutHooks& hooks = {});
