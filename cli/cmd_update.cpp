// vantor-cli update check [--manual]: the window's update check without a
// window. One line on standard output says what the server answered; the
// log goes to standard error. Exit status: 0 an answer (newer or not), 1 a
// failed check, 3 no update server set (nothing sent).
//
// vantor-cli update download --dir DIR [--no-handoff]: the update menu's
// download for the program folder DIR. Exit status: 0 handed over (or, with
// --no-handoff, checked and unpacked: the folder is printed), 1 failed,
// 3 nothing sent (no server, DIR not writable, a server without https),
// 130 stopped by Ctrl-C.
#include <atomic>
#include <chrono>
#include <future>
#include <iostream>
#include <thread>

#include "base/logger.h"
#include "base/version.h"
#include "cli/commands.h"
#include "platform/terminal.h"
#include "shell/settings.h"
#include "update/http_fetch.h"
#include "update/qor_updater.h"
#include "update/update_check.h"

namespace {

int Check(const CliArgs& args) {
  QorSettings& s = Settings();
  const std::string server = update::ServerOf(s.update_server);
  const std::string url = server.empty() ? std::string()
                                         : update::CheckUrl(server, kVantorVersion, s.run_count, s.export_count,
                                                            update::UserName());
  NoticeBoard board;
  QorUpdateCheck check(HttpFetch(), board);
  const UpdateOutcome outcome = check.Run(args.Has("--manual"), url);
  switch (outcome) {
    case UpdateOutcome::kNewer: std::cout << "update: a newer version than " << kVantorVersion << " is available\n"; return 0;
    case UpdateOutcome::kCurrent: std::cout << "update: " << kVantorVersion << " is up to date\n"; return 0;
    case UpdateOutcome::kNoServer: std::cout << "update: no update server is set; nothing was sent\n"; return 3;
    case UpdateOutcome::kFailed: break;
  }
  std::cout << "update: the check failed\n";
  return 1;
}

int Download(const CliArgs& args) {
  const std::optional<std::string> dir = args.Get("--dir");
  if (!dir || dir->empty()) {
    std::cerr << "usage: vantor-cli update download --dir DIR [--no-handoff]\n";
    return 2;
  }
  UpdateDownloadRequest request;
  request.server = update::ServerOf(Settings().update_server);
  request.program_folder = *dir;
  request.hand_off = !args.Has("--no-handoff");
  NoticeBoard board;
  QorUpdater updater(board);
  std::atomic<bool> cancel{false};
  platform::InterruptCancels interrupt(cancel);
  auto run = std::async(std::launch::async, [&] { return updater.Run(request); });
  while (run.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
    if (cancel) updater.StopDownload();
  const UpdateDownloadReport report = run.get();
  switch (report.outcome) {
    case UpdateDownloadOutcome::kHandedOver:
      std::cout << "update: handed over; it is installed when this program exits\n";
      return 0;
    case UpdateDownloadOutcome::kVerified:
      std::cout << "update: verified and unpacked in " << report.unpacked << "\n";
      return 0;
    case UpdateDownloadOutcome::kNoServer:
    case UpdateDownloadOutcome::kPackaged:
    case UpdateDownloadOutcome::kInsecure:
      std::cout << "update: " << report.error << "; nothing was sent\n";
      return 3;
    case UpdateDownloadOutcome::kStopped:
      std::cout << "update: stopped; nothing was kept\n";
      return 130;
    case UpdateDownloadOutcome::kFailed:
    case UpdateDownloadOutcome::kBusy:
      break;
  }
  std::cout << "update: the download failed (" << report.error << "); nothing was kept or run\n";
  return 1;
}

}  // namespace

int CmdUpdate(const CliArgs& args) {
  const std::string what = args.positional.size() == 1 ? args.positional[0] : "";
  if (what != "check" && what != "download") {
    std::cerr << "usage: vantor-cli update check [--manual]\n"
                 "       vantor-cli update download --dir DIR [--no-handoff]\n";
    return 2;
  }
  InstallStderrSink(Logger(), platform::StderrIsTerminal());
  Settings().Load();
  return what == "check" ? Check(args) : Download(args);
}
