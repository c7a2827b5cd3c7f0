#include "gui/item_behaviour.h"

#include "gui/qor_gui.h"

bool ButtonBehaviour(QorGUI& gui, const GuiRect& rect, bool& hovered) {
  const bool was = hovered;
  hovered = gui.HoverTest(rect);
  if (hovered && !was) gui.PlaySound("menu_focus", 1);
  if (!hovered || !gui.button_held() || !gui.ClickTest(rect)) return false;
  gui.ConsumeClick();
  gui.PlaySound("menu_accept", 1);
  return true;
}

void RunAction(QorGUI& gui, const CommandList& command, const std::function<void()>& callback) {
  if (callback) {
    callback();
  } else {
    gui.commands().Processcmd(command);
  }
}
