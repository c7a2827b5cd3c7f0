// The program's actions behind the settings menus, the model list and the
// hotkeys: switching the active game (and so the model list), handing a
// picked model to the worker, the frame caps, the model scale, the logging
// mode, the mouse style, the image format, the colours and the folders.
// Everything runs on the main thread; what reaches the interface, the
// window or the worker goes through the hooks, so the actions run headless.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "model/xmodel.h"

class QorLoader;
struct QorSettings;

struct ActionHooks {
  std::function<void(const std::string& text)> show_error;    // the interface's error box
  std::function<void(const std::string& text)> show_message;  // "msg_box_menu" with the text
  std::function<void(const std::string& commands)> run_commands;
  std::function<void(const std::string& name, const std::string& text)> set_text;  // a named GUI text
  std::function<void(const std::string& root)> set_title;
  std::function<void(GameVersion game)> set_model_game;  // the readers' layout
  std::function<void(const std::string& path, uint32_t flags)> add_job;
  std::function<void(float scale)> set_model_scale;
  std::function<void(int focused, int unfocused)> set_frame_caps;
  // A new game root: the IWD mover forgets its state and checks the root.
  std::function<void(const std::string& root)> check_images;
};

class QorActions {
 public:
  QorActions(QorSettings& settings, QorLoader& loader, ActionHooks hooks);

  // 0 COD 4, 1 COD 5, 2 COD Black Ops. True when the game's model list was
  // started, or is the one already shown.
  bool SetActiveGame(int index);
  // F1: the games after the active one in turn, at most two tries.
  void CycleGame();
  // A name picked in the model list; status lines are not models.
  void LoadModel(const std::string& name);
  // A file dropped onto the window: a model file (ROOT/raw/xmodel/NAME) is
  // loaded; its tree's list is shown when ROOT is one of the games' roots,
  // and the readers start from the game its version names. Anything else
  // is refused in the error box.
  bool OpenDroppedModel(const std::string& path);

  void SetActiveFps(const std::string& text);
  void SetInactiveFps(const std::string& text);
  void SetModelScale(const std::string& text);
  bool SetLoggingMode(int mode);
  bool SetMouseStyle(int style);
  bool SetExportAsTga(int value);
  void SetBackgroundColour(float r, float g, float b);
  void SetGridColour(float r, float g, float b);

  // The answers of the folder browser ("" is a cancel and does nothing). A
  // new root of the active game lists its models.
  bool SetGameRoot(int game, const std::string& folder);
  bool SetExportFolder(const std::string& folder);
  bool SetGdtFolder(const std::string& folder);
  void ClearGameRoot(int game);
  void ClearExportFolder();
  void ClearGdtFolder();

  // The model list's end: a failed listing is listed again the next time
  // its game is chosen.
  void ListFinished(bool ok);

 private:
  enum class ListStart { kStarted, kUnchanged, kFailed };
  ListStart StartModelList(const std::string& root);
  std::string& GameRoot(int game);
  bool StoreFolder(std::string& setting, const char* text_name, const std::string& folder);
  void SetFrameCap(const std::string& text, int floor, int32_t& cap, const char* line);

  QorSettings& settings_;
  QorLoader& loader_;
  ActionHooks hooks_;
  std::string listed_root_;  // the root whose model list is shown
};

// The settings' colour DWORD: each channel times 255, truncated, red in the
// lowest byte.
uint32_t PackColour(float r, float g, float b);
