// zenity / kdialog as folder dialogs, and the browse start folder.
//
// The dialog runs without a shell: the title and folder are argv entries, so
// no quote, "$(...)" or newline in them is ever interpreted. The child gets a
// process group of its own, so killing the group also ends whatever a wrapper
// script started. The helper thread reads the child's answer, waits for it
// without reaping (waitid WNOWAIT) and reaps it under the lock; Cancel kills
// under the same lock only while the child is unreaped, so a pid that has
// been reused by another process is never signalled.
#include "platform/folder_browser.h"

#include <fcntl.h>     // Required for: pipe2(), O_CLOEXEC
#include <poll.h>      // Required for: poll()
#include <signal.h>    // Required for: kill(), sigset_t
#include <spawn.h>     // Required for: posix_spawnp()
#include <sys/stat.h>  // Required for: stat()
#include <sys/wait.h>  // Required for: waitid(), waitpid()
#include <unistd.h>    // Required for: access(), read(), close()

#include <cerrno>
#include <cstdlib>  // Required for: getenv()
#include <cstdarg>  // Required for: va_list
#include <cstdio>   // Required for: vsnprintf()
#include <cstring>  // Required for: strerror()
#include <filesystem>
#include <string_view>
#include <vector>

#include "platform/file_bytes.h"
#include "platform/program_paths.h"

extern char** environ;

namespace platform {
namespace {

bool IsFolder(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// An executable regular file named `name` in one of PATH's folders (an empty
// entry is the current folder, as execvp reads it).
bool OnPath(const char* name) {
  const char* path = std::getenv("PATH");
  if (!path) return false;
  std::string_view rest = path;
  while (true) {
    size_t colon = rest.find(':');
    std::string folder(rest.substr(0, colon));
    std::string file = (folder.empty() ? std::string(".") : folder) + "/" + name;
    struct stat st;
    if (::stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(file.c_str(), X_OK) == 0)
      return true;
    if (colon == std::string_view::npos) return false;
    rest.remove_prefix(colon + 1);
  }
}

// XDG_DESKTOP_DIR from "user-dirs.dirs": a shell assignment whose value is
// "$HOME/..." or an absolute path in double quotes. "" when it is not there.
std::string DesktopFromUserDirs(const std::string& home) {
  std::string config;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') {
    config = xdg;
  } else if (!home.empty()) {
    config = home + "/.config";
  } else {
    return "";
  }
  std::vector<uint8_t> bytes;
  if (ReadFileBytes(config + "/user-dirs.dirs", bytes, 64 * 1024) != 0) return "";
  std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  constexpr std::string_view kKey = "XDG_DESKTOP_DIR=\"";
  std::string desktop;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (line.substr(0, kKey.size()) != kKey) continue;
    line.remove_prefix(kKey.size());
    std::string value;
    bool closed = false;
    for (size_t i = 0; i < line.size(); ++i) {
      if (line[i] == '"') {
        closed = true;
        break;
      }
      if (line[i] == '\\' && i + 1 < line.size()) ++i;
      value += line[i];
    }
    if (!closed) continue;
    // The last assignment wins, as when the shell sources the file.
    if (value.rfind("$HOME", 0) == 0 && (value.size() == 5 || value[5] == '/')) {
      desktop = home.empty() ? "" : home + value.substr(5);
    } else if (!value.empty() && value[0] == '/') {
      desktop = value;
    }
  }
  return desktop;
}

std::string DesktopFolder(const std::string& home) {
  // Relative XDG paths are ignored, as the base-directory rules say.
  if (const char* env = std::getenv("XDG_DESKTOP_DIR"); env && env[0] == '/') return env;
  std::string desktop = DesktopFromUserDirs(home);
  if (!desktop.empty()) return desktop;
  return home.empty() ? "" : home + "/Desktop";
}

std::string Formatted(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Formatted(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int size = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text(size > 0 ? size_t(size) : 0, '\0');
  if (size > 0) std::vsnprintf(text.data(), text.size() + 1, format, again);
  va_end(again);
  return text;
}

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

}  // namespace

FolderBrowserKind PickFolderBrowser(std::string& warning) {
  warning.clear();
  if (const char* forced = std::getenv("VANTOR_FOLDER_BROWSER"); forced && *forced) {
    std::string_view name = forced;
    if (name == "zenity") return FolderBrowserKind::kZenity;
    if (name == "kdialog") return FolderBrowserKind::kKdialog;
    if (name == "entry") return FolderBrowserKind::kInWindow;
    warning = Formatted("VANTOR_FOLDER_BROWSER: unknown browser '%s' (zenity, kdialog or entry), choosing one",
                        forced);
  }
  if (OnPath("zenity")) return FolderBrowserKind::kZenity;
  if (OnPath("kdialog")) return FolderBrowserKind::kKdialog;
  return FolderBrowserKind::kInWindow;
}

std::string BrowseStartFolder(std::string& note) {
  note.clear();
  std::string home = HomeFolder();
  std::string prefix;
  if (const char* wine = std::getenv("WINEPREFIX"); wine && *wine) {
    prefix = wine;
  } else if (!home.empty()) {
    prefix = home + "/.wine";
  }
  if (!prefix.empty()) {
    std::string program_files = prefix + "/drive_c/Program Files (x86)";
    if (IsFolder(program_files)) return program_files;
  }
  note = "Failed to find PROGRAM_FILESX86 For Folder Browse (Trying Desktop)";
  std::string desktop = DesktopFolder(home);
  if (IsFolder(desktop)) return desktop;
  if (IsFolder(home)) return home;
  return "";
}

// ---------------------------------------------------------------------------
// FolderDialog

FolderDialog::~FolderDialog() { Cancel(); }

bool FolderDialog::Running() const { return running_; }

bool FolderDialog::Start(FolderBrowserKind kind, std::string title, std::string start_folder,
                         std::string& error) {
  error.clear();
  if (running_) {
    error = "FolderDialog::Start: a folder dialog is already open";
    return false;
  }
  if (kind == FolderBrowserKind::kInWindow) {
    error = "FolderDialog::Start: the in-window folder entry is not a dialog program";
    return false;
  }
  // An absolute start folder cannot be taken for an option by the dialog.
  if (!start_folder.empty()) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(start_folder, ec);
    if (!ec) start_folder = absolute.string();
  }

