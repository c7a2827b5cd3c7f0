// The window-and-renderer object: the window and its contexts, the model
// worker, the camera and the frame loop with its caps.
#pragma once

#include <array>
#include <cstdio>
#include <functional>
#include <set>
#include <string>

#include "base/notice_board.h"
#include "jobs/xmodel_threaded.h"
#include "platform/gl_window.h"
#include "shell/frame_gate.h"
#include "shell/tray.h"
#include "viewer/animation_player.h"
#include "viewer/camera.h"
#include "viewer/model_renderer.h"
#include "viewer/scene_copy.h"
#include "viewer/worker_gl_builder.h"

struct InputState {
  std::array<unsigned char, 256> keys_down{};
  std::array<unsigned char, 256> keys_char{};
  // Presses since the last hotkey pass: a tap whose release came before
  // the next frame still fires its hotkey.
  std::array<unsigned char, 256> keys_pressed{};
  float mouse_x = 0, mouse_y = 0;
  int buttons = 0;  // kMouseLeft | kMouseRight | kMouseMiddle
  int wheel = 0;
};

// Hooks for the parts that come with the GUI toolkit: the 2D pass of each
// frame, the hotkeys and pending actions after the swap, and whether the
// pointer is over an item (which takes the mouse from the camera). The
// last four take what the notice board brought since the last drain.
struct FrameHooks {
  std::function<void()> draw_gui;
  std::function<void()> after_swap;
  std::function<bool()> pointer_over_gui;
  std::function<void(const std::string& title, const std::string& text)> balloon;
  std::function<void(const std::string& sound)> play_sound;
  std::function<void(const std::string& text)> show_error;
  std::function<void(const std::string& text)> show_message;
  std::function<void(const std::string& commands)> run_commands;
  // Input and size for the interface, as the window reports them.
  std::function<void(float x, float y)> mouse_move;
  std::function<void(bool down)> left_button;
  std::function<void(bool down)> right_button;
  std::function<void(int notches)> wheel;  // up positive
  std::function<void(int width, int height)> resized;
  // Keys and typed characters go to the interface first; true when it took
  // them (a focused text box, a waiting key binder), and then the key arrays
  // never see them. Releases always reach the arrays.
  std::function<bool(int vk, bool down)> key;
  std::function<bool(unsigned codepoint)> character;
  // A file dropped onto the window.
  std::function<void(const std::string& path)> drop;
  // Whether the interface changes with no input (menus animating, bars
  // fading, commands waiting for their time).
  std::function<bool()> gui_moving;
  // Every pass of the loop, before its frame (the splash's clock); true
  // while the program is still starting (a scripted run does not count
  // those passes).
  std::function<bool()> each_pass;
};

class QorOpenGL {
 public:
  QorOpenGL() : gl_data(window), player(gl_data) {}

  // Start-up from the window on; false after a critical error was shown.
  bool CreateGLWindow(const std::string& running_dir, const std::string& data_dir);
  // Runs frames until Escape, close or a quit message. `frames_limit` > 0
  // stops after that many frames drawn once the worker is idle;
  // `screenshot` names the file of the last of them.
  // False when that screenshot could not be written (the log says why).
  [[nodiscard]] bool MainLoop(int frames_limit, const std::string& screenshot);
  void KillGLWindow();
  // The window's place and size into "rect_main_window", for the store.
  void RememberPlacement();

  void Resize(int width, int height);
  // The "frame model" hotkey: the loaded model fills the view.
  void FrameLoadedModel();
  void SetTitle(const std::string& text);
  // Plays the animation at `path` on the model on show, once the jobs
  // queued before it ran (see AnimationPlayer::Load for `start_frame`); a
  // file that cannot be read is said in the error box and the log.
  void LoadAnimation(const std::string& path, double start_frame = -1);

  platform::GlWindow window;
  XmodelThreaded worker;
  WorkerGlBuilder gl_data;
  AnimationPlayer player;
  CameraControl camera;
  ModelRenderer renderer;
  FrameHooks hooks;
  QorTray tray;
  // The board as of the last drain: what the 2D pass draws named labels
  // and progress bars from.
  BoardSnapshot board_view;
  InputState input;

  // The screenshot hotkey: the next frame drawn is saved under this name.
  std::string screenshot_request;
  // False: the window stays hidden after creation until the splash closes.
  bool show_on_create = true;
  bool focused = true;
  bool render_enabled = true;
  bool quit_requested = false;
  int view_width = 800, view_height = 600;
  int fps_focused = 60;
  int fps_unfocused = 30;
  // Passes at the cap with nothing changed keep the picture on screen.
  bool keep_unchanged = true;
  double last_frame_ms = -1e9;
  double frame_rate = 0;  // passes a second at the cap, over the last whole second
  int frames_drawn = 0;   // passes that drew (the others kept the picture on screen)

 private:
  enum class Pass { kWaiting, kKept, kDrawn };
  bool InitGL();
  // One pass of the loop: sleeps while the cap says so (kWaiting), else
  // draws, or keeps the picture on screen when nothing changed (kKept).
  Pass Frame(bool screenshot_now, const std::string& screenshot);
  void OnEvents();
  bool ready_ = false;
  bool screenshot_saved_ = false;
  uint32_t framed_loads_ = 0;  // the worker's model_loads last looked at
  // VANTOR_FRAME_TRACE=FILE: one line a drawn frame, "<wall ms> <cpu ms>"
  // of the main thread from the frame's start to its swap's end.
  std::FILE* trace_ = nullptr;
  FrameGate gate_;
  SceneCopy scene_copy_;  // the 3D view of the last whole pass
  std::set<unsigned> gl_errors_seen_;
  void LogGlErrors();
  FrameRateCounter rate_;
};

// The program's renderer.
QorOpenGL& Renderer();
