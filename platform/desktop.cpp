// xdg-open, reaped by a thread of its own, which also tells its failure when
// the caller asks. The "no desktop opener" text goes back to the caller.
#include "platform/desktop.h"

#include <fcntl.h>     // Required for: O_WRONLY
#include <spawn.h>     // Required for: posix_spawnp()
#include <sys/wait.h>  // Required for: waitpid()

#include <cerrno>  // Required for: errno
#include <thread>

extern char** environ;

namespace platform {
namespace {

std::string NoOpener(const std::string& path) { return "Could not open '" + path + "': no desktop opener"; }

}  // namespace

std::string OpenWithDesktop(const std::string& path) {
  // xdg-open itself, not through a shell: a shell starts even where there is
  // no opener, and the file would silently not open.
  return OpenWithDesktopOr(path, nullptr);
}

std::string OpenWithDesktopOr(const std::string& path, std::function<void()> failed) {
  // xdg-open itself, so its status says whether anything took the file; its
  // chatter goes nowhere.
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const char* argv[] = {"xdg-open", path.c_str(), nullptr};
  const int started = posix_spawnp(&pid, "xdg-open", &quiet, nullptr, const_cast<char**>(argv), environ);
  posix_spawn_file_actions_destroy(&quiet);
  if (started != 0) {
    return NoOpener(path);
  }
  // A browser started in the foreground may keep the opener for as long as
  // it runs: nobody waits for it but this thread.
  std::thread([pid, failed = std::move(failed)] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      if (failed) failed();
    }
  }).detach();
  return "";
}

}  // namespace platform
