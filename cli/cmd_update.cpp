// vantor-cli update check [--manual]: the window's update check without a
// window. One line on standard output says what the server answered; the
// log goes to standard error. Exit status: 0 an answer (newer or not), 1 a
// failed check, 3 no update server set (nothing sent).
#include <iostream>

#include "cli/commands.h"
#include "shell/logger.h"
#include "shell/settings.h"
#include "shell/version.h"
#include "update/http_fetch.h"
#include "update/update_check.h"

int CmdUpdate(const CliArgs& args) {
  if (args.positional.size() != 1 || args.positional[0] != "check") {
    std::cerr << "usage: vantor-cli update check [--manual]\n";
    return 2;
  }
  InstallStderrSink(Logger());
  QorSettings& s = Settings();
  s.Load();
  const std::string server = update::ServerOf(s);
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
