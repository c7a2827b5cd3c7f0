// Window creation, GL state, the frame loop with its caps, the viewport and
// shutdown.
#include "shell/qor_opengl.h"

#include <GL/glew.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/logger.h"
#include "imaging/gl_image.h"
#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/fs_paths.h"
#include "platform/vk_codes.h"
#include "shell/settings.h"
#include "shell/settings_export.h"
#include "shell/window_icon.h"
#include "viewer/frame_model.h"
#include "viewer/phong_shader.h"
#include "viewer/real_image_gl.h"

QorOpenGL& Renderer() {
  static QorOpenGL* renderer = new QorOpenGL();  // lives until exit
  return *renderer;
}

namespace {

void Colour(uint32_t c, float out[3]) {
  out[0] = float(c & 0xFF) / 255.0f;
  out[1] = float((c >> 8) & 0xFF) / 255.0f;
  out[2] = float((c >> 16) & 0xFF) / 255.0f;
}

void Perspective(double fov_y, double aspect, double z_near, double z_far) {
  double top = z_near * std::tan(fov_y * M_PI / 360.0);
  glFrustum(-top * aspect, top * aspect, -top, top, z_near, z_far);
}

// The smallest window the interface's layout still fits.
constexpr int kMinimumWidth = 750;
constexpr int kMinimumHeight = 600;

ViewSettings CurrentView() {
  const QorSettings& s = Settings();
  ViewSettings v;
  v.draw_grid = s.draw_grid;
  v.draw_axis = s.draw_axis;
  v.wireframe = s.wireframe;
  v.draw_bones = s.draw_bones;
  v.bounding_box = s.bounding_box;
  v.central_locator = s.central_locator;
  v.apply_phong_shade = s.apply_phong_shade;
  Colour(s.color_grid, v.grid_colour);
  return v;
}

}  // namespace

