// The window's interface: the toolkit drawn on GL with its pictures, fonts
// and sounds, the program's command words, and their place in the shell's
// start-up, frame and shutdown order. The window calls in through its frame
// hooks; nothing here runs off the main thread but the sound player, which
// the worker's export notices reach through the notice board.
#pragma once

#include <memory>
#include <string>

#include "base/list_source.h"
#include "base/notice_board.h"
#include "gui/commands.h"
#include "gui/draw2d_gl.h"
#include "gui/materials.h"
#include "gui/qor_gui.h"
#include "gui/themes.h"
#include "jobs/iwd_utils.h"
#include "jobs/qor_loader.h"
#include "platform/folder_browser.h"
#include "shell/actions.h"
#include "shell/animation_panel.h"
#include "shell/screens/question_box.h"
#include "shell/window_question.h"
#include "sound/qor_sound.h"
#include "update/qor_updater.h"
#include "update/update_check.h"

class QorOpenGL;
struct LayoutHooks;

class QorInterface {
 public:
  QorInterface();

  // Start-up, before the settings are read.
  void InitSound();
  // "images/default.dds" and "images/cursor.dds" (the critical error of the
  // one that fails), fonts, pictures, the layout and the sound table; the
  // program's words; the window's hooks; the first layout for the window's
  // size; the system pointer hidden over the window.
  void Finish(QorOpenGL& gl, const std::string& data_dir);
  // The start-up's game: the active game's model list, or the title says
  // to choose one.
  void StartActiveGame(QorOpenGL& gl);
  // The start-up's update check, when "auto_update" is on.
  void StartUpdateCheck();
  // Shutdown, in the shell's order: sound first (a worker notice after this
  // plays nothing), the toolkit's textures and fonts before the GL context
  // goes; waiting remainders are dropped, never run.
  void ShutdownSound() { sound.Shutdown(); }
  // "hello" on channel 1, when the splash closes.
  void PlayWelcome() { Play("hello", 1); }
  void ShutdownGui(QorOpenGL& gl);
  // At exit: an update download running ends ("Downloader thread Stopped").
  void ShutdownUpdates();

  GlDraw2D draw;
  MaterialStore materials;
  CommandProcessor commands;
  QorGUI gui;
  QorSound sound;

 private:
  void LoadDefaultTextures(const std::string& data_dir);
  void Play(std::string_view name, int channel);
  void ProcessFrameActions(QorOpenGL& gl);
  // A folder browse: the desktop's dialog, or the in-window entry; a chosen
  // folder goes to `answer`, a cancel goes nowhere.
  void Browse(const std::string& title, std::function<void(const std::string&)> answer);
  void EndEntry(bool accept);
  void PollBrowse();
  LayoutHooks ActionLayoutHooks();
  bool started_ = false;
  // The log panel's lines: the model log's, copied when their count changes.
  ListSource log_lines_;
  size_t log_count_ = 0;
  // The properties and tags panels' rows, written by the worker.
  DetailSource properties_, tags_;
  SharedRows property_rows_, tag_rows_;  // the board's rows they hold
  // The model list and what it is listed and picked by.
  ListSource models_;
  std::unique_ptr<QorLoader> loader_;
  std::unique_ptr<QorActions> actions_;
  // The animation player's list, timeline and words.
  std::unique_ptr<AnimationPanel> animations_;
  bool tags_posed_ = false;  // the tags panel shows an animation's positions
  // The IWD image mover: its texts, bar and commands reach the interface
  // through the notice board.
  std::unique_ptr<QorIWDUtils> iwd_;
  // The theme colours the panels' frames.
  std::unique_ptr<QorThemeManger> theme_;
  std::unique_ptr<QorUpdateCheck> update_check_;
  std::unique_ptr<QorUpdater> updater_;
  bool on_top_applied_ = false;
  platform::FolderDialog dialog_;
  std::function<void(const std::string&)> folder_answer_;
  bool entry_open_ = false;
  // Yes/no questions in the window: Settings' Reset, and the worker's.
  QuestionBox questions_{gui};
  WindowQuestion worker_questions_{Board()};
};
