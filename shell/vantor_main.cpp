// vantor: the window. Start-up in its fixed order, the frame loop, shutdown.
//   vantor [--game cod4|cod5|bo] [--frames N --screenshot FILE] [--uncapped] [--no-gui] [--every-pass]
//          [--anim FILE [--anim-frame N]] [PATH]
//   vantor --dump-layout FILE [--size WxH] [--command TEXT]...
// PATH opens a model at start; --frames renders N frames once the start-up
// job is done, saves the last one as a DDS screenshot and exits. --anim
// plays an animation file on the model (--anim-frame: paused on that frame).
// --dump-layout builds the interface without a display, lays it out for the
// size (800x600 by default, the window's first size), runs the commands and
// writes the layout as JSON. --uncapped, --no-gui and --every-pass are for
// benchmarks: no frame cap, no interface, every pass drawn even when the
// picture would not change.
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

#include "base/logger.h"
#include "imaging/bgra_picture.h"
#include "model/game_names.h"
#include "platform/clock.h"
#include "platform/file_bytes.h"
#include "platform/fs_paths.h"
#include "platform/message_box.h"
#include "platform/program_paths.h"
#include "platform/splash_window.h"
#include "platform/terminal.h"
#include "shell/interface.h"
#include "shell/qor_opengl.h"
#include "shell/screens/headless_gui.h"
#include "shell/screens/layout_dump.h"
#include "shell/settings.h"

