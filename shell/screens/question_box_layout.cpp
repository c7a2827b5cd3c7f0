// The question box: a yes/no question put to the user in the window. Not one
// of the fixed menus: the shell adds it after the folder entry, so it draws
// over everything. Y or Enter answers yes, N or Escape no.
#include <utility>

#include "gui/qor_gui.h"
#include "shell/screens/layout.h"
#include "shell/screens/layout_style.h"

using namespace layout;

void BuildQuestionBox(QorGUI& gui, std::function<void(bool yes)> answer) {
  // Its area is the whole window: nothing under it takes a click while it is open.
  gui.AddStaticMenu(kQuestionMenu, R(0, 0, 0, 0), R(0, 0, 640, 480, 12), false);
  gui.SetDialogKeys([answer](int vk) {
    if (vk == 'Y' || vk == 0x0D) answer(true);
    if (vk == 'N' || vk == 0x1B) answer(false);
  });
  gui.AddFilledRect(R(0, 0, 640, 480, 12), {0.1f, 0.1f, 0.1f, 0.75f});
  gui.AddFilledRect(R(130, 150, 380, 180, 48), {0.12f, 0.12f, 0.12f, 1});
  DarkPanel(gui, R(130, 150, 380, 180, 48));
  gui.AddPicture(R(150, 200, 64, 64, 48), kWhite, "info_icon");
  gui.AddNamedLabel(At(150, 177, 48), kRed, kQuestionTitle);
  gui.AddNamedLabel(At(230, 205, 48), kGrey8, kQuestionText);
  gui.AddTextButton(R(350, 300, 65, 20, 48), "Yes", [answer] { answer(true); });
  gui.AddTextButton(R(425, 300, 65, 20, 48), "No", [answer] { answer(false); });
}
