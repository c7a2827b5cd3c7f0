// The widgets' frame functions. Each follows the same recipe in the same
// order (skip when hidden -> place the rectangle -> hover and click through
// ButtonBehaviour -> sound -> command or callback -> draw) and returns
// whether it was pressed or changed. `alpha` is the menu's.
//
// [SECTION] buttons        picture button, light-bulb toggle, text button
// [SECTION] check box
// [SECTION] slider
// [SECTION] progress bar
#pragma once

#include "gui/widgets/widget_items.h"

class QorGUI;

bool DoPictureButton(QorGUI& gui, PictureButtonItem& b, float alpha);
bool DoLightBulb(QorGUI& gui, LightBulbItem& b, float alpha);
bool DoTextButton(QorGUI& gui, TextButtonItem& b, float alpha);
bool DoCheckBox(QorGUI& gui, CheckBoxItem& c, float alpha);
bool DoSlider(QorGUI& gui, SliderItem& s, float alpha);
void DoProgressBar(QorGUI& gui, ProgressBarItem& p, float alpha);
