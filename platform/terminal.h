// The process's terminal and session: whether standard streams are
// terminals, whether a display is there to open a window on, and Ctrl-C as
// a request to stop rather than the end of the process.
#pragma once

#include <atomic>

namespace platform {

bool StdinIsTerminal();
bool StderrIsTerminal();

// An X11 or Wayland display is named in the environment.
bool HasDisplay();

// While one exists, Ctrl-C sets `cancel` instead of ending the process; a
// second Ctrl-C ends it. One at a time.
class InterruptCancels {
 public:
  explicit InterruptCancels(std::atomic<bool>& cancel);
  ~InterruptCancels();
  InterruptCancels(const InterruptCancels&) = delete;
  InterruptCancels& operator=(const InterruptCancels&) = delete;

 private:
  struct Saved;
  Saved* saved_;
};

}  // namespace platform