bool QorOpenGL::CreateGLWindow(const std::string& running_dir, const std::string& data_dir) {
  QorSettings& s = Settings();
  std::string error;
  view_width = s.rect_main_window.w > 0 ? s.rect_main_window.w : 800;
  view_height = s.rect_main_window.h > 0 ? s.rect_main_window.h : 600;
  // Created hidden, placed where it was left, then shown: no jump.
  if (!window.Create(view_width, view_height, "Qor_Fen Vantor", false, error))
    Logger().critical_error(error);
  window.SetIcon(ProgramIcons(data_dir));
  window.SetMinimumSize(kMinimumWidth, kMinimumHeight);
  window.Place(s.rect_main_window.x, s.rect_main_window.y);
  if (show_on_create) window.Show();
  if (!window.MakeMainCurrent()) Logger().critical_error("Can't Activate The GL Rendering Context.");

  // The tray icon; its menu's commands reach the interface through the
  // hooks it sets later (nothing is dispatched before the loop runs).
  TrayActions tray_actions;
  tray_actions.quit = [this] { quit_requested = true; };
  tray_actions.run_commands = [this](const std::string& c) {
    if (hooks.run_commands) hooks.run_commands(c);
  };
  tray_actions.show_message = [this](const std::string& t) {
    if (hooks.show_message) hooks.show_message(t);
  };
  tray_actions.open_folder = [](const std::string& folder) {
    if (const std::string error = platform::OpenWithDesktop(folder); !error.empty()) {
      Logger().warning("%s", error.c_str());
      Board().ShowError(error);
    }
  };
  tray.Create(data_dir, running_dir, std::move(tray_actions));

  // The worker's export folders and scale.
  // A stored folder that no longer exists falls back to the program's.
  ExportSettings exports = ExportSettingsFromSettings(s);
  if (!platform::FolderExists(s.export_folder)) exports.export_folder = "Running Directory";
  if (!platform::FolderExists(s.export_folder_GDT)) exports.export_folder_GDT = "Running Directory";
  worker.SetExportSettings(exports);
  // VIEW TAGS: the report in the browser, or the error box says why not.
  WorkerNotices notices;
  notices.open_file = [](std::string_view file) {
    const std::string path(file);
    auto no_browser = [path] { Board().ShowError("No Browser To Display Tags: " + path); };
    if (const std::string error = platform::OpenWithDesktopOr(path, no_browser); !error.empty()) {
      Logger().warning("%s", error.c_str());
      no_browser();
    }
  };
  worker.SetNotices(std::move(notices));
  worker.SetModelScale(s.export_scale_new);
  Logger().log("XmodelScale SetTo: %.2f", double(s.export_scale_new));

  // The worker's context shares textures and buffers with this one.
  if (!window.CreateSharedContext(error)) Logger().critical_error(error);
  worker.SetGl(&gl_data);
  gl_data.model_built = [this](const Xmodel& model) { player.ModelBuilt(model); };
  gl_data.upload_image = [](IwiImage& image) { return UploadTexture(image); };
  worker.SetModelGame(s.active_game == 1 ? Cod5 : s.active_game == 2 ? BO : Cod4);

  if (!InitGL()) Logger().critical_error("Initialization Failed.");
  window.SetSwapInterval(s.Vsync ? 1 : 0);
  PrepareShaders(data_dir + "/shaders/finished");
  camera.ResetCamera();
  window.SetTopmost(s.window_on_top);

  platform::WindowEvents ev;
  ev.key = [this](int vk, bool down) {
    const bool taken = hooks.key && hooks.key(vk, down);
    if (!down || !taken) input.keys_down[size_t(vk & 0xFF)] = down ? 1 : 0;
    if (down && !taken) input.keys_pressed[size_t(vk & 0xFF)] = 1;
  };
  ev.character = [this](unsigned cp) {
    const bool taken = hooks.character && hooks.character(cp);
    if (!taken && cp < 256) input.keys_char[cp] = 1;
  };
  ev.mouse_move = [this](double x, double y) {
    input.mouse_x = float(x);
    input.mouse_y = float(y);
    if (hooks.mouse_move) hooks.mouse_move(float(x), float(y));
    bool over = hooks.pointer_over_gui && hooks.pointer_over_gui();
    camera.MouseMove(input.buttons, int(x), int(y), Settings().mouse_style, over);
  };
  ev.mouse_button = [this](int button, bool down) {
    int bit = button == 0 ? kMouseLeft : button == 1 ? kMouseRight : kMouseMiddle;
    input.buttons = down ? input.buttons | bit : input.buttons & ~bit;
    if (button == 0 && hooks.left_button) hooks.left_button(down);
    if (button == 1 && hooks.right_button) hooks.right_button(down);
  };
  ev.wheel = [this](double delta) {
    input.wheel += int(delta);
    if (hooks.wheel && int(delta) != 0) hooks.wheel(int(delta));
  };
  ev.resize = [this](int w, int h) {
    if (w < 4000 && h < 4000) Resize(w, h);
  };
  ev.focus = [this](bool f) { focused = f; };
  ev.minimise = [this](bool m) { render_enabled = !m; };
  ev.close = [this] { quit_requested = true; };
  ev.cursor_left = [this] { input.buttons = 0; };
  ev.drop = [this](const std::string& path) {
    if (hooks.drop) hooks.drop(path);
  };
  window.SetEvents(std::move(ev));
  if (const char* trace = std::getenv("VANTOR_FRAME_TRACE"); trace && *trace) {
    trace_ = std::fopen(trace, "w");
    if (!trace_) Logger().warning("Frame trace '%s' could not be opened", trace);
  }

  // Focus events only come with changes: start from the window's state.
  focused = window.IsFocused();
  int w = 0, h = 0;
  window.GetFramebufferSize(w, h);
  platform::GlWindow::ReleaseCurrent();
  worker.Start(running_dir);
  Logger().log("Background Xmodel thread started");
  Resize(w, h);
  ready_ = true;
  return true;
}

bool QorOpenGL::InitGL() {
  glewExperimental = GL_TRUE;
  Logger().log("Loading Extensions..");
  const GLenum ext = glewInit();
  Logger().log("Ext (%i)", int(ext));
  if (ext != GLEW_OK || !GLEW_VERSION_1_5) Logger().critical_error("Failed To load OpenGL Extensions. :(");
  Logger().log("Extensions Loaded..");
  const QorSettings& s = Settings();
  glShadeModel(GL_SMOOTH);
  glClearDepth(1.0);
  glClearStencil(0);
  // The model is drawn with depth testing: without it the far side of a
  // mesh shows through wherever it was drawn last.
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);

  glEnable(GL_LIGHT0);
  glEnable(GL_LIGHTING);
  const float position[4] = {300, 0, 200, 1};
  const float half[4] = {0.5f, 0.5f, 0.5f, 1};
  glLightfv(GL_LIGHT0, GL_POSITION, position);
  glLightfv(GL_LIGHT0, GL_AMBIENT, half);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, half);
  glLightfv(GL_LIGHT0, GL_SPECULAR, half);
  glLightf(GL_LIGHT0, GL_CONSTANT_ATTENUATION, 0.5f);
  glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, 0);
  glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, 0);
  const float material[4] = {0.4f, 0.4f, 0.4f, 1};
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, material);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, material);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, half);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 0.5f);

  float clear[3];
  Colour(s.color_background, clear);
  glClearColor(clear[0], clear[1], clear[2], 1.0f);
  const char* renderer_name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  Settings().gpu_name = renderer_name ? renderer_name : "Unkown";
  Logger().log("GPU: %s", Settings().gpu_name.c_str());
  camera.ResetCamera();
  Logger().log("QorGL Init");
  return true;
}

