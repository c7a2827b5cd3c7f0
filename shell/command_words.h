// The program's own command words, registered with the toolkit's command
// processor at start-up: the exports and reports queued on the model worker,
// saving and resetting the settings, the IWD image pass, the web pages and
// the mouse diagram swap. The toolkit never knows the model, the exporters
// or the settings; what a word needs comes in here.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class CommandProcessor;
class QorGUI;
struct QorSettings;

struct ProgramWords {
  QorGUI* gui = nullptr;
  QorSettings* settings = nullptr;
  // Queues a job on the worker for the model on show, with the export
  // settings as they are now (a check box changed since start-up counts).
  std::function<void(uint32_t flags)> queue_job;
  // Whether there is a model to export; without one the model's words say
  // so in the error box and queue nothing. Unset: always.
  std::function<bool()> has_model;
  std::function<void()> run_iwd_scan;
  std::function<void()> cancel_iwd_scan;
  // The update menu's download, and its Cancel (closing the menu).
  std::function<void()> download_update;
  std::function<void()> stop_update_download;
  // Opens a web page in the desktop's browser.
  std::function<void(const std::string& url)> open_page;
  // The donation prompt's draws.
  std::function<uint32_t()> random;
  // The animation player's words, "anim_play", "anim_pause", "anim_step N"
  // and "anim_stop", with their values.
  std::function<void(const std::string& word, const std::string& value)> animation;
};

void RegisterProgramWords(CommandProcessor& commands, ProgramWords words);