  const char* program = kind == FolderBrowserKind::kZenity ? "zenity" : "kdialog";
  std::vector<std::string> args;
  args.emplace_back(program);
  if (kind == FolderBrowserKind::kZenity) {
    args.emplace_back("--file-selection");
    args.emplace_back("--directory");
    args.push_back("--title=" + title);
    // The trailing "/" makes zenity open inside the folder, not select it in
    // its parent.
    if (!start_folder.empty())
      args.push_back("--filename=" + start_folder + (start_folder.back() == '/' ? "" : "/"));
  } else {
    args.emplace_back("--getexistingdirectory");
    if (!start_folder.empty()) args.push_back(start_folder);
    args.emplace_back("--title");
    args.push_back(title);
  }
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  int out[2] = {-1, -1};
  if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(cancel_fds_, O_CLOEXEC) != 0) {
    error = Formatted("FolderDialog::Start: no pipe for %s: %s", program, std::strerror(errno));
    CloseFd(out[0]);
    CloseFd(out[1]);
    return false;
  }

  // The child: standard output into the pipe, input and errors (GTK's
  // chatter) to /dev/null, a process group of its own, and the signal mask
  // and dispositions of a fresh process whatever this thread has set.
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  ::posix_spawn_file_actions_init(&actions);
  ::posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  ::posix_spawnattr_init(&attr);
  sigset_t empty, defaults;
  sigemptyset(&empty);
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  sigaddset(&defaults, SIGINT);
  sigaddset(&defaults, SIGTERM);
  sigaddset(&defaults, SIGHUP);
  ::posix_spawnattr_setsigmask(&attr, &empty);
  ::posix_spawnattr_setsigdefault(&attr, &defaults);
  ::posix_spawnattr_setpgroup(&attr, 0);
  ::posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t pid = -1;
  int spawn_error = ::posix_spawnp(&pid, program, &actions, &attr, argv.data(), environ);
  ::posix_spawn_file_actions_destroy(&actions);
  ::posix_spawnattr_destroy(&attr);
  CloseFd(out[1]);
  if (spawn_error != 0) {
    error = Formatted("FolderDialog::Start: could not run %s: %s", program, std::strerror(spawn_error));
    CloseFd(out[0]);
    CloseFd(cancel_fds_[0]);
    CloseFd(cancel_fds_[1]);
    return false;
  }

  pid_ = pid;
  out_fd_ = out[0];
  outcome_ = Outcome{};
  running_ = true;
  thread_ = std::thread([this] { Wait(); });
  return true;
}