void QorOpenGL::Resize(int width, int height) {
  std::lock_guard<std::mutex> hold(worker.lock);
  if (!platform::GlWindow::MainIsCurrentOn(window)) window.MakeMainCurrent();
  if (height == 0) height = 1;
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  Perspective(kFieldOfViewY, double(width) / double(height), kNearPlane, kFarPlane);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  view_width = width;
  view_height = height;
  platform::GlWindow::ReleaseCurrent();
  if (hooks.resized) hooks.resized(width, height);
}

void QorOpenGL::FrameLoadedModel() {
  FrameModel(camera, worker.ShownBounds(), view_width, view_height);
}

void QorOpenGL::SetTitle(const std::string& text) { window.SetTitle("Qor_Fen Vantor - " + text); }

void QorOpenGL::LoadAnimation(const std::string& path, double start_frame) {
  Logger().log("Passing Xanim: '%s' to background loader", path.c_str());
  worker.RunOnModel([this, path, start_frame](const Xmodel& model) {
    std::string error;
    if (player.Load(path, model, error, start_frame) != err::kSuccess) {
      Logger().log_to_panel("^1Xanim^7:: %s", error.c_str());
      Board().ShowError(error);
      return;
    }
    Logger().log("Xanim Loaded: '%s'", path.c_str());
  });
}

void QorOpenGL::OnEvents() {
  // One hold of the board's lock; what it brought runs here on the main
  // thread, between frames, so a posted command never overlaps a drawing.
  if (!Board().Drain(board_view)) return;
  for (const AppMessage& m : board_view.messages) {
    switch (m.kind) {
      case AppMessageKind::kQuit: quit_requested = true; break;
      case AppMessageKind::kBalloon:
        if (hooks.balloon) hooks.balloon(m.title, m.text);
        tray.Balloon(m.title, m.text, m.folder);
        break;
      case AppMessageKind::kTrayIconChange: tray.SetAlternateIcon(); break;
      default: break;
    }
  }
  for (const std::string& sound : board_view.sounds)
    if (hooks.play_sound) hooks.play_sound(sound);
  // The error box before the follow-up command that comes with it.
  for (const std::string& text : board_view.errors)
    if (hooks.show_error) hooks.show_error(text);
  for (const std::string& text : board_view.notes)
    if (hooks.show_message) hooks.show_message(text);
  for (const std::string& commands : board_view.commands)
    if (hooks.run_commands) hooks.run_commands(commands);
}

