// Menus 15-26: the settings window "Settings", its pages (16-20, 23-25),
// the two mouse diagrams (21, 22) and "light_settings".
#include <initializer_list>
#include <string>
#include <utility>

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

struct Check {
  const char* label;
  bool* setting;
  const char* name;  // "Key/value"
};

// Check boxes one under the other.
void Checks(QorGUI& gui, int x, int y, int step, std::initializer_list<Check> checks) {
  for (const Check& c : checks) {
    gui.AddCheckBox(R(x, y, 120, 20), c.label, c.setting, c.name);
    y += step;
  }
}

// Each tab force-closes the seven other pages, in this order, and opens
// its own (the THEME and SHADERS tabs list misc before hotkeys).
std::string TabCommand(const char* page, bool misc_first) {
  const char* order[] = {"Settings_genral", "Settings_sounds",  "Settings_export", "Settings_OpenGL",
                         "Settings_hotkeys", "Settings_misc", "Settings_theme",  "Settings_shaders"};
  if (misc_first) std::swap(order[4], order[5]);
  std::string text;
  for (const char* other : order)
    if (std::string_view(other) != page) text += "force_close " + std::string(other) + "; ";
  return text + "open " + page + ";";
}

}  // namespace

void BuildSettingsLayout(QorGUI& gui, QorSettings& s, const LayoutHooks& hooks) {
  // 15
  gui.AddSlideMenu("Settings", R(0, 0, 0, 0, 48), R(30, 30, 580, 410), false, kSlideRight, kSlideDown, 0.65f);
  gui.SetOnOpen("wait 600; open Settings_genral;");
  gui.SetOnClose(
      "force_close Settings_genral; force_close Settings_sounds; force_close Settings_export; "
      "force_close Settings_OpenGL; force_close Settings_hotkeys; force_close Settings_misc; "
      "force_close Settings_theme; force_close Settings_shaders; ");
  DarkPanel(gui, R(20, 20, 600, 430));
  struct Tab {
    const char* label;
    int x, w;
    int16_t dx;
    const char* page;
    bool misc_first;
  };
  for (const Tab& t : {Tab{"GENERAL", 50, 65, 10, "Settings_genral", false}, Tab{"SOUNDS", 116, 61, 9, "Settings_sounds", false},
                       Tab{"EXPORT", 178, 60, 10, "Settings_export", false}, Tab{"OPEN GL", 239, 65, 10, "Settings_OpenGL", false},
                       Tab{"HOT KEYS", 305, 70, 10, "Settings_hotkeys", false}, Tab{"MISC", 376, 42, 10, "Settings_misc", false},
                       Tab{"THEME", 419, 54, 10, "Settings_theme", true}, Tab{"SHADERS", 474, 68, 10, "Settings_shaders", true}})
    gui.AddPictureButton(R(t.x, 60, t.w, 20), {0.7f, 0.7f, 0.7f, 1}, "button", "button_hi", t.label, t.dx, 15,
                         TabCommand(t.page, t.misc_first));
  gui.AddPicture(R(30, 81, 580, 4), {1, 1, 1, 0.9f}, "faded_lne");
  gui.AddTextButton(R(410, 410, 55, 20), "Reset", "toggle_menu Settings; reset_settings;");
  gui.AddTextButton(R(470, 410, 55, 20), "Close", "toggle_menu Settings;");
  gui.AddTextButton(R(530, 410, 53, 20), "Save", "toggle_menu Settings; save settings;");

  // 16: (the log mode and game drop-downs, the folder rows' boxes and buttons)
  Page(gui, "Settings_genral", "Settings - General");
  Heading(gui, At(125, 108), "LOGS");
  GroupBox(gui, R(70, 110, 150, 150));
  Checks(gui, 80, 135, 25,
         {{"Xmodel Log", &s.log_xmodel, "Logs/log_xmodel"},
          {"Hide Warnings", &s.log_supress_warnings, "Logs/log_supress_warnings"},
          {"Hide Genral Msg", &s.log_supress_genral, "Logs/log_supress_genral"}});
  Heading(gui, At(115, 283), "UPDATES");
  GroupBox(gui, R(70, 285, 150, 90));
  Checks(gui, 80, 303, 0, {{"Auto Check", &s.auto_update, "Misc/auto_update"}});
  gui.AddTextButton(R(80, 335, 130, 20), "Check for Updates", [hooks] {
    if (hooks.check_for_updates) hooks.check_for_updates();
  });
  Checks(gui, 80, 390, 25,
         {{"Create Tray Icon", &s.create_tray_icon, "Misc/create_tray_icon"},
          {"Window On Top", &s.window_on_top, "Misc/window_on_top"}});
  Checks(gui, 335, 340, 25,
         {{"Save Menu States", &s.save_menu_states, ""},
          {"Save Main Window Size", &s.save_main_window, "Menus/save_main_window"}});
  gui.AddLabel(At(250, 272), "Active Game:");
  struct Row {
    const char* label;
    int x, y;
  };
  for (const Row& r : {Row{"   Cod4:", 280, 130}, Row{"   Cod5:", 280, 150}, Row{"Cod BO:", 280, 172},
                       Row{"Export Folder:", 243, 210}, Row{"GDT Folder:", 256, 232}})
    gui.AddColourLabel(At(r.x, r.y), kWhite, r.label);

  // 17
  Page(gui, "Settings_sounds", "Settings - Sounds");
  Checks(gui, 80, 110, 0, {{"Disable All Sounds", &s.sound_all, "Sound/sound_all"}});
  GroupBox(gui, R(70, 135, 130, 180));
  Checks(gui, 80, 155, 25,
         {{"Focus", &s.sound_focus, "Sound/sound_focus"},
          {"Accept", &s.sound_accept, "Sound/sound_accept"},
          {"Export", &s.sound_export, "Sound/sound_export"},
          {"Welcome", &s.sound_welcome, "Sound/sound_welcome"},
          {"Leaving", &s.sound_leave, "Sound/sound_leave"}});
  gui.AddLabel(At(375, 130), "Volume Level");
  // Written on release, and applied to the sound player then.
  gui.AddSlider(R(395, 140, 160, 16), 0, 1, nullptr,
                [&s, hooks](float level) {
                  s.sound_level = level;
                  if (hooks.sound_level) hooks.sound_level(level);
                },
                true, "master_volume");
  gui.menus().back()->sliders.back().value = s.sound_level;
  gui.AddPicture(R(430, 250, 150, 150), kWhite, "stickman_sound");

  // 18: (the image format drop-down, the scale box)
  Page(gui, "Settings_export", "Settings - Export");
  Heading(gui, At(145, 113), "MA");
  GroupBox(gui, R(70, 115, 190, 70));
  Checks(gui, 80, 140, 0, {{"Include Bind Script", &s.export_MA_BIND, "Export/export_MA_BIND"}});
  Heading(gui, At(145, 219), "OBJ");
  GroupBox(gui, R(70, 220, 190, 70));
  Checks(gui, 80, 240, 0, {{"Include MTL", &s.export_MTL, "Export/export_MTL"}});
  Heading(gui, At(430, 113), "IMAGES");
  GroupBox(gui, R(330, 115, 250, 215));
  Checks(gui, 340, 140, 30,
         {{"Export Images With Model", &s.export_images, "Export/export_images"},
          {"Export images to export folder", &s.export_images_local, "Export/export_images_local"},
          {"Export only color Map's", &s.export_images_col, "Export/export_images_col"}});
  Checks(gui, 80, 350, 30,
         {{"Create Sub directory for each model", &s.export_sub_dir, "Export/export_sub_dir"},
          {"Save Tags in export folder", &s.export_tags_local, "Export/export_tags_local"}});
  gui.AddColourLabel(At(342, 252), kGrey8, "Image Format:");
  gui.AddColourLabel(At(342, 290), {0.99f, 0, 0, 1}, "Note:");
  gui.AddColourLabel(At(342, 305), kGrey8, "All non color maps are now TGA only");
  gui.AddLabel(At(80, 330), "Model Scale:");

  // 19: (the two colour pickers, the frame cap boxes)
  Page(gui, "Settings_OpenGL", "Settings - OpenGL");
  GroupBox(gui, R(70, 100, 150, 250));
  Checks(gui, 80, 120, 25,
         {{"Vsync", &s.Vsync, "OpenGl/Vsync"},
          {"MultiSampling", &s.multisampling, "OpenGl/multisampling"},
          {"WireFrame", &s.wireframe, "OpenGl/wireframe"},
          {"Display Grid", &s.draw_grid, "OpenGl/draw_grid"},
          {"Display Axis", &s.draw_axis, "OpenGl/draw_axis"},
          {"Load Textures", &s.load_model_textures, "OpenGl/load_model_textures"},
          {"Bounding Box", &s.bounding_box, "OpenGl/bounding_box"},
          {"Central Locator", &s.central_locator, "OpenGl/central_locator"},
          {"Draw 3D Bones", &s.draw_bones, "OpenGl/draw_bones"}});
  gui.AddLabel(At(345, 120), "Grid Color:");
  gui.AddLabel(At(345, 260), "Background Color:");
  gui.AddLabel(At(80, 380), "Active FPS Cap:");
  gui.AddLabel(At(80, 400), "Sleep FPS Cap:");

  // 20: (thirteen key binders, the mouse style drop-down and its boxes)
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

  // 23: (the IWD mover's game drop-down and its button)
  Page(gui, "Settings_misc", "Settings - Misc");
  Heading(gui, At(95, 117), "IWD Image Mover");
  GroupBox(gui, R(70, 120, 150, 130));
  gui.AddLabel(At(85, 152), "Game:");

  // 24: (the theme drop-down)
  Page(gui, "Settings_theme", "Settings - Theme");
  gui.AddColourLabel(At(80, 120), kRed, "More Theme Options coming soon..");
  gui.AddLabel(At(80, 141), "Active Theme:");

  // 25
  Page(gui, "Settings_shaders", "Settings - Shaders");
  gui.AddColourLabel(At(80, 120), kRed, "Advanced shader options avalible in next release.");

  // 26: (check box "Phong Shader", with the phong shader's setting)
  gui.AddStaticMenu("light_settings", R(5, 80, 0, 0), R(0, 0, 200, 100), false);
  gui.AddPicture(R(0, 0, 200, 100), {0.35f, 0.35f, 0.35f, 0.95f}, "menu_frame");
  gui.AddColourLabel(At(20, 20), kRed, "Advanced Settings\n Avalible soon");
}
