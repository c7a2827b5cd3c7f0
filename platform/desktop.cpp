// xdg-open, detached.
#include "platform/desktop.h"

#include <spawn.h>     // Required for: posix_spawnp()
#include <sys/wait.h>  // Required for: waitpid()

#include "shell/logger.h"

extern char** environ;

namespace platform {

bool OpenWithDesktop(const std::string& path) {
  // A grandchild runs xdg-open so no zombie is left behind.
  pid_t pid = 0;
  const char* argv[] = {"sh", "-c", "xdg-open \"$1\" >/dev/null 2>&1 &", "sh", path.c_str(), nullptr};
  if (posix_spawnp(&pid, "sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
    Logger().warning("Could not open '%s': no desktop opener", path.c_str());
    return false;
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return true;
}

}  // namespace platform
