// The folder dialogs against stub "zenity" and "kdialog" scripts put first on
// PATH: arguments reach them unchanged (no shell), answers, cancels and
// oversize answers, one dialog at a time, a dialog killed with its owner; the
// choice of browser; the start folder from the Wine prefix, desktop or home.
// And the desktop opener missing from PATH. Each hands back the text its
// caller logs.
#include "platform/folder_browser.h"

#include <gtest/gtest.h>
#include <signal.h>    // Required for: kill()
#include <sys/stat.h>  // Required for: chmod()

#include <chrono>
#include <cstdlib>  // Required for: getenv()
#include <filesystem>
#include <optional>
#include <sstream>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/desktop.h"
#include "tests/support/files.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

using platform::FolderBrowserKind, platform::FolderDialog;
using test_support::ReadText, test_support::ScopedEnv, test_support::WriteText;

void WriteScript(const std::string& path, const std::string& body) {
  fs::create_directories(fs::path(path).parent_path());
  WriteText(path, "#!/bin/sh\n" + body);
  ::chmod(path.c_str(), 0755);
}

// A stub dialog that records its arguments (NUL-separated) in `dir`/args,
// prints `dir`/answer and exits with `code`.
void WriteStub(const test_support::TempDir& dir, const char* name, int code) {
  WriteScript(dir.Sub(std::string("bin/") + name),
              ": > '" + dir.Sub("args") + "'\n"
              "for a in \"$@\"; do printf '%s\\0' \"$a\" >> '" + dir.Sub("args") + "'; done\n"
              "cat '" + dir.Sub("answer") + "'\n"
              "exit " + std::to_string(code) + "\n");
}

std::vector<std::string> RecordedArgs(const test_support::TempDir& dir) {
  std::string all = ReadText(dir.Sub("args"));
  std::vector<std::string> args;
  for (size_t start = 0, end; (end = all.find('\0', start)) != std::string::npos; start = end + 1)
    args.push_back(all.substr(start, end - start));
  return args;
}

// Polls like the window's frames do, with a generous cap so a hang fails the
// test instead of stalling it.
template <class Done>
bool Eventually(Done done) {
  for (int i = 0; i < 2000; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(10)))
    if (done()) return true;
  return false;
}
std::optional<std::string> WaitForAnswer(FolderDialog& dialog, std::string* warning = nullptr) {
  std::string said;
  std::optional<std::string> answer;
  Eventually([&] { return (answer = dialog.Poll(said)).has_value(); });
  if (warning) *warning = said;
  return answer;
}

