// Menus 27-37: the update menu and its parts, the IWD image mover, the
// about menu, the donation prompt, the error and message boxes; then the
// box text area.
#include "gui/layout/layout.h"
#include "gui/layout/layout_style.h"
#include "shell/settings.h"

using namespace layout;

namespace {

// 36 and 37 share their look.
void MessageBox(QorGUI& gui, const char* name, const char* title, int title_x, const char* icon) {
  gui.AddFadeMenu(name, R(0, 0, 0, 0), R(0, 0, 640, 480, 12), false, 0.5f);
  gui.SetOnOpen(std::string_view(name) == "error_menu" ? "display_error;" : "display_msg;");
  gui.SetOnClose(std::string_view(name) == "error_menu" ? "hide_error;" : "hide_msg;");
  gui.AddSizedLabel(At(title_x, 165, 48), kRed, title, 18, true);
  gui.AddFilledRect(R(0, 0, 640, 480, 12), {0.1f, 0.1f, 0.1f, 0.75f});
  DarkPanel(gui, R(165, 150, 310, 200, 48));
  gui.AddPicture(R(190, 215, 64, 64, 48), kWhite, icon);
}

}  // namespace

void BuildDialogsLayout(QorGUI& gui, QorSettings&) {
  // 27
  gui.AddFadeMenu("update_menu_background", R(0, 0, 0, 0), R(0, 0, 640, 480, 12), false, 0.5f);
  gui.AddFilledRect(R(0, 0, 640, 480, 12), {0.1f, 0.1f, 0.1f, 0.8f});
  // 28: "Release Notes" and "Close", progress bar "download_progress".
  gui.AddFadeMenu("update_menu", R(0, 0, 0, 0, 48), R(0, 0, 640, 480, 12), false, 0.5f);
  gui.SetOnOpen("open update_menu_background; open update_menu_download;");
  gui.SetOnClose("close update_menu_background; close update_menu_download; close update_menu_cancel;");
  DarkPanel(gui, R(120, 105, 400, 270));
  PageTitle(gui, At(235, 120), "Update Available !");
  gui.AddColourLabel(At(145, 180), kGrey8,
                     "A update is avalible !\n\nIt is strongly recommended you update, you will\n not loose any of "
                     "your settings.");
  // 29: "Download Update"; 30: "Cancel".
  gui.AddStaticMenu("update_menu_download", R(0, 0, 0, 0, 48), R(0, 0, 0, 0), false);
  gui.AddStaticMenu("update_menu_cancel", R(0, 0, 0, 0, 48), R(0, 0, 0, 0), false);

  // 31
  gui.AddStaticMenu("iwd_images_menu_lock", R(0, 0, 0, 0), R(0, 0, 640, 480, 12), false);
  gui.AddFilledRect(R(0, 0, 640, 480, 12), {0.1f, 0.1f, 0.1f, 0.5f});
  // 32: "Scan" and "Cancel", progress bar "IWD_SCAN_progress".
  gui.AddStaticMenu("iwd_images_menu", R(0, 0, 0, 0, 48), R(0, 0, 0, 0), false);
  gui.SetOnOpen("open iwd_images_menu_lock;");
  gui.SetOnClose("close iwd_images_menu_lock;");
  DarkPanel(gui, R(100, 85, 440, 310));
  PageTitle(gui, At(235, 102), "IWD Image Mover");
  gui.AddLabel(At(120, 130),
               "It looks like you have not moved all the images\n out of the 'main' game files.\n\nThis will result "
               "in textures not loading for most of the models.\n\n\nThis tool can scan the IWD's and move them for "
               "you.\n\n\n\nClick 'scan' to continue or cancel to continue as normal.");
  gui.AddLabel(At(150, 280), "Current IWD: \n\niwi's Moved: \n\niwi's Skipped: ");
  gui.AddNamedLabel(At(240, 280), kGrey8, "iwd_progress_text");
  gui.AddNamedLabel(At(240, 280), kGrey8, "iwi_progress_text");

  // 33: "Donate" and "Close".
  gui.AddFadeMenu("about_menu", R(0, 0, 0, 0), R(0, 0, 640, 480, 12), false, 1.0f);
  gui.AddFilledRect(R(0, 0, 640, 480, 12), {0.1f, 0.1f, 0.1f, 0.5f});
  DarkPanel(gui, R(120, 105, 400, 270, 48));
  gui.AddPicture(R(225, 115, 200, 41, 48), kWhite, "qor_logo");
  gui.AddColourLabel(At(145, 180, 48), kGrey8, "Qor_Fen Vantor: model viewer and converter");
  gui.AddColourLabel(At(155, 200, 48), kGrey8, std::string("Version ") + kGuiVersionText);
  gui.AddColourLabel(At(155, 220, 48), kGrey8, "By the Vantor developers");
  gui.AddColourLabel(At(155, 240, 48), kGrey8, "https://vantor.invalid");
  gui.AddColourLabel(At(145, 270, 48), kGrey8, "Advanced Xmodel exporter with 3D model view, exports to:");
  gui.AddColourLabel(At(155, 290, 48), {0.8f, 0.2f, 0.2f, 1}, ".ma(mel) .obj(mtl) .Xmodel_Export");
  gui.AddColourLabel(At(145, 320, 48), kGrey8, "Supported Games:");
  gui.AddColourLabel(At(155, 340, 48), {0.8f, 0.2f, 0.2f, 1}, "Cod4 Cod5 CodBO");

  // 34
  gui.AddFadeMenu("donate_menu_lock", R(0, 0, 0, 0), R(0, 0, 640, 480, 12), false, 0.3f);
  gui.AddFilledRect(R(0, 0, 640, 480, 12), {0.1f, 0.1f, 0.1f, 0.75f});
  // 35: the donate button over the picture, "No Thanks".
  gui.AddSlideMenu("donate_menu", R(0, 0, 0, 0), R(0, 0, 640, 480, 12), false, kSlideLeft, kSlideLeft, 0.65f);
  gui.SetOnOpen("open donate_menu_lock;");
  gui.SetOnClose("close donate_menu_lock;");
  gui.AddPicture(R(0, 50, 256, 256), kWhite, "donate_background");

  // 36, 37: text button "Close" each.
  MessageBox(gui, "error_menu", "Error", 290, "error_icon");
  MessageBox(gui, "msg_box_menu", "Message", 280, "info_icon");

  gui.SetBoxTextArea(R(280, 220, 150, 180, 48));
}
