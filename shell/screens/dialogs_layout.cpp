// Menus 28-38: the update menu and its parts, the IWD image mover, the
// about menu, the donation prompt, the error and message boxes; then the
// box text area. Each dialog closes on Escape as its Close or Cancel does.
#include "shell/screens/layout.h"
#include "shell/screens/layout_style.h"
#include "shell/settings.h"

using namespace layout;

namespace {

// A dialog's dark panel over an opaque fill: the panel picture alone lets
// what lies behind show through its text.
void ModalPanel(QorGUI& gui, GuiRect rect) {
  gui.AddFilledRect(rect, {0.1f, 0.1f, 0.1f, 1});
  DarkPanel(gui, rect);
}

// 36 and 37 share their look.
void MessageBox(QorGUI& gui, const char* name, const char* title, int title_x, const char* icon,
                const char* close) {
  gui.AddFadeMenu(name, R(0, 0, 0, 0), R(0, 0, 640, 480, 12), false, 0.5f);
  gui.SetOnOpen(std::string_view(name) == "error_menu" ? "display_error;" : "display_msg;");
  gui.SetOnClose(std::string_view(name) == "error_menu" ? "hide_error;" : "hide_msg;");
  gui.SetEscapeCommand(close);
  gui.AddFilledRect(R(0, 0, 640, 480, 12), {0.1f, 0.1f, 0.1f, 0.75f});
  ModalPanel(gui, R(165, 150, 310, 200, 48));
  gui.AddSizedLabel(At(title_x, 165, 48), kRed, title, 18, true);
  gui.AddPicture(R(190, 215, 64, 64, 48), kWhite, icon);
  gui.AddTextButton(R(380, 310, 65, 20, 48), "Close", close);
}

// A three-part picture button in the usual pictures and a white label.
void Button(QorGUI& gui, GuiRect rect, const char* label, const char* command) {
  gui.AddPictureButton(rect, kWhite, "button", "button_hi", label, 15, 14, command);
}

}  // namespace