int main(int argc, char** argv) {
  std::string path, screenshot, anim;
  double anim_frame = -1;  // -1: the animation plays
  int frames = 0;
  bool uncapped = false;  // benchmarks: no frame cap
  bool no_gui = false;    // benchmarks: the 3D view alone
  bool every_pass = false;  // benchmarks: draw every pass at the caps, changed or not
  bool splash = true;       // benchmarks: --no-splash starts without it
  std::optional<int> game;
  std::string dump_layout;
  std::string size_text = "800x600";
  std::vector<std::string> commands;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](const char* what) -> std::string {
      if (i + 1 >= argc) {
        std::cerr << "vantor: " << what << " needs a value\n";
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--frames") {
      frames = std::atoi(value("--frames").c_str());
      if (frames <= 0) {
        std::cerr << "vantor: --frames takes a positive number\n";
        return 2;
      }
    } else if (a == "--uncapped") {
      uncapped = true;
    } else if (a == "--no-gui") {
      no_gui = true;
    } else if (a == "--every-pass") {
      every_pass = true;
    } else if (a == "--no-splash") {
      splash = false;
    } else if (a == "--anim") {
      anim = value("--anim");
    } else if (a == "--anim-frame") {
      anim_frame = std::atof(value("--anim-frame").c_str());
      if (anim_frame < 0) {
        std::cerr << "vantor: --anim-frame takes a frame number from 0\n";
        return 2;
      }
    } else if (a == "--screenshot") {
      screenshot = value("--screenshot");
    } else if (a == "--game") {
      game = ParseGameName(value("--game"));
      if (!game) {
        std::cerr << "vantor: unknown game (cod4, cod5 or bo)\n";
        return 2;
      }
    } else if (a == "--dump-layout") {
      dump_layout = value("--dump-layout");
    } else if (a == "--size") {
      size_text = value("--size");
    } else if (a == "--command") {
      commands.push_back(value("--command"));
    } else if (a == "--help" || a == "-h") {
      std::cout << "usage: vantor [--game cod4|cod5|bo] [--frames N] [--screenshot FILE] [--uncapped] [--no-gui] [--every-pass] [--no-splash]\n"
                   "              [--anim FILE [--anim-frame N]] [PATH]\n"
                   "       vantor --dump-layout FILE [--size WxH] [--command TEXT]...\n";
      return 0;
    } else if (!a.empty() && a[0] == '-') {
      std::cerr << "vantor: unknown option " << a << "\n";
      return 2;
    } else {
      path = a;
    }
  }
  int width = 0, height = 0;
  if (!ParseWindowSize(size_text, width, height)) {
    std::cerr << "vantor: --size takes WIDTHxHEIGHT, e.g. 800x600\n";
    return 2;
  }
  // Without frames the layout is dumped headless; with them, from the
  // window at exit, as the frames left it.
  if (!dump_layout.empty() && frames == 0) {
    QorSettings& s = Settings();
    s.Load();
    HeadlessGui headless(s);
    headless.gui.SetPendingSize(width, height);
    headless.gui.ItemScale();
    for (const std::string& c : commands) headless.commands.RunCommand(c);
    return WriteTextFile(dump_layout, LayoutJson(headless.gui, platform::DataFolder())) ? 0 : 1;
  }
  if (!platform::HasDisplay()) {
    std::cerr << "vantor: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                 "vantor-cli does the same work without a window\n";
    return 1;
  }

  QorLogger& log = Logger();
  // Started from the desktop's menu the current folder is the home folder
  // (or one the user cannot write): the log goes to the state folder.
  const std::string log_folder = platform::LogFolder();
  log.set_file_name(log_folder.empty() ? "Log.txt" : log_folder + "/Log.txt");
  log.set_sync_mode(1);
  log.write_header();
  log.set_critical_box(platform::ShowMessageBox);
  static QorInterface* iface = new QorInterface;  // lives until exit, like the renderer
  iface->InitSound();
  QorSettings& s = Settings();
  s.Load();
  ++s.run_count;
  if (s.logging_mode != 1) s.SetLoggingMode(0);
  if (game) s.active_game = *game == Cod5 ? 1 : *game == BO ? 2 : 0;

  // The splash first, the main window hidden behind it until it closes.
  static platform::SplashWindow* splash_window = new platform::SplashWindow;  // closed before the GL window goes
  if (splash && !no_gui) {
    BgraPicture picture;
    std::vector<uint8_t> file;
    if (platform::ReadFileBytes(platform::DataFolder() + "/images/splash.dds", file, 64u << 20) == 0 &&
        ReadBgraPicture(file, picture)) {
      splash_window->Show(picture.bgra, picture.width, picture.height, platform::NowMsPrecise());
    } else {
      Logger().warning("Splash picture '%s' could not be read", (platform::DataFolder() + "/images/splash.dds").c_str());
    }
  }

  QorOpenGL& gl = Renderer();
  gl.show_on_create = !splash_window->open();
  // Balloons are kept in the log and shown in its panel too (an export's
  // names the files written); the tray sends them to the desktop.
  gl.hooks.balloon = [](const std::string& title, const std::string& text) {
    Logger().log_to_panel("%s: %s", title.c_str(), text.c_str());
  };
  gl.CreateGLWindow(platform::RunningFolder(), platform::DataFolder());
  if (!no_gui) {
    iface->Finish(gl, platform::DataFolder());
    iface->StartActiveGame(gl);
    iface->StartUpdateCheck();
  }
  splash_window->StartupDone();
  // The splash closes after its second: the main window comes to the front
  // with the focus, and the welcome sound plays.
  gl.hooks.each_pass = [&gl] {
    if (!splash_window->open()) return false;
    const double now = platform::NowMsPrecise();
    if (!splash_window->Step(now)) return true;
    Logger().log("Splash closed after %.0f ms", now - splash_window->shown_ms());
    gl.window.Show();
    gl.window.Focus();
    iface->PlayWelcome();
    return false;
  };
  std::srand(unsigned(std::time(nullptr)));
  for (const std::string& c : commands) iface->commands.RunCommand(c);
  if (!path.empty()) {
    Logger().log("Passing Xmodel: '%s' to background loader", path.c_str());
    gl.worker.AddJob(path, job::kOpenModel);
  }
  if (!anim.empty()) gl.LoadAnimation(anim, anim_frame);
  Logger().log("--- Program Ready ---\n");
  if (uncapped) gl.fps_focused = gl.fps_unfocused = 0;
  gl.keep_unchanged = !every_pass;
  int status = gl.MainLoop(frames, screenshot) ? 0 : 1;
  if (!dump_layout.empty() && !WriteTextFile(dump_layout, LayoutJson(iface->gui, platform::DataFolder()))) status = 1;
  Logger().log("\n--- Closing Down ---");
  splash_window->Close();
  iface->ShutdownSound();
  gl.RememberPlacement();
  s.SaveMenuStates();
  s.SaveCounters();
  s.SavePopups();
  iface->ShutdownGui(gl);
  gl.KillGLWindow();
  iface->ShutdownUpdates();
  Logger().close();
  return status;
}
