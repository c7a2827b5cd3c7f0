// The one hover-and-click recipe of the buttons, in the order every widget
// follows: hover test (not while the menu animates), "menu_focus" on
// entering, and on a press with the button held: the press taken (one
// press acts on one widget), "menu_accept", then the action.
#pragma once

#include <functional>

#include "gui/commands.h"
#include "gui/gui_rect.h"

class QorGUI;

// True when the widget was pressed this frame; `hovered` carries from frame
// to frame.
bool ButtonBehaviour(QorGUI& gui, const GuiRect& rect, bool& hovered);
// The callback when there is one, else the command list.
void RunAction(QorGUI& gui, const CommandList& command, const std::function<void()>& callback);
