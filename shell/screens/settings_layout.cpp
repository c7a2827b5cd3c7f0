// Menus 16-27: the settings window "Settings", its pages (16-20, 23-25),
// the two mouse diagrams (21, 22) and "light_settings".
#include <cstdio>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gui/colour_hsv.h"
#include "gui/key_names.h"
#include "shell/screens/layout.h"
#include "shell/screens/layout_style.h"
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

std::map<int, std::string> GameOptions() { return {{0, "COD 4"}, {1, "COD 5"}, {2, "COD BO"}}; }

// The model scale as the box shows it: no trailing zeros.
std::string Decimal(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", double(value));
  return text;
}

// After a bind: a key another action has already is said in the message box
// (both keep it). The XMODEL_EXPORT slot has no binder but holds a key.
void NoteKeyClash(QorGUI& gui, QorSettings& s, const HotKeySlot* bound) {
  std::vector<std::pair<const HotKeySlot*, std::string>> others = {{&s.key_map[4], "export_XE"}};
  for (const KeyBinderItem& k : gui.FindMenu("Settings_hotkeys")->key_binders) others.emplace_back(k.key, k.name);
  for (const auto& [key, action] : others) {
    if (key == bound || !SameKey(*key, *bound)) continue;
    gui.SetMessage("Key '" + KeyName(StoredKey(*bound)) + "' is also bound to: " + action);
    gui.commands().RunCommand("open msg_box_menu;");
    return;
  }
}

}  // namespace

