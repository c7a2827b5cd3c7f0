// The folder entry: on a desktop without a folder dialog, the path is typed
// into the window. Not one of the fixed menus: the shell adds it after them,
// so it draws over everything, and opens it for a browse with the path box
// focused. It has the keyboard: Enter accepts, Escape cancels.
#include <utility>

#include "gui/qor_gui.h"
#include "shell/screens/layout.h"
#include "shell/screens/layout_style.h"

using namespace layout;

void BuildFolderEntry(QorGUI& gui, FolderEntryHooks hooks) {
  // Its area is the whole window: nothing under it takes a click while it is open.
  gui.AddStaticMenu(kFolderEntryMenu, R(0, 0, 0, 0), R(0, 0, 640, 480, 12), false);
  gui.SetDialogKeys([accept = hooks.accept, cancel = hooks.cancel](int vk) {
    if (vk == 0x0D && accept) accept();
    if (vk == 0x1B && cancel) cancel();
  });
  // The window dimmed behind a solid panel, as under the other dialogs.
  gui.AddFilledRect(R(0, 0, 640, 480, 12), {0.1f, 0.1f, 0.1f, 0.75f});
  gui.AddFilledRect(R(110, 185, 420, 110, 48), {0.12f, 0.12f, 0.12f, 1});
  DarkPanel(gui, R(110, 185, 420, 110, 48));
  gui.AddNamedLabel(At(125, 207, 48), kGrey8, kFolderEntryTitle);
  gui.AddTextBox(kFolderEntryBox, "Type the folder's path", R(125, 220, 390, 17, 48), kBoxFrame, kBoxHover, kBoxText,
                 [](const std::string&) {});
  // A whole path, up to what the settings store keeps.
  gui.FindMenu(kFolderEntryMenu)->text_boxes.back().max_length = 259;
  gui.AddTextButton(R(370, 260, 65, 20, 48), "OK", std::move(hooks.accept));
  gui.AddTextButton(R(450, 260, 65, 20, 48), "Cancel", std::move(hooks.cancel));
}
