// The interface's one fixed layout: 38 menus created in drawing order, each
// followed by its items, in a 640 x 480 design space. No layout file: each
// builder below is a flat run of add calls.
#pragma once

#include <functional>
#include <string>

#include "gui/item_base.h"

class QorGUI;
struct QorSettings;
struct ListSource;
struct DetailSource;

// The animation player, a framed panel drawn over the three others and
// under the tool bar: the animation list and search box, the timeline, the
// frame and speed texts (named texts the window sets every frame), the
// buttons (the words "anim_step N", "anim_play", "anim_pause", "anim_stop") and the
// switches.
inline constexpr const char* kAnimationMenu = "xanim_player";
inline constexpr const char* kAnimationList = "xanims";
inline constexpr const char* kAnimationNameText = "xanim_name";
inline constexpr const char* kAnimationFrameText = "xanim_frame";
inline constexpr const char* kAnimationSpeedText = "xanim_speed";
struct TimelineSource;
struct AnimationLayoutHooks {
  ListSource* animations = nullptr;
  TimelineSource* timeline = nullptr;
  float* speed = nullptr;
  bool* loop = nullptr;
  bool* root_motion = nullptr;
  std::function<void(const std::string&)> load;    // an animation picked in the list
  std::function<void(const std::string&)> filter;  // every keystroke in the search box
  std::function<void(double frame)> seek;          // the timeline pressed or dragged
};

// What the layout's widgets reach beyond the settings they are bound to:
// the lists the views show (none: the view shows that it is not active)
// and the program's handlers, named after its setting and folder actions.
// A handler left unset logs "<Name> :: not available yet" when its widget
// fires; nothing pretends to have worked (a drop-down keeps its choice).
struct LayoutHooks {
  ListSource* models = nullptr;
  ListSource* log_lines = nullptr;
  DetailSource* properties = nullptr;
  DetailSource* tags = nullptr;
  AnimationLayoutHooks animation;

  std::function<void(float level)> sound_level;  // the volume slider, on release
  std::function<void()> check_for_updates;       // "Check for Updates"
  std::function<void(const std::string&)> load_model;     // a model picked in the list
  std::function<void(const std::string&)> filter_models;  // every keystroke in the search box
  std::function<void(const std::string&)> set_active_fps, set_inactive_fps, set_model_scale;
  // The drop-downs' handlers: false when the choice was refused (a game
  // whose root is not set), so the drop-down keeps showing the old one.
  std::function<bool(int)> set_logging_mode, set_active_game, set_export_as_tga, set_mouse_style, set_theme;
  std::function<void(const Rgba&)> set_grid_colour, set_background_colour;
  std::function<void(int game)> browse_game_root, clear_game_root;
  std::function<void()> browse_export_folder, clear_export_folder, browse_gdt_folder, clear_gdt_folder;
  std::function<void(int game)> move_iwds;  // "Move IWD's Over" with the chosen game
  // A yes/no question in the window's question box; `answer` gets the reply.
  std::function<void(std::string title, std::string text, std::function<void(bool yes)> answer)> ask_question;
};

// Menus 1-4: "bug_fixer" and the three framed panels.
void BuildPanelsLayout(QorGUI& gui, QorSettings& settings, const LayoutHooks& hooks);
// Menu 5: the animation player.
void BuildAnimationLayout(QorGUI& gui, QorSettings& settings, const AnimationLayoutHooks& hooks);
// Menus 6-15: the tool bar, the panels' open/close buttons, the model list.
void BuildToolBarLayout(QorGUI& gui, QorSettings& settings, const LayoutHooks& hooks);
// Menus 16-27: the settings window and its pages, the light settings.
void BuildSettingsLayout(QorGUI& gui, QorSettings& settings, const LayoutHooks& hooks);
// Menus 28-38: update, IWD mover, about, donation, error and message boxes;
// then the box text area.
void BuildDialogsLayout(QorGUI& gui, QorSettings& settings);

// The in-window folder entry, added after the layout when the desktop has
// no folder dialog: a title, a path box (read with QorGUI::BoxText), OK
// and Cancel.
inline constexpr const char* kFolderEntryMenu = "folder_entry_menu";
inline constexpr const char* kFolderEntryTitle = "folder_entry_title";
inline constexpr const char* kFolderEntryBox = "folder_entry_path";
struct FolderEntryHooks {
  std::function<void()> accept, cancel;
};
void BuildFolderEntry(QorGUI& gui, FolderEntryHooks hooks);

// The question box, added after the folder entry so that it draws over
// everything: a title, the question and Yes / No (shell/screens/question_box.h).
inline constexpr const char* kQuestionMenu = "question_menu";
inline constexpr const char* kQuestionTitle = "question_title";
inline constexpr const char* kQuestionText = "question_text";
void BuildQuestionBox(QorGUI& gui, std::function<void(bool yes)> answer);


// All of it, in order.
void BuildLayout(QorGUI& gui, QorSettings& settings, const LayoutHooks& hooks = {});