// A bin folder of stubs first on PATH, the rest of PATH after it (the stubs
// use cat and sleep).
struct StubPath {
  test_support::TempDir dir{"vantor_folders"};
  ScopedEnv path{"PATH", dir.Sub("bin") + ":" + (std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin")};
};

bool ProcessGone(pid_t pid) {
  if (::kill(pid, 0) != 0) return true;
  // Reparented and not reaped yet (a container's init may never reap): a
  // zombie is gone as far as the dialog is concerned.
  std::string stat = ReadText("/proc/" + std::to_string(pid) + "/stat");
  size_t paren = stat.rfind(')');
  return paren != std::string::npos && paren + 2 < stat.size() && stat[paren + 2] == 'Z';
}

TEST(FolderDialog, TitleAndFolderReachTheDialogUnchangedAndTheAnswerComesOnce) {
  StubPath stubs;
  const std::string start = stubs.dir.Sub("start here");
  fs::create_directories(start);
  const std::string title = "Select 'COD 4' \"root\" $(touch " + stubs.dir.Sub("pwned") + ") `id` ; *\nline two";
  WriteText(stubs.dir.Sub("answer"), "/games/cod 4 root\n");
  const struct { FolderBrowserKind kind; const char* name; std::vector<std::string> args; } cases[] = {
      {FolderBrowserKind::kZenity, "zenity",
       {"--file-selection", "--directory", "--title=" + title, "--filename=" + start + "/"}},
      {FolderBrowserKind::kKdialog, "kdialog", {"--getexistingdirectory", start, "--title", title}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteStub(stubs.dir, c.name, 0);
    FolderDialog dialog;
    std::string error;
    ASSERT_TRUE(dialog.Start(c.kind, title, start, error)) << error;
    EXPECT_TRUE(dialog.Running());
    EXPECT_EQ(WaitForAnswer(dialog), std::optional<std::string>("/games/cod 4 root"));
    EXPECT_FALSE(dialog.Running());
    EXPECT_EQ(dialog.Poll(error), std::nullopt);
    EXPECT_EQ(RecordedArgs(stubs.dir), c.args);
  }
  EXPECT_FALSE(fs::exists(stubs.dir.Sub("pwned")));
}

// Exit status 1 is the dialogs' cancel; an answer is a path plus its line
// feed, at most 4096 bytes in all. What is refused comes with the warning
// the window logs.
TEST(FolderDialog, CancelFailureAndOversizeAnswersGiveEmpty) {
  StubPath stubs;
  const std::string longest(FolderDialog::kMaxAnswerBytes - 1, 'a');
  const std::string too_long = "FolderDialog: the dialog's answer is longer than 4096 bytes; ignored";
  const struct { int code; std::string printed, expected, warning; } cases[] = {
      {1, "/chosen\n", "", ""},
      {5, "/chosen\n", "", ""},
      {0, "", "", ""},
      {0, "/no/newline", "/no/newline", ""},
      {0, std::string("/nul\0inside\n", 12), "", "FolderDialog: the dialog's answer is not a path; ignored"},
      {0, "/" + longest.substr(1) + "\n", "/" + longest.substr(1), ""},
      {0, "/" + longest + "\n", "", too_long},
      {0, std::string(100000, 'b'), "", too_long},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "exit " << c.code << ", " << c.printed.size() << " bytes");
    WriteStub(stubs.dir, "zenity", c.code);
    WriteText(stubs.dir.Sub("answer"), c.printed);
    FolderDialog dialog;
    std::string warning = "stale";
    ASSERT_TRUE(dialog.Start(FolderBrowserKind::kZenity, "t", "", warning));
    EXPECT_EQ(WaitForAnswer(dialog, &warning), std::optional<std::string>(c.expected));
    EXPECT_EQ(warning, c.warning);
  }
  // No start folder: no --filename.
  EXPECT_EQ(RecordedArgs(stubs.dir), (std::vector<std::string>{"--file-selection", "--directory", "--title=t"}));
}

// A second Start while one runs, the in-window kind and a missing program are
// refused; destroying the dialog kills the program and what it started.
TEST(FolderDialog, RefusesWhatItCannotRunAndKillsItsDialogWhenDestroyed) {
  StubPath stubs;
  WriteScript(stubs.dir.Sub("bin/kdialog"),
              "sleep 30 &\n"
              "echo $$ $! > '" + stubs.dir.Sub("pids.tmp") + "'\n"
              "mv '" + stubs.dir.Sub("pids.tmp") + "' '" + stubs.dir.Sub("pids") + "'\n"
              "wait\n");
  pid_t shell_pid = 0, sleep_pid = 0;
  {
    FolderDialog dialog;
    std::string error;
    EXPECT_FALSE(dialog.Start(FolderBrowserKind::kInWindow, "t", "", error));
    EXPECT_EQ(error, "FolderDialog::Start: the in-window folder entry is not a dialog program");
    EXPECT_FALSE(dialog.Start(FolderBrowserKind::kZenity, "t", "", error));  // no stub
    EXPECT_EQ(error, "FolderDialog::Start: could not run zenity: No such file or directory");
    EXPECT_FALSE(dialog.Running());

    ASSERT_TRUE(dialog.Start(FolderBrowserKind::kKdialog, "t", "", error));
    EXPECT_FALSE(dialog.Start(FolderBrowserKind::kKdialog, "t", "", error));
    EXPECT_EQ(error, "FolderDialog::Start: a folder dialog is already open");
    EXPECT_TRUE(dialog.Running());
    Eventually([&] { return fs::exists(stubs.dir.Sub("pids")); });
    std::istringstream(ReadText(stubs.dir.Sub("pids"))) >> shell_pid >> sleep_pid;
    ASSERT_GT(shell_pid, 0);
    ASSERT_GT(sleep_pid, 0);
    EXPECT_EQ(dialog.Poll(error), std::nullopt);
  }
  EXPECT_TRUE(ProcessGone(shell_pid));
  EXPECT_TRUE(Eventually([&] { return ProcessGone(sleep_pid); }));

  // Cancel leaves the dialog ready for the next one, with no stale answer.
  WriteStub(stubs.dir, "kdialog", 0);
  WriteText(stubs.dir.Sub("answer"), "/next\n");
  FolderDialog dialog;
  std::string error;
  ASSERT_TRUE(dialog.Start(FolderBrowserKind::kKdialog, "t", "", error));
  dialog.Cancel();
  EXPECT_FALSE(dialog.Running());
  EXPECT_EQ(dialog.Poll(error), std::nullopt);
  ASSERT_TRUE(dialog.Start(FolderBrowserKind::kKdialog, "t", "", error));
  EXPECT_EQ(WaitForAnswer(dialog), std::optional<std::string>("/next"));
}

TEST(PickFolderBrowser, VariableWinsThenZenityThenKdialogOnPath) {
  test_support::TempDir dir("vantor_folders");
  fs::create_directories(dir.Sub("bin"));
  ScopedEnv path("PATH", "/nonexistent::" + dir.Sub("bin"));
  ScopedEnv unset("VANTOR_FOLDER_BROWSER", std::nullopt);
  std::string warning;
  auto pick = [&warning] { return platform::PickFolderBrowser(warning); };

  EXPECT_EQ(pick(), FolderBrowserKind::kInWindow);
  WriteText(dir.Sub("bin/zenity"), "");  // not executable: not a candidate
  fs::create_directories(dir.Sub("bin/kdialog"));  // a folder neither
  EXPECT_EQ(pick(), FolderBrowserKind::kInWindow);
  fs::remove(dir.Sub("bin/kdialog"));
  WriteScript(dir.Sub("bin/kdialog"), "");
  EXPECT_EQ(pick(), FolderBrowserKind::kKdialog);
  ::chmod(dir.Sub("bin/zenity").c_str(), 0755);
  EXPECT_EQ(pick(), FolderBrowserKind::kZenity);
  EXPECT_EQ(warning, "");

  const std::tuple<const char*, FolderBrowserKind, std::string> forced[] = {
      {"entry", FolderBrowserKind::kInWindow, ""},
      {"kdialog", FolderBrowserKind::kKdialog, ""},
      {"Zenity", FolderBrowserKind::kZenity,  // unknown: the automatic choice
       "VANTOR_FOLDER_BROWSER: unknown browser 'Zenity' (zenity, kdialog or entry), choosing one"},
      {"zenity", FolderBrowserKind::kZenity, ""},
  };
  for (const auto& [value, kind, said] : forced) {
    ScopedEnv set("VANTOR_FOLDER_BROWSER", value);
    EXPECT_EQ(pick(), kind) << value;
    EXPECT_EQ(warning, said) << value;
  }
}

TEST(BrowseStartFolder, WineProgramFilesThenDesktopThenHome) {
  test_support::TempDir dir("vantor_folders");
  const std::string home = dir.Sub("home");
  const std::string programs = dir.Sub("prefix/drive_c/Program Files (x86)");
  for (const std::string& d : {programs, home + "/.config"}) fs::create_directories(d);
  ScopedEnv env_home("HOME", home), env_prefix("WINEPREFIX", dir.Sub("prefix"));
  ScopedEnv env_desktop("XDG_DESKTOP_DIR", std::nullopt), env_config("XDG_CONFIG_HOME", std::nullopt);
  std::string note = "stale";
  auto start = [&note] { return platform::BrowseStartFolder(note); };
  EXPECT_EQ(start(), programs);
  EXPECT_EQ(note, "");

  // Without WINEPREFIX the prefix is ~/.wine.
  fs::create_directories(home + "/.wine/drive_c/Program Files (x86)");
  {
    ScopedEnv no_prefix("WINEPREFIX", std::nullopt);
    EXPECT_EQ(start(), home + "/.wine/drive_c/Program Files (x86)");
  }

  fs::remove_all(dir.Sub("prefix"));
  for (const std::string& d : {home + "/Desktop", home + "/Schreibtisch", dir.Sub("xdg desktop")})
    fs::create_directories(d);
  WriteText(home + "/.config/user-dirs.dirs",
            "# written by xdg-user-dirs-update\n"
            "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n"
            "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
  {
    ScopedEnv desktop("XDG_DESKTOP_DIR", dir.Sub("xdg desktop"));
    EXPECT_EQ(start(), dir.Sub("xdg desktop"));
    EXPECT_EQ(note, "Failed to find PROGRAM_FILESX86 For Folder Browse (Trying Desktop)");
  }
  EXPECT_EQ(start(), home + "/Schreibtisch");
  {
    // XDG_CONFIG_HOME moves user-dirs.dirs; an absolute value is taken as is.
    fs::create_directories(dir.Sub("config"));
    WriteText(dir.Sub("config/user-dirs.dirs"), "XDG_DESKTOP_DIR=\"" + dir.Sub("xdg desktop") + "\"\n");
    ScopedEnv config("XDG_CONFIG_HOME", dir.Sub("config"));
    EXPECT_EQ(start(), dir.Sub("xdg desktop"));
  }
  fs::remove(home + "/.config/user-dirs.dirs");
  EXPECT_EQ(start(), home + "/Desktop");
  {
    ScopedEnv relative("XDG_DESKTOP_DIR", "xdg desktop");  // relative: ignored
    EXPECT_EQ(start(), home + "/Desktop");
  }
  fs::remove(home + "/Desktop");
  EXPECT_EQ(start(), home);
  ScopedEnv gone("HOME", dir.Sub("no such home"));
  EXPECT_EQ(start(), "");
}

// No opener: the text to log comes back and the failure callback is left
// to the caller, who tells the user after logging.
TEST(OpenWithDesktop, NoOpenerGivesTheTextToLogAndLeavesTheFailureToTheCaller) {
  test_support::TempDir empty("vantor_desktop");
  ScopedEnv path("PATH", empty.path());
  const std::string said = "Could not open '/x/tags.html': no desktop opener";
  EXPECT_EQ(platform::OpenWithDesktop("/x/tags.html"), said);
  int failed = 0;
  EXPECT_EQ(platform::OpenWithDesktopOr("/x/tags.html", [&failed] { ++failed; }), said);
  EXPECT_EQ(failed, 0);
  // A shell but no xdg-open is no opener either.
  std::filesystem::create_symlink("/bin/sh", empty.path() + "/sh");
  EXPECT_EQ(platform::OpenWithDesktop("/x/tags.html"), said);
}

}  // namespace
