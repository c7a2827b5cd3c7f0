// One progress bar on standard error, sharing the stream with the log: the
// bar is taken off its line before a log line or a message is written and
// drawn again at the next tick. Off a terminal nothing is drawn and the log
// lines go out as they come.
#pragma once

#include <mutex>
#include <string>
#include <string_view>

class ProgressLine {
 public:
  // Takes the logger's sink for the life of the object.
  explicit ProgressLine(bool terminal);
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  bool terminal() const { return terminal_; }
  // "[#####.....] label", `fill` from 0 to 1; nothing off a terminal.
  void Draw(float fill, std::string_view label);
  // A log line (colour codes kept), written as the logger's sink writes it.
  void Log(std::string_view line);
  // A line of its own; any byte in it is shown escaped.
  void Line(const std::string& text);
  // While a question waits for its answer on the terminal the bar stays
  // off its line, so it never draws over the prompt.
  void Pause(bool paused);

 private:
  void ClearLocked();

  bool terminal_;
  std::mutex mutex_;
  bool shown_ = false;
  bool paused_ = false;
};
