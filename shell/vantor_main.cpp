// vantor: the window. Start-up in its fixed order, the frame loop, shutdown.
//   vantor [--game cod4|cod5|bo] [--frames N --screenshot FILE] [--uncapped] [PATH]
// PATH opens a model at start; --frames renders N frames once the start-up
// job is done, saves the last one as a DDS screenshot and exits.
#include <cstdlib>
#include <iostream>
#include <string>

#include "cli/cli_args.h"
#include "platform/fs_paths.h"
#include "platform/program_paths.h"
#include "platform/terminal.h"
#include "shell/logger.h"
#include "shell/qor_opengl.h"
#include "shell/settings.h"

int main(int argc, char** argv) {
  std::string path, screenshot;
  int frames = 0;
  bool uncapped = false;  // benchmarks: no frame cap
  std::optional<int> game;
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
    } else if (a == "--screenshot") {
      screenshot = value("--screenshot");
    } else if (a == "--game") {
      game = ParseGameName(value("--game"));
      if (!game) {
        std::cerr << "vantor: unknown game (cod4, cod5 or bo)\n";
        return 2;
      }
    } else if (a == "--help" || a == "-h") {
      std::cout << "usage: vantor [--game cod4|cod5|bo] [--frames N] [--screenshot FILE] [--uncapped] [PATH]\n";
      return 0;
    } else if (!a.empty() && a[0] == '-') {
      std::cerr << "vantor: unknown option " << a << "\n";
      return 2;
    } else {
      path = a;
    }
  }
  if (!platform::HasDisplay()) {
    std::cerr << "vantor: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                 "vantor-cli does the same work without a window\n";
    return 1;
  }

  QorLogger& log = Logger();
  log.set_file_name("Log.txt");
  log.set_sync_mode(1);
  log.write_header();
  QorSettings& s = Settings();
  s.Load();
  ++s.run_count;
  if (s.logging_mode != 1) s.SetLoggingMode(0);
  if (game) s.active_game = *game == Cod5 ? 1 : *game == BO ? 2 : 0;

  QorOpenGL& gl = Renderer();
  // Until the interface draws its own error box and balloons and runs
  // command texts, what the background threads post is kept in the log.
  gl.hooks.balloon = [](const std::string& title, const std::string& text) {
    Logger().log("%s: %s", title.c_str(), text.c_str());
  };
  gl.hooks.show_error = [](const std::string& text) { Logger().log("^1Error^7: %s", text.c_str()); };
  gl.hooks.run_commands = [](const std::string& commands) {
    Logger().log("Not run (no interface yet): %s", commands.c_str());
  };
  gl.CreateGLWindow(platform::ProgramFolder(), platform::DataFolder());
  if (!path.empty()) {
    Logger().log("Passing Xmodel: '%s' to background loader", path.c_str());
    gl.worker.AddJob(path, job::kOpenModel);
  }
  Logger().log("--- Program Ready ---\n");
  if (uncapped) gl.fps_focused = gl.fps_unfocused = 0;
  gl.MainLoop(frames, screenshot);

  Logger().log("\n--- Closing Down ---");
  s.SaveMenuStates();
  s.SaveCounters();
  s.SavePopups();
  gl.KillGLWindow();
  Logger().close();
  return 0;
}
