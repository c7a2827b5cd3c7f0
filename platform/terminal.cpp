#include "platform/terminal.h"

#include <signal.h>  // Required for: sigaction()
#include <unistd.h>  // Required for: isatty()

#include <cstdlib>  // Required for: getenv()

namespace platform {

bool StdinIsTerminal() { return ::isatty(STDIN_FILENO) == 1; }
bool StderrIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

bool HasDisplay() { return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY"); }

namespace {

static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");
std::atomic<bool>* g_cancel = nullptr;

extern "C" void OnInterrupt(int) {
  if (g_cancel) g_cancel->store(true);
  // A second Ctrl-C ends the process.
  ::signal(SIGINT, SIG_DFL);
}

}  // namespace

struct InterruptCancels::Saved {
  struct sigaction old = {};
};

InterruptCancels::InterruptCancels(std::atomic<bool>& cancel) : saved_(new Saved) {
  g_cancel = &cancel;
  struct sigaction sa = {};
  sa.sa_handler = OnInterrupt;
  sigemptyset(&sa.sa_mask);
  ::sigaction(SIGINT, &sa, &saved_->old);
}

InterruptCancels::~InterruptCancels() {
  ::sigaction(SIGINT, &saved_->old, nullptr);
  g_cancel = nullptr;
  delete saved_;
}

}  // namespace platform
