// vantor-cli iwd: the IWD image mover without a window. `--check` counts
// the game root's raw/images and says whether it looks complete; without it
// the copy pass runs, with a progress bar on a terminal (plain lines per
// archive otherwise), Ctrl-C stopping it before the next entry, and the
// counts on standard output at the end.
#include <atomic>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <string>

#include "cli/commands.h"
#include "imaging/iwd_utils.h"
#include "platform/fs_paths.h"
#include "platform/terminal.h"
#include "shell/logger.h"

namespace {

// ------------------------------------------------------------ output

// Standard error carries the log lines and, on a terminal, the bar; the
// bar is taken off its line before a log line is written and drawn again
// at the next tick.
class PassOutput {
 public:
  explicit PassOutput(bool terminal) : terminal_(terminal) {
    Logger().set_sink([this](std::string_view line) {
      std::string text = ConvertColourCodes(line, terminal_);
      std::lock_guard<std::mutex> hold(mutex_);
      ClearBarLocked();
      text.push_back('\n');
      std::fwrite(text.data(), 1, text.size(), stderr);
    });
  }
  ~PassOutput() {
    Logger().set_sink(nullptr);
    std::lock_guard<std::mutex> hold(mutex_);
    ClearBarLocked();
  }

  void Bar(const IwdProgress& p) {
    constexpr int kWidth = 24;
    int filled = int(p.Fraction() * kWidth + 0.5f);
    std::string line = "\r[";
    line.append(size_t(filled), '#');
    line.append(size_t(kWidth - filled), '.');
    line += "] archive " + (p.progress_text.empty() ? "0/" + std::to_string(p.archive_count) : p.progress_text);
    std::string name = p.archive_name.size() > 28 ? p.archive_name.substr(0, 25) + "..." : p.archive_name;
    line += " " + name + "  copied " + std::to_string(p.total_copied) + "  skipped " +
            std::to_string(p.total_skipped);
    if (p.total_refused) line += "  refused " + std::to_string(p.total_refused);
    if (p.total_failed) line += "  failed " + std::to_string(p.total_failed);
    line += "\033[K";
    std::lock_guard<std::mutex> hold(mutex_);
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
    bar_shown_ = true;
  }

  void Line(const std::string& text) {
    std::lock_guard<std::mutex> hold(mutex_);
    ClearBarLocked();
    std::fprintf(stderr, "%s\n", text.c_str());
  }

 private:
  void ClearBarLocked() {
    if (!bar_shown_) return;
    std::fputs("\r\033[K", stderr);
    bar_shown_ = false;
  }

  bool terminal_;
  std::mutex mutex_;
  bool bar_shown_ = false;
};

std::string ReportLine(const IwdArchiveReport& r, size_t index, size_t count) {
  std::string line = "archive " + std::to_string(index) + "/" + std::to_string(count) + " " + r.name + ": ";
  if (!r.opened) return line + "not a readable ZIP archive";
  line += std::to_string(r.copied) + " copied, " + std::to_string(r.skipped) + " skipped";
  if (r.refused) line += ", " + std::to_string(r.refused) + " refused";
  if (r.failed) line += ", " + std::to_string(r.failed) + " failed";
  return line;
}

// ------------------------------------------------------------ the two modes

int RunCheck(QorIWDUtils& utils, const std::string& root) {
  InstallStderrSink(Logger());
  utils.CheckForImages(root);
  utils.WaitForCheck();
  std::optional<uint32_t> count = utils.last_count();
  if (!count) {
    std::cerr << "error: " << root << " is not a game root with 'main' and 'raw/images' folders\n";
    return 1;
  }
  std::cout << utils.images_folder() << " holds " << *count << " .iwi files: ";
  if (*count >= iwd::kCompleteImageCount) {
    std::cout << "looks complete\n";
    return 0;
  }
  std::cout << "looks incomplete (fewer than " << iwd::kCompleteImageCount
            << "); `vantor-cli iwd ROOT` copies the images out of main/*.iwd\n";
  return 1;
}

int RunPass(QorIWDUtils& utils, const std::string& root) {
  bool terminal = platform::StderrIsTerminal();
  PassOutput out(terminal);
  utils.SetRoot(root);
  if (!platform::FolderExists(utils.main_folder())) {
    out.Line("error: " + root + " has no 'main' folder");
    return 1;
  }
  // A partial image left by a second Ctrl-C is never taken for a finished one.
  platform::InterruptCancels interrupt(utils.cancel);
  if (!utils.IWDToImages()) {
    out.Line("error: the pass could not start");
    return 1;
  }

  size_t reported = 0;
  auto plain_lines = [&](const IwdProgress& p) {
    for (const IwdArchiveReport& r : utils.TakeArchiveReports())
      out.Line(ReportLine(r, ++reported, p.archive_count));
  };
  // Woken at the end of the pass, so a short pass is not held up by the
  // drawing interval.
  while (!utils.WaitForPassFor(terminal ? 80 : 200)) {
    IwdProgress p = utils.Progress();
    if (terminal) {
      out.Bar(p);
    } else {
      plain_lines(p);
    }
  }
  utils.WaitForPass();
  IwdProgress p = utils.Progress();
  if (!terminal) plain_lines(p);
  if (std::optional<IwdMessage> m = utils.TakeMessage(); m && !m->text.empty()) out.Line("error: " + m->text);
  if (p.cancelled) out.Line("cancelled: images already written are kept");

  std::cout << "archives: " << p.archive_index << " of " << p.archive_count << "\n"
            << "images seen: " << p.total_seen << "\n"
            << "copied: " << p.total_copied << "\n"
            << "skipped (already present): " << p.total_skipped << "\n"
            << "refused: " << p.total_refused << "\n"
            << "failed: " << p.total_failed << "\n";
  if (p.cancelled) return 130;  // as a shell reports a command ended by SIGINT
  return p.permission_failure || p.total_failed ? 1 : 0;
}

}  // namespace

int CmdIwd(const CliArgs& args) {
  if (args.positional.size() != 1) {
    std::cerr << "usage: vantor-cli iwd ROOT [--check]\n";
    return 2;
  }
  QorIWDUtils utils;
  return args.Has("--check") ? RunCheck(utils, args.positional[0]) : RunPass(utils, args.positional[0]);
}