// The helper thread: collect the answer, wait for the child, reap it.
void FolderDialog::Wait() {
  std::string output;
  bool cancelled = false;
  bool too_long = false;
  bool read_failed = false;
  char buffer[1024];
  while (true) {
    pollfd fds[2] = {{out_fd_, POLLIN, 0}, {cancel_fds_[0], POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      read_failed = true;
      break;
    }
    if (fds[1].revents != 0) {
      cancelled = true;
      break;
    }
    if (fds[0].revents == 0) continue;
    ssize_t n = ::read(out_fd_, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      read_failed = true;
      break;
    }
    if (size_t(n) > kMaxAnswerBytes - output.size()) {
      too_long = true;
      break;
    }
    output.append(buffer, size_t(n));
  }
  // A child that is not going to be listened to any more must not linger.
  if (cancelled || too_long || read_failed) KillChild();

  siginfo_t info{};
  int wait_result;
  do {
    wait_result = ::waitid(P_PID, id_t(pid_), &info, WEXITED | WNOWAIT);
  } while (wait_result != 0 && errno == EINTR);
  int wait_error = wait_result == 0 ? 0 : errno;

  std::lock_guard<std::mutex> hold(mutex_);
  int status = 0;
  bool exited_zero = false;
  if (wait_result == 0 && ::waitpid(pid_, &status, 0) == pid_)
    exited_zero = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  outcome_.reaped = true;
  outcome_.done = true;
  if (cancelled) return;
  if (too_long) {
    outcome_.warning = Formatted("FolderDialog: the dialog's answer is longer than %zu bytes; ignored", kMaxAnswerBytes);
  } else if (read_failed) {
    outcome_.warning = "FolderDialog: could not read the dialog's answer";
  } else if (wait_result != 0) {
    outcome_.warning = Formatted("FolderDialog: could not wait for the dialog: %s", std::strerror(wait_error));
  } else if (exited_zero) {
    if (!output.empty() && output.back() == '\n') output.pop_back();
    if (output.find('\0') != std::string::npos) {
      outcome_.warning = "FolderDialog: the dialog's answer is not a path; ignored";
    } else {
      outcome_.answer = std::move(output);
    }
  } else if (WIFSIGNALED(status)) {
    outcome_.warning = Formatted("FolderDialog: the dialog ended on signal %d", WTERMSIG(status));
  }
  // Any other exit status is the dialog's cancel (1) or its own error.
}

void FolderDialog::KillChild() {
  std::lock_guard<std::mutex> hold(mutex_);
  if (!outcome_.reaped && pid_ > 0) ::kill(-pid_, SIGKILL);
}

void FolderDialog::Finish() {
  if (thread_.joinable()) thread_.join();
  CloseFd(out_fd_);
  CloseFd(cancel_fds_[0]);
  CloseFd(cancel_fds_[1]);
  pid_ = -1;
  running_ = false;
}

std::optional<std::string> FolderDialog::Poll(std::string& warning) {
  if (!running_) return std::nullopt;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    if (!outcome_.done) return std::nullopt;
  }
  Finish();
  warning = std::move(outcome_.warning);
  outcome_.warning.clear();
  return std::move(outcome_.answer);
}

void FolderDialog::Cancel() {
  if (!running_) return;
  KillChild();
  char wake = 1;
  while (::write(cancel_fds_[1], &wake, 1) < 0 && errno == EINTR) {
  }
  Finish();
  outcome_ = Outcome{};
}

}  // namespace platform