void BuildDialogsLayout(QorGUI& gui, QorSettings&) {
  // 28
  gui.AddFadeMenu("update_menu_background", R(0, 0, 0, 0), R(0, 0, 640, 480, 12), false, 0.5f);
  gui.AddFilledRect(R(0, 0, 640, 480, 12), {0.1f, 0.1f, 0.1f, 0.8f});
  // 29
  gui.AddFadeMenu("update_menu", R(0, 0, 0, 0, 48), R(0, 0, 640, 480, 12), false, 0.5f);
  gui.SetOnOpen("open update_menu_background; open update_menu_download;");
  // Closing the menu (its Cancel) also ends a download that runs.
  gui.SetOnClose(
      "stop_update_download; close update_menu_background; close update_menu_download; close update_menu_cancel;");
  gui.SetEscapeCommand("close update_menu;");
  ModalPanel(gui, R(120, 105, 400, 270));
  PageTitle(gui, At(235, 120), "Update Available !");
  gui.AddColourLabel(At(145, 180), kGrey8,
                     "A update is avalible !\n\nIt is strongly recommended you update, you will\n not loose any of "
                     "your settings.");
  gui.AddPictureButton(R(300, 336, 80, 20), {0, 0.7f, 0, 1}, "blank_trans", "blank_trans", "Release Notes", 6, 14,
                       "show_release_notes;", false);
  Button(gui, R(420, 336, 65, 20), "Close", "close update_menu;");
  gui.AddProgressBar(R(150, 340, 150, 16), {0.1f, 0.65f, 0.1f, 0.8f}, 2000, "download_progress");
  // 30
  gui.AddStaticMenu("update_menu_download", R(0, 0, 0, 0, 48), R(0, 0, 0, 0), false);
  gui.AddPictureButton(R(150, 250, 256, 64), kWhite, "download_icon", "download_icon", "Download Update", 70, 32,
                       "download_update; close update_menu_download; open update_menu_cancel;", false);
  // 31
  gui.AddStaticMenu("update_menu_cancel", R(0, 0, 0, 0, 48), R(0, 0, 0, 0), false);
  Button(gui, R(150, 285, 75, 20), "Cancel", "close update_menu;");

  // 32
  gui.AddStaticMenu("iwd_images_menu_lock", R(0, 0, 0, 0), R(0, 0, 640, 480, 12), false);
  gui.AddFilledRect(R(0, 0, 640, 480, 12), {0.1f, 0.1f, 0.1f, 0.5f});
  // 33
  gui.AddStaticMenu("iwd_images_menu", R(0, 0, 0, 0, 48), R(0, 0, 0, 0), false);
  gui.SetOnOpen("open iwd_images_menu_lock;");
  gui.SetOnClose("close iwd_images_menu_lock;");
  gui.SetEscapeCommand("cancel_iwd_scan; close iwd_images_menu;");
  ModalPanel(gui, R(100, 85, 440, 310));
  PageTitle(gui, At(235, 102), "IWD Image Mover");
  gui.AddLabel(At(120, 130),
               "It looks like you have not moved all the images\n out of the 'main' game files.\n\nThis will result "
               "in textures not loading for most of the models.\n\n\nThis tool can scan the IWD's and move them for "
               "you.\n\n\n\nClick 'scan' to continue or cancel to continue as normal.");
  gui.AddLabel(At(150, 280), "Current IWD: \n\niwi's Moved: \n\niwi's Skipped: ");
  gui.AddNamedLabel(At(240, 280), kGrey8, "iwd_progress_text");
  gui.AddNamedLabel(At(240, 280), kGrey8, "iwi_progress_text");
  gui.AddTextButton(R(440, 336, 70, 20), "Scan", "run_iwd_scan;");
  gui.AddTextButton(R(440, 360, 70, 20), "Cancel", "cancel_iwd_scan; close iwd_images_menu;");
  gui.AddProgressBar(R(130, 360, 150, 16), {0.1f, 0.65f, 0.1f, 0.8f}, 2000, "IWD_SCAN_progress");
  // A finished pass's counts, shown until the panel is closed.
  gui.AddNamedLabel(At(130, 390), kGrey8, "iwd_result_text");

  // 34
  gui.AddFadeMenu("about_menu", R(0, 0, 0, 0), R(0, 0, 640, 480, 12), false, 1.0f);
  gui.SetEscapeCommand("close about_menu;");
  gui.AddFilledRect(R(0, 0, 640, 480, 12), {0.1f, 0.1f, 0.1f, 0.5f});
  ModalPanel(gui, R(120, 105, 400, 270, 48));
  gui.AddPicture(R(225, 115, 200, 41, 48), kWhite, "qor_logo");
  gui.AddColourLabel(At(145, 180, 48), kGrey8, "Qor_Fen Vantor: model viewer and converter");
  gui.AddColourLabel(At(155, 200, 48), kGrey8, std::string("Version ") + kGuiVersionText);
  gui.AddColourLabel(At(155, 220, 48), kGrey8, "By the Vantor developers");
  gui.AddColourLabel(At(155, 240, 48), kGrey8, "https://vantor.invalid");
  gui.AddColourLabel(At(145, 270, 48), kGrey8, "Advanced Xmodel exporter with 3D model view, exports to:");
  gui.AddColourLabel(At(155, 290, 48), {0.8f, 0.2f, 0.2f, 1}, ".ma(mel) .obj(mtl) .Xmodel_Export");
  gui.AddColourLabel(At(145, 320, 48), kGrey8, "Supported Games:");
  gui.AddColourLabel(At(155, 340, 48), {0.8f, 0.2f, 0.2f, 1}, "Cod4 Cod5 CodBO");
  gui.AddTextButton(R(350, 335, 65, 20, 48), "Donate", "close about_menu; open donate_menu;");
  gui.AddTextButton(R(420, 335, 65, 20, 48), "Close", "close about_menu;");

  // 35
  gui.AddFadeMenu("donate_menu_lock", R(0, 0, 0, 0), R(0, 0, 640, 480, 12), false, 0.3f);
  gui.AddFilledRect(R(0, 0, 640, 480, 12), {0.1f, 0.1f, 0.1f, 0.75f});
  // 36
  gui.AddSlideMenu("donate_menu", R(0, 0, 0, 0), R(0, 0, 640, 480, 12), false, kSlideLeft, kSlideLeft, 0.65f);
  gui.SetOnOpen("open donate_menu_lock;");
  gui.SetOnClose("close donate_menu_lock;");
  gui.SetEscapeCommand("close donate_menu;");
  gui.AddPicture(R(0, 50, 256, 256), kWhite, "donate_background");
  gui.AddPictureButton(R(17, 255, 70, 30), kWhite, "blank_trans", "blank_trans", "", 0, 0,
                       "close donate_menu; pay_pal_donate;", false);
  Button(gui, R(157, 272, 80, 20), "No Thanks", "close donate_menu;");

  // 36, 37
  MessageBox(gui, "error_menu", "Error", 290, "error_icon", "close error_menu;");
  MessageBox(gui, "msg_box_menu", "Message", 280, "info_icon", "close msg_box_menu;");

  gui.SetBoxTextArea(R(280, 220, 150, 180, 48));
}
