// Menus 15-26: the settings window "Settings", its pages (16-20, 23-25),
// the two mouse diagrams (21, 22) and "light_settings".
#include "gui/layout/layout.h"
#include "gui/layout/layout_style.h"
#include "shell/settings.h"

using namespace layout;

namespace {

// A settings page: its menu and its title.
void Page(QorGUI& gui, const char* name, const char* title) {
  gui.AddFadeMenu(name, R(0, 0, 0, 0, 48), R(42, 85, 560, 310), false, 1.0f);
  PageTitle(gui, At(235, 55), title);
}

}  // namespace

void BuildSettingsLayout(QorGUI& gui, QorSettings&) {
  // 15: the eight tab buttons and Reset / Close / Save.
  gui.AddSlideMenu("Settings", R(0, 0, 0, 0, 48), R(30, 30, 580, 410), false, kSlideRight, kSlideDown, 0.65f);
  gui.SetOnOpen("wait 600; open Settings_genral;");
  gui.SetOnClose(
      "force_close Settings_genral; force_close Settings_sounds; force_close Settings_export; "
      "force_close Settings_OpenGL; force_close Settings_hotkeys; force_close Settings_misc; "
      "force_close Settings_theme; force_close Settings_shaders; ");
  gui.AddPicture(R(20, 20, 600, 430), kWhite, "menu_frame");
  gui.AddPicture(R(30, 81, 580, 4), {1, 1, 1, 0.9f}, "faded_lne");

  // 16: check boxes, the log mode and game drop-downs, the folder rows.
  Page(gui, "Settings_genral", "Settings - General");
  Heading(gui, At(125, 108), "LOGS");
  GroupBox(gui, R(70, 110, 150, 150));
  Heading(gui, At(115, 283), "UPDATES");
  GroupBox(gui, R(70, 285, 150, 90));
  gui.AddLabel(At(250, 272), "Active Game:");
  struct Row {
    const char* label;
    int x, y;
  };
  for (const Row& r : {Row{"   Cod4:", 280, 130}, Row{"   Cod5:", 280, 150}, Row{"Cod BO:", 280, 172},
                       Row{"Export Folder:", 243, 210}, Row{"GDT Folder:", 256, 232}})
    gui.AddColourLabel(At(r.x, r.y), kWhite, r.label);

  // 17: check boxes, the volume slider.
  Page(gui, "Settings_sounds", "Settings - Sounds");
  GroupBox(gui, R(70, 135, 130, 180));
  gui.AddLabel(At(375, 130), "Volume Level");
  gui.AddPicture(R(430, 250, 150, 150), kWhite, "stickman_sound");

  // 18: check boxes, the image format drop-down, the scale box.
  Page(gui, "Settings_export", "Settings - Export");
  Heading(gui, At(145, 113), "MA");
  GroupBox(gui, R(70, 115, 190, 70));
  Heading(gui, At(145, 219), "OBJ");
  GroupBox(gui, R(70, 220, 190, 70));
  Heading(gui, At(430, 113), "IMAGES");
  GroupBox(gui, R(330, 115, 250, 215));
  gui.AddColourLabel(At(342, 252), kGrey8, "Image Format:");
  gui.AddColourLabel(At(342, 290), {0.99f, 0, 0, 1}, "Note:");
  gui.AddColourLabel(At(342, 305), kGrey8, "All non color maps are now TGA only");
  gui.AddLabel(At(80, 330), "Model Scale:");

  // 19: check boxes, the two colour pickers, the frame cap boxes.
  Page(gui, "Settings_OpenGL", "Settings - OpenGL");
  GroupBox(gui, R(70, 100, 150, 250));
  gui.AddLabel(At(345, 120), "Grid Color:");
  gui.AddLabel(At(345, 260), "Background Color:");
  gui.AddLabel(At(80, 380), "Active FPS Cap:");
  gui.AddLabel(At(80, 400), "Sleep FPS Cap:");

  // 20: thirteen key binders, the mouse style drop-down and its boxes.
  Page(gui, "Settings_hotkeys", "Settings - HotKeys");
  gui.SetOnOpen("set_mouse_cntrl_display;");
  gui.SetOnClose("force_close Settings_hotkeys_mouse_maya; force_close Settings_hotkeys_mouse_assView;");
  struct Binder {
    const char* label;
    int y;
  };
  for (const Binder& b : {Binder{"Change Active Game:", 120}, Binder{"View Tags:", 145}, Binder{"Export MA:", 170},
                          Binder{"Export OBJ:", 195}, Binder{"Screen Shot:", 220}, Binder{"WireFrame:", 245},
                          Binder{"Toggle Xmodel List:", 270}, Binder{"Toggle Xmodel Log:", 295},
                          Binder{"Toggle Xmodel Prop:", 320}, Binder{"Toggle Settings Menu:", 345},
                          Binder{"Toggle Bounding Box:", 370}, Binder{"Toggle Central Locator:", 395},
                          Binder{"Toggle Bone Preview:", 420}})
    gui.AddLabel(At(50, b.y), b.label);
  gui.AddLabel(At(380, 121), "Mouse Controls:");

  // 21, 22
  gui.AddStaticMenu("Settings_hotkeys_mouse_maya", R(0, 0, 0, 0, 48), R(0, 0, 0, 0), false);
  gui.AddPicture(R(370, 140, 256, 256), kWhite, "hotkey_mouse");
  gui.AddStaticMenu("Settings_hotkeys_mouse_assView", R(0, 0, 0, 0, 48), R(0, 0, 0, 0), false);
  gui.AddPicture(R(370, 140, 256, 256), kWhite, "hotkey_mouse_ass_view");

  // 23: the IWD mover's game drop-down and its button.
  Page(gui, "Settings_misc", "Settings - Misc");
  Heading(gui, At(95, 117), "IWD Image Mover");
  GroupBox(gui, R(70, 120, 150, 130));
  gui.AddLabel(At(85, 152), "Game:");

  // 24: the theme drop-down.
  Page(gui, "Settings_theme", "Settings - Theme");
  gui.AddColourLabel(At(80, 120), kRed, "More Theme Options coming soon..");
  gui.AddLabel(At(80, 141), "Active Theme:");

  // 25
  Page(gui, "Settings_shaders", "Settings - Shaders");
  gui.AddColourLabel(At(80, 120), kRed, "Advanced shader options avalible in next release.");

  // 26: check box "Phong Shader".
  gui.AddStaticMenu("light_settings", R(5, 80, 0, 0), R(0, 0, 200, 100), false);
  gui.AddPicture(R(0, 0, 200, 100), {0.35f, 0.35f, 0.35f, 0.95f}, "menu_frame");
  gui.AddColourLabel(At(20, 20), kRed, "Advanced Settings\n Avalible soon");
}
