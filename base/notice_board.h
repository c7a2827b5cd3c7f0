// The notice board: the one place where background threads (the model
// worker, the IWD mover, later the list loader and the downloader) leave
// what the interface and the window should show or do. Named texts
// ("iwd_progress_text"), progress values ("progress_bar") and row tables
// (the properties and tags panels' rows) are state that the latest write
// wins; posted command texts ("open iwd_images_menu;"),
// error-box texts, sound names and application messages are queued and
// taken once. Any thread writes; the main thread takes everything once per
// frame with Drain, in one hold of the lock. No GL, no window.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/list_source.h"

// The window's application messages (WM_APP + n on the original desktop).
enum class AppMessageKind { kBalloon = 1, kTrayIconChange = 2, kQuit = 3, kTray = 10 };

struct AppMessage {
  AppMessageKind kind = AppMessageKind::kBalloon;
  std::string text;
  // The balloon's title: the worker's notices carry their own ("Exported
  // MA"), a plain balloon message shows "Vantor".
  std::string title = "Vantor";
  // An export's notice offers "Open Folder" on this folder; "" offers none.
  std::string folder{};
};

// Named values written together, seen together: a reader never gets one
// without the others.
struct BoardValues {
  std::vector<std::pair<std::string, std::string>> texts;
  std::vector<std::pair<std::string, float>> progress;
};

// What the main thread holds between two drains. The texts and progress
// values are a full copy as of `version`; the queues hold only what was
// posted since the previous drain, in posting order (so in order per
// posting thread).
// A published table of rows, shared: a drain copies the pointer, never the
// rows.
using SharedRows = std::shared_ptr<const std::vector<DetailRow>>;

struct BoardSnapshot {
  uint64_t version = 0;
  std::map<std::string, std::string, std::less<>> texts;
  std::map<std::string, float, std::less<>> progress;
  std::map<std::string, SharedRows, std::less<>> rows;
  std::vector<std::string> commands;  // command texts for Processcmd
  std::vector<std::string> errors;    // texts for the GUI's error box
  std::vector<std::string> notes;     // texts for the GUI's message box
  std::vector<std::string> sounds;    // interface sound names
  std::vector<AppMessage> messages;

  // "" when the name has no text yet (a named label then draws nothing).
  const std::string& Text(std::string_view name) const;
  // 0 when nothing was published under the name.
  float Progress(std::string_view name) const;
  // nullptr when nothing was published under the name.
  SharedRows Rows(std::string_view name) const;
  // The fill in pixels of a bar `full_width` wide.
  int ProgressWidth(std::string_view name, int full_width) const;
};

class NoticeBoard {
 public:
  NoticeBoard() = default;
  NoticeBoard(const NoticeBoard&) = delete;
  NoticeBoard& operator=(const NoticeBoard&) = delete;

  void SetText(std::string_view name, std::string_view text);
  // `fill` from 0 (empty) to 1 (full), clamped; the bar turns it into
  // pixels of its own width.
  void SetProgress(std::string_view name, float fill);
  void Publish(const BoardValues& values);
  void SetRows(std::string_view name, std::vector<DetailRow> rows);
  std::string Text(std::string_view name) const;
  float Progress(std::string_view name) const;
  SharedRows Rows(std::string_view name) const;

  // A ";"-separated command list, run by the main thread in posting order.
  void PostCommand(std::string commands);
  void ShowError(std::string text);
  // The message box ("msg_box_menu") with the text.
  void ShowMessage(std::string text);
  void PlaySound(std::string name);
  void PostMessage(AppMessage message);

  // A thread that changed something the window reads elsewhere (the model
  // list) wakes it up: the next drain reports a change.
  void Touch();

  // Bumped by every write; a reader holding this version has seen it all.
  uint64_t version() const;

  // Main thread, once per frame: brings `view` up to date (the maps are
  // copied only when something changed since `view.version`), replaces its
  // queues with what was posted since the last drain and empties the board's.
  // False when nothing changed and nothing was posted.
  bool Drain(BoardSnapshot& view);

  // A new run starts clean (tests, the command line).
  void Clear();

 private:
  mutable std::mutex lock_;
  uint64_t version_ = 0;
  std::map<std::string, std::string, std::less<>> texts_;
  std::map<std::string, float, std::less<>> progress_;
  std::map<std::string, SharedRows, std::less<>> rows_;
  std::vector<std::string> commands_;
  std::vector<std::string> errors_;
  std::vector<std::string> notes_;
  std::vector<std::string> sounds_;
  std::vector<AppMessage> messages_;
};

// The program's board, read by the window each frame. Never destroyed, so a
// thread still running at exit keeps a valid object.
NoticeBoard& Board();
