// The one hover-and-click recipe of the buttons, in the order every widget
// follows: hover test (not while the menu animates), "menu_focus" on
// entering, and on a press with the button held: the press taken (one
// press acts on one widget), "menu_accept", then the action.
#pragma once

#include <functional>
#include <string_view>

#include "gui/commands.h"
#include "gui/gui_rect.h"
#include "gui/item_base.h"

class WidgetContext;

// True when the widget was pressed this frame; `hovered` carries from frame
// to frame.
bool ButtonBehaviour(WidgetContext& gui, const GuiRect& rect, bool& hovered);
// The outline of the value widgets (text box, key binder, drop-down): the
// hover colour while `lit` (hovered, focused, waiting, open), then fading to
// grey over `span_ms` from `fade_start` while `fading` is set; the fade keeps
// the window drawing and clears `fading` when it is over.
Rgba FadingOutline(WidgetContext& gui, const Rgba& hover, bool lit, bool& fading, double fade_start, double span_ms);

// The callback when there is one, else the command list.
void RunAction(WidgetContext& gui, const CommandList& command, const std::function<void()>& callback);

// One entry of a context menu ("Copy Name", "Paste Text", ...): dark when
// hovered, grey otherwise, framed, its text inset.
void DrawMenuEntry(WidgetContext& gui, const GuiRect& entry, bool over, std::string_view text, float alpha);