QorOpenGL::Pass QorOpenGL::Frame(bool screenshot_now, const std::string& screenshot) {
  const double now = platform::NowMsPrecise();
  const int fps = focused ? fps_focused : fps_unfocused;
  const double frame_ms = fps > 0 ? double(1000 / fps) : 0.0;  // 0: uncapped (benchmarks)
  const double elapsed = now - last_frame_ms;
  if (frame_ms > elapsed) {
    // The whole remainder, fractions too: a loop that woke a little early
    // would otherwise poll the window until the time came.
    platform::SleepForMs(frame_ms - elapsed);
    return Pass::kWaiting;
  }
  last_frame_ms = now;
  frame_rate = rate_.Count(now);
  FrameSignals signals;
  signals.window_events = window.event_count();
  signals.board_version = board_view.version;
  signals.log_lines = Logger().lines_written();
  signals.worker_busy = !worker.Idle();
  // A playing animation moves the scene: every pass draws it.
  signals.gui_moving = (hooks.gui_moving && hooks.gui_moving()) || player.Moving();
  signals.fps = frame_rate;
  // Every pass of an uncapped loop or with --every-pass (benchmarks) draws
  // everything; a screenshot's pass draws at least the overlay.
  const bool keeping = fps > 0 && keep_unchanged;
  FrameDraw draw = gate_.Decide(signals, now, !keeping);
  if (draw == FrameDraw::kKeep && (screenshot_now || !screenshot_request.empty())) draw = FrameDraw::kOverlay;
  if (draw == FrameDraw::kKeep) return Pass::kKept;

  const double cpu_start = trace_ ? platform::ThreadCpuMs() : 0;
  std::lock_guard<std::mutex> hold(worker.lock);
  window.MakeMainCurrent();
  ++frames_drawn;
  // Set every frame: the background picker runs inside the 2D pass, which
  // puts the GL state it found back when it ends.
  float clear[3];
  Colour(Settings().color_background, clear);
  glClearColor(clear[0], clear[1], clear[2], 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_MODELVIEW);
  {
    // "Frame Model On Load": the first frame that shows a new model frames it.
    std::unique_lock<std::mutex> hold(worker.box_lock);
    if (worker.model_loads != framed_loads_) {
      draw = FrameDraw::kWhole;
      framed_loads_ = worker.model_loads;
      const ModelBounds box = worker.bounds;
      hold.unlock();
      if (Settings().frame_model_on_load) FrameModel(camera, box, view_width, view_height);
    }
  }
  // The 3D view: drawn, and kept for the passes that change only the
  // overlay, or put back from the last whole pass.
  if (draw == FrameDraw::kOverlay && !scene_copy_.Restore(view_width, view_height)) draw = FrameDraw::kWhole;
  if (draw == FrameDraw::kWhole) {
    player.Update(now);
    std::array<float, 16> mv = camera.ModelView();
    glLoadMatrixf(mv.data());
    renderer.DrawScene(worker, gl_data, CurrentView());
    LogGlErrors();
    if (keeping) scene_copy_.Capture(view_width, view_height);
  }
  if (hooks.draw_gui) hooks.draw_gui();
  LogGlErrors();
  glColor4f(1, 1, 1, 1);
  if (screenshot_now && !screenshot.empty()) {
    // Read before the swap: see RealImageGl::ReadBuffer.
    RealImageGl image_gl;
    screenshot_saved_ = QorScreenShot(image_gl, screenshot, view_width, view_height);
  }
  if (!screenshot_request.empty()) {
    RealImageGl image_gl;
    if (QorScreenShot(image_gl, screenshot_request, view_width, view_height)) {
      const std::string text = "Screen Shot saved: '" + screenshot_request;
      Logger().log("%s", text.c_str());
      Board().PostMessage({AppMessageKind::kBalloon, text});
    }
    screenshot_request.clear();
  }
  window.SwapBuffers();
  if (hooks.after_swap) hooks.after_swap();
  if (trace_) {
    std::fprintf(trace_, "%.3f %.3f\n", platform::NowMsPrecise() - now, platform::ThreadCpuMs() - cpu_start);
    std::fflush(trace_);  // a bench counts the lines while the window runs
  }
  platform::GlWindow::ReleaseCurrent();
  return Pass::kDrawn;
}

void QorOpenGL::LogGlErrors() {
  // A drawing fault the picture may not show: said once for each kind.
  for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError())
    if (gl_errors_seen_.insert(unsigned(e)).second) Logger().warning("OpenGL error 0x%04X while drawing a frame", unsigned(e));
}

bool QorOpenGL::MainLoop(int frames_limit, const std::string& screenshot) {
  int counted = 0;
  screenshot_saved_ = false;
  for (;;) {
    window.PollEvents();
    tray.Dispatch();
    OnEvents();
    if (!render_enabled) {
      platform::SleepMs(250);
      continue;
    }
    if (input.keys_down[platform::kVkEscape] || quit_requested) break;
    const bool starting = hooks.each_pass && hooks.each_pass();
    // A scripted run counts its passes (drawn or kept) once the start-up
    // job is done; the last one always draws, for the screenshot.
    const bool counting = frames_limit > 0 && worker.Idle() && !starting;
    const Pass pass = Frame(counting && counted + 1 == frames_limit, screenshot);
    if (counting && pass != Pass::kWaiting && ++counted >= frames_limit) break;
  }
  return screenshot.empty() || screenshot_saved_;
}

void QorOpenGL::RememberPlacement() {
  int x = 0, y = 0, w = 0, h = 0;
  if (!ready_ || !window.GetPlacement(x, y, w, h) || w <= 0 || h <= 0) return;
  Settings().rect_main_window = {x, y, w, h};
}

void QorOpenGL::KillGLWindow() {
  if (!ready_) return;
  worker.Stop();
  {
    std::lock_guard<std::mutex> hold(worker.lock);
    if (window.MakeMainCurrent()) {
      gl_data.DeleteModelObjects();
      scene_copy_.Release();
      ReleaseShaders();
    }
    platform::GlWindow::ReleaseCurrent();
  }
  tray.Remove();
  if (trace_) std::fclose(trace_);
  trace_ = nullptr;
  Logger().log("QorOpenGL Shutdown");
  window.Destroy();
  ready_ = false;
}
