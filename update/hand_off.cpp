#include "update/hand_off.h"

#include <fcntl.h>     // Required for: open()
#include <sys/wait.h>  // Required for: waitpid()
#include <unistd.h>    // Required for: fork(), setsid(), execv(), getpid()

#include <cerrno>
#include <string>

namespace update {

bool HandOff(const std::string& script, const std::string& program_folder, const std::string& unpacked) {
  const std::string pid = std::to_string(::getpid());
  const std::string log = script.substr(0, script.rfind('/') + 1) + "handoff.log";
  // Everything the child needs is made before fork: only async-signal-safe
  // calls follow it.
  const char* argv[] = {"/bin/sh", script.c_str(), program_folder.c_str(), unpacked.c_str(), pid.c_str(), nullptr};
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    // The middle process leaves at once, so the script is nobody's child
    // here and never becomes a zombie of ours.
    if (::setsid() < 0 || ::fork() != 0) ::_exit(0);
    const int null_fd = ::open("/dev/null", O_RDONLY);
    const int log_fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (null_fd >= 0) ::dup2(null_fd, 0);
    if (log_fd >= 0) {
      ::dup2(log_fd, 1);
      ::dup2(log_fd, 2);
    }
    ::close_range(3, ~0U, 0);  // the program's files and sockets stay its own
    ::execv("/bin/sh", const_cast<char* const*>(argv));
    ::_exit(127);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return true;
}

}  // namespace update