void BuildSettingsLayout(QorGUI& gui, QorSettings& s, const LayoutHooks& hooks) {
  // 16
  gui.AddSlideMenu("Settings", R(0, 0, 0, 0, 48), R(30, 30, 580, 410), false, kSlideRight, kSlideDown, 0.65f);
  gui.SetOnOpen("wait 600; open Settings_genral;");
  gui.SetOnClose(
      "force_close Settings_genral; force_close Settings_sounds; force_close Settings_export; "
      "force_close Settings_OpenGL; force_close Settings_hotkeys; force_close Settings_misc; "
      "force_close Settings_theme; force_close Settings_shaders; ");
  gui.SetEscapeCommand("toggle_menu Settings;");
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
  // The store is cleared only once the user said yes.
  gui.AddTextButton(R(410, 410, 55, 20), "Reset", [&gui, ask = Handler(hooks.ask_question, "AskQuestion")] {
    ask("Reset Settings", "Clear every stored setting?\nThe defaults come back at the next start.", [&gui](bool yes) {
      if (yes) gui.commands().RunCommand("toggle_menu Settings; reset_settings;");
    });
  });
  gui.AddTextButton(R(470, 410, 55, 20), "Close", "toggle_menu Settings;");
  gui.AddTextButton(R(530, 410, 53, 20), "Save", "toggle_menu Settings; save settings;");

  // 17
  Page(gui, "Settings_genral", "Settings - General");
  Heading(gui, At(125, 108), "LOGS");
  GroupBox(gui, R(70, 110, 150, 150));
  Checks(gui, 80, 135, 25,
         {{"Xmodel Log", &s.log_xmodel, "Logs/log_xmodel"},
          {"Hide Warnings", &s.log_supress_warnings, "Logs/log_supress_warnings"},
          {"Hide Genral Msg", &s.log_supress_genral, "Logs/log_supress_genral"}});
  gui.AddDropDown(R(80, 220, 120, 18), {{0, "Normal Mode"}, {1, "SYNC writes"}},
                  Handler(hooks.set_logging_mode, "SetLoggingMode"), s.logging_mode);
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
  gui.AddDropDown(R(335, 260, 120, 18), GameOptions(), Handler(hooks.set_active_game, "SetActiveGame"),
                  s.active_game);
  // The folder rows: the path (read-only), browse, reset.
  struct Row {
    const char* label;
    int x, y;
    const char* box;
    int box_y, browse_y, reset_y;
    const std::string& path;
    std::function<void()> browse, clear;
  };
  for (const Row& r : {
           Row{"   Cod4:", 280, 130, "output_cod4", 115, 116, 115, s.Cod4Path,
               Handler(hooks.browse_game_root, "BrowseGameRoot", 0), Handler(hooks.clear_game_root, "ClearGameRoot", 0)},
           Row{"   Cod5:", 280, 150, "output_cod5", 137, 138, 137, s.Cod5Path,
               Handler(hooks.browse_game_root, "BrowseGameRoot", 1), Handler(hooks.clear_game_root, "ClearGameRoot", 1)},
           Row{"Cod BO:", 280, 172, "output_cod_bo", 159, 160, 159, s.BOPath,
               Handler(hooks.browse_game_root, "BrowseGameRoot", 2), Handler(hooks.clear_game_root, "ClearGameRoot", 2)},
           Row{"Export Folder:", 243, 210, "output_dir", 197, 198, 197, s.export_folder,
               Handler(hooks.browse_export_folder, "BrowseExportFolder"),
               Handler(hooks.clear_export_folder, "ClearExportFolder")},
           Row{"GDT Folder:", 256, 232, "output_GDT_dir", 219, 221, 220, s.export_folder_GDT,
               Handler(hooks.browse_gdt_folder, "BrowseGdtFolder"), Handler(hooks.clear_gdt_folder, "ClearGdtFolder")}}) {
    gui.AddColourLabel(At(r.x, r.y), kWhite, r.label);
    gui.AddTextBox(r.box, r.path, R(335, r.box_y, 225, 17), kBoxFrame, kBoxHover, kBoxText, nullptr, true);
    gui.AddPictureButton(R(562, r.browse_y, 16, 16), kWhite, "button_semi_hi", "button_semi", "...", 7, 12, r.browse,
                         false);
    gui.AddPictureButton(R(580, r.reset_y, 16, 16), kWhite, "reset_path_dark", "reset_path", "", 0, 0, r.clear, false);
  }

  // 18
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

  // 19
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
  gui.AddDropDown(R(440, 240, 60, 18), {{0, "DDS"}, {1, "TGA"}}, Handler(hooks.set_export_as_tga, "SetExportAsTga"),
                  s.export_img_as_tga);
  gui.AddColourLabel(At(342, 290), {0.99f, 0, 0, 1}, "Note:");
  gui.AddColourLabel(At(342, 305), kGrey8, "All non color maps are now TGA only");
  gui.AddLabel(At(80, 330), "Model Scale:");
  gui.AddTextBox("model_scale", Decimal(s.export_scale_new), R(160, 317, 80, 17), kBoxFrame, kBoxHover, kBoxText,
                 Handler(hooks.set_model_scale, "SetModelScale"), false);

  // 20
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
  gui.AddColourPicker(At(340, 125), {0.4f, 0.4f, 0.4f, 1}, Handler(hooks.set_grid_colour, "SetGridColour"),
                      RgbaOfColourRef(s.color_grid));
  gui.AddLabel(At(345, 260), "Background Color:");
  gui.AddColourPicker(At(340, 265), {0.4f, 0.4f, 0.4f, 1}, Handler(hooks.set_background_colour, "SetBackgroundColour"),
                      RgbaOfColourRef(s.color_background));
  gui.AddLabel(At(80, 380), "Active FPS Cap:");
  gui.AddTextBox("active_fps", std::to_string(s.fps_active), R(190, 367, 50, 17), kBoxFrame, kBoxHover, kBoxText,
                 Handler(hooks.set_active_fps, "SetActiveFps"), false);
  gui.AddLabel(At(80, 400), "Sleep FPS Cap:");
  gui.AddTextBox("sleep_fps", std::to_string(s.fps_sleepy), R(190, 388, 50, 17), kBoxFrame, kBoxHover, kBoxText,
                 Handler(hooks.set_inactive_fps, "SetInactiveFps"), false);
  Checks(gui, 80, 412, 0, {{"Frame Model On Load", &s.frame_model_on_load, "OpenGl/frame_model_on_load"}});

  // 21
  Page(gui, "Settings_hotkeys", "Settings - HotKeys");
  gui.SetOnOpen("set_mouse_cntrl_display;");
  gui.SetOnClose("force_close Settings_hotkeys_mouse_maya; force_close Settings_hotkeys_mouse_assView;");
  // Each binder edits the hotkey slot of its action (slot 4, the
  // XMODEL_EXPORT key, has none).
  struct Binder {
    const char* action;
    size_t slot;
    int y;
    const char* label;
    int label_y;
  };
  for (const Binder& b : {Binder{"change_game", 0, 107, "Change Active Game:", 120},
                          Binder{"view_tags", 1, 132, "View Tags:", 145},
                          Binder{"export_ma", 2, 157, "Export MA:", 170},
                          Binder{"export_obj", 3, 182, "Export OBJ:", 195},
                          Binder{"screen_shot", 5, 207, "Screen Shot:", 220},
                          Binder{"wireframe", 6, 232, "WireFrame:", 245},
                          Binder{"toggle_xmodel_list", 7, 257, "Toggle Xmodel List:", 270},
                          Binder{"toggle_xmodel_log", 8, 282, "Toggle Xmodel Log:", 295},
                          Binder{"toggle_xmodel_prop", 9, 307, "Toggle Xmodel Prop:", 320},
                          Binder{"toggle_settings_menu", 10, 333, "Toggle Settings Menu:", 345},
                          Binder{"bounding_box", 11, 358, "Toggle Bounding Box:", 370},
                          Binder{"central_locator", 12, 383, "Toggle Central Locator:", 395},
                          Binder{"draw_bones", 13, 407, "Toggle Bone Preview:", 420},
                          Binder{"frame_model", 14, 432, "Frame Model:", 445}}) {
    gui.AddKeyBinder(b.action, R(200, b.y, 80, 17), {0.1f, 0.1f, 0.1f, 0.6f}, kBoxHover, kWhite, &s.key_map[b.slot]);
    gui.AddLabel(At(50, b.label_y), b.label);
  }
  // The level of detail's key, in the second column: the first is full.
  gui.AddKeyBinder("cycle_lod", R(480, 432, 80, 17), {0.1f, 0.1f, 0.1f, 0.6f}, kBoxHover, kWhite, &s.key_map[15]);
  gui.AddLabel(At(380, 445), "Cycle LOD:");
  for (KeyBinderItem& k : gui.FindMenu("Settings_hotkeys")->key_binders)
    k.on_bind = [&gui, &s, key = k.key] { NoteKeyClash(gui, s, key); };
  gui.AddLabel(At(380, 121), "Mouse Controls:");
  gui.AddDropDown(R(480, 107, 110, 18), {{0, "Maya Style"}, {1, "Asset Viewer"}},
                  Handler(hooks.set_mouse_style, "SetMouseStyle"), s.mouse_style);
  gui.AddTextBox("mouse_angle", "Angle", R(340, 195, 70, 18), kBoxFrame, kBoxHover, kBoxText, nullptr, true);
  gui.AddTextBox("mouse_move", "Move", R(438, 155, 70, 18), kBoxFrame, kBoxHover, kBoxText, nullptr, true);
  gui.AddTextBox("mouse_zoom", "Zoom", R(523, 195, 70, 18), kBoxFrame, kBoxHover, kBoxText, nullptr, true);

  // 21, 22
  gui.AddStaticMenu("Settings_hotkeys_mouse_maya", R(0, 0, 0, 0, 48), R(0, 0, 0, 0), false);
  gui.AddPicture(R(370, 140, 256, 256), kWhite, "hotkey_mouse");
  gui.AddStaticMenu("Settings_hotkeys_mouse_assView", R(0, 0, 0, 0, 48), R(0, 0, 0, 0), false);
  gui.AddPicture(R(370, 140, 256, 256), kWhite, "hotkey_mouse_ass_view");

  // 24
  Page(gui, "Settings_misc", "Settings - Misc");
  Heading(gui, At(95, 117), "IWD Image Mover");
  GroupBox(gui, R(70, 120, 150, 130));
  gui.AddLabel(At(85, 152), "Game:");
  // The mover's game lives with the page: chosen here, handed over by the button.
  auto iwd_game = std::make_shared<int>(0);
  gui.AddDropDown(R(130, 140, 75, 18), GameOptions(), [iwd_game](int game) {
    *iwd_game = game;
    return true;
  }, 0);
  gui.AddTextButton(R(85, 210, 120, 20), "Move IWD's Over",
                    [iwd_game, &gui, move = Handler(hooks.move_iwds, "MoveIwds")] {
                      if (*iwd_game < 0 || *iwd_game > 2) {
                        Logger().log("Unkown Game selected in dropbox.");
                        return;
                      }
                      gui.SetText("iwd_progress_text", "");
                      gui.SetText("iwi_progress_text", "\n\n0\n\n0");
                      gui.SetText("iwd_result_text", "");
                      move(*iwd_game);
                    });

  // 25
  Page(gui, "Settings_theme", "Settings - Theme");
  gui.AddColourLabel(At(80, 120), kRed, "More Theme Options coming soon..");
  gui.AddLabel(At(80, 141), "Active Theme:");
  gui.AddDropDown(R(180, 127, 110, 18), {{0, "Dark Theme"}, {1, "Grey Theme"}, {2, "Blue Theme"}},
                  Handler(hooks.set_theme, "SetTheme"), s.active_theme);

  // 26
  Page(gui, "Settings_shaders", "Settings - Shaders");
  gui.AddColourLabel(At(80, 120), kRed, "Advanced shader options avalible in next release.");

  // 27
  gui.AddStaticMenu("light_settings", R(5, 80, 0, 0), R(0, 0, 200, 100), false);
  gui.AddPicture(R(0, 0, 200, 100), {0.35f, 0.35f, 0.35f, 0.95f}, "menu_frame");
  gui.AddColourLabel(At(20, 20), kRed, "Advanced Settings\n Avalible soon");
  gui.AddCheckBox(R(20, 50, 150, 20), "Phong Shader", &s.apply_phong_shade, "");
}
