// vantor-cli iwd: the IWD image mover without a window. `--check` counts
// the game root's raw/images and says whether it looks complete; without it
// the copy pass runs, with a progress bar on a terminal (plain lines per
// archive otherwise), Ctrl-C stopping it before the next entry, and the
// counts on standard output at the end. `--index` lists what the image
// lookups would read from the archives.
#include <algorithm>  // Required for: sort()
#include <atomic>
#include <cstdio>
#include <iostream>
#include <string>

#include "base/logger.h"
#include "cli/commands.h"
#include "cli/progress_line.h"
#include "cli/terminal_text.h"
#include "imaging/iwd_index.h"
#include "jobs/iwd_utils.h"
#include "platform/fs_paths.h"
#include "platform/terminal.h"

namespace {

// ------------------------------------------------------------ output

// The bar's label, from the mover's board as the window's panel draws it.
std::string BarLabel(const BoardSnapshot& board) {
  const std::string& archive = board.Text(iwd::kArchiveText);
  std::string label = "archive " + (archive.empty() ? std::string("-") : archive);
  const std::string& full_name = board.Text(iwd::kArchiveNameText);
  std::string name = full_name.size() > 28 ? full_name.substr(0, 25) + "..." : full_name;
  return label + " " + Printable(name) + "  " + board.Text(iwd::kPassText);
}

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
  InstallStderrSink(Logger(), platform::StderrIsTerminal());
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

// The images the viewer and the exports would read from the archives when
// raw/images lacks them: one line each, "<name below images/> <archive>",
// by name, then the counts.
int RunIndex(const std::string& root) {
  InstallStderrSink(Logger(), platform::StderrIsTerminal());
  std::shared_ptr<const IwdImageIndex> index = IwdImages().Get(root);
  if (!index) {
    std::cerr << "error: " << root << " has no 'main' folder\n";
    return 1;
  }
  std::vector<const IwdIndexedEntry*> entries = index->FirstEntries();
  std::sort(entries.begin(), entries.end(),
            [](const IwdIndexedEntry* a, const IwdIndexedEntry* b) { return a->image < b->image; });
  for (const IwdIndexedEntry* e : entries) std::cout << Printable(e->image) << " " << Printable(index->Label(*e)) << "\n";
  std::cout << "images: " << entries.size() << " in " << index->archives().size() << " archives\n";
  return 0;
}

int RunPass(QorIWDUtils& utils, NoticeBoard& board, const std::string& root) {
  bool terminal = platform::StderrIsTerminal();
  ProgressLine out(terminal);
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
  BoardSnapshot view;
  std::vector<std::string> errors;  // the error box's texts: said once the pass is over
  auto drain = [&] {
    board.Drain(view);
    errors.insert(errors.end(), view.errors.begin(), view.errors.end());
  };
  // Woken at the end of the pass, so a short pass is not held up by the
  // drawing interval.
  while (!utils.WaitForPassFor(terminal ? 80 : 200)) {
    drain();
    if (terminal) {
      out.Draw(view.Progress(iwd::kProgressName), BarLabel(view));
    } else {
      plain_lines(utils.Progress());
    }
  }
  utils.WaitForPass();
  drain();
  IwdProgress p = utils.Progress();
  if (!terminal) plain_lines(p);
  for (const std::string& text : errors) out.Line("error: " + text);
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
    std::cerr << "usage: vantor-cli iwd ROOT [--check|--index]\n";
    return 2;
  }
  NoticeBoard board;  // this run's own: nothing else reads the program's
  QorIWDUtils utils(board);
  if (args.Has("--index")) return RunIndex(args.positional[0]);
  return args.Has("--check") ? RunCheck(utils, args.positional[0]) : RunPass(utils, board, args.positional[0]);
}
