// The interface's one fixed layout: 37 menus created in drawing order, each
// followed by its items, in a 640 x 480 design space. No layout file: each
// builder below is a flat run of add calls.
//
// FIXME: the widget items (buttons, check boxes, lists, text boxes, binders,
// drop-downs, sliders, progress bars, colour pickers) join each menu when
// their records exist; the menus, their lists and the rectangles, pictures
// and labels are all here.
#pragma once

class QorGUI;
struct QorSettings;

// Menus 1-4: "bug_fixer" and the three framed panels.
void BuildPanelsLayout(QorGUI& gui, QorSettings& settings);
// Menus 5-14: the tool bar, the panels' open/close buttons, the model list.
void BuildToolBarLayout(QorGUI& gui, QorSettings& settings);
// Menus 15-26: the settings window and its pages, the light settings.
void BuildSettingsLayout(QorGUI& gui, QorSettings& settings);
// Menus 27-37: update, IWD mover, about, donation, error and message boxes;
// then the box text area.
void BuildDialogsLayout(QorGUI& gui, QorSettings& settings);

// All of it, in order.
void BuildLayout(QorGUI& gui, QorSettings& settings);
