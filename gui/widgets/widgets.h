// The widgets' frame functions. Each follows the same recipe in the same
// order (skip when hidden -> place the rectangle -> hover and click through
// ButtonBehaviour -> sound -> command or callback -> draw) and returns
// whether it was pressed or changed. `alpha` is the menu's.
//
// [SECTION] buttons        picture button, light-bulb toggle, text button
// [SECTION] check box
// [SECTION] slider
// [SECTION] progress bar
// [SECTION] list views     list box, text list, detail list, their scroll bar
// [SECTION] value widgets  text box, key binder, drop-down, colour picker
#pragma once

#include <string_view>

#include "gui/widgets/entry_items.h"
#include "gui/widgets/list_items.h"
#include "gui/widgets/widget_items.h"

class Draw2D;
class WidgetContext;

bool DoPictureButton(WidgetContext& gui, PictureButtonItem& b, float alpha);
bool DoLightBulb(WidgetContext& gui, LightBulbItem& b, float alpha);
bool DoTextButton(WidgetContext& gui, TextButtonItem& b, float alpha);
bool DoCheckBox(WidgetContext& gui, CheckBoxItem& c, float alpha);
bool DoSlider(WidgetContext& gui, SliderItem& s, float alpha);
// The track, the marks as ticks (their names at the pointer), the marker;
// a press on the track seeks, and holding it drags. True when it sought.
bool DoTimeline(WidgetContext& gui, TimelineItem& t, float alpha);
void DoProgressBar(WidgetContext& gui, ProgressBarItem& p, float alpha);

bool DoListBox(WidgetContext& gui, ListBoxItem& l, float alpha);
void DoTextList(WidgetContext& gui, TextListItem& t, float alpha);
void DoDetailList(WidgetContext& gui, DetailListItem& l, float alpha);
// A second-generation scroll bar over `track` (menu coordinates) for
// `content` pixels of which `view` are in view; the arrows step by `step`.
// Returns the new offset, within [0, content - view].
float DoScrollBar(WidgetContext& gui, ScrollBarState& s, const GuiRect& track, bool vertical, float offset, float content,
                  float view, float step, float alpha);

// The end of `text` that fits `width` in the current font (the value
// widgets show the end of a long text). Found by halving, as this runs
// every frame for every box.
std::string_view TailThatFits(Draw2D& d, std::string_view text, float width);

bool DoTextBox(WidgetContext& gui, TextBoxItem& t, float alpha);
bool DoKeyBinder(WidgetContext& gui, KeyBinderItem& k, float alpha);
bool DoDropDown(WidgetContext& gui, DropDownItem& d, float alpha);
bool DoColourPicker(WidgetContext& gui, ColourPickerItem& c, float alpha);
