#include "update/update_check.h"

#include <pwd.h>     // Required for: getpwuid_r()
#include <unistd.h>  // Required for: getuid()

#include <charconv>
#include <chrono>
#include <cstdlib>

#include "base/logger.h"
#include "base/version.h"
#include "platform/percent_encode.h"

namespace update {

std::string ServerOf(const std::string& stored_server) {
  if (const char* env = std::getenv("VANTOR_UPDATE_SERVER"); env && *env) return env;
  return stored_server;
}

std::string UserName() {
  std::string name;
  struct passwd pw;
  struct passwd* found = nullptr;
  char buffer[4096];
  if (const char* user = std::getenv("USER"); user && *user) {
    name = user;
  } else if (::getpwuid_r(::getuid(), &pw, buffer, sizeof buffer, &found) == 0 && found && found->pw_name) {
    name = found->pw_name;
  }
  if (name.size() > 100) name.resize(100);
  for (char& c : name)
    if (c == ' ') c = '_';
  return name;
}

namespace {
std::string Encoded(const std::string& value) { return platform::PercentEncoded(value); }
}  // namespace

std::string ServerBase(std::string server) {
  while (!server.empty() && server.back() == '/') server.pop_back();
  return server;
}

std::string CheckUrl(const std::string& server, const std::string& version, int run_count, int export_count,
                     const std::string& user) {
  return ServerBase(server) + kCheckPath + "?id=1&version=" + Encoded(version) + "&run_count=" + std::to_string(run_count) +
         "&xport_total=" + std::to_string(export_count) + "&name=" + Encoded(user);
}

bool ParseVersion(const std::string& reply, double& version) {
  size_t start = reply.find_first_not_of(" \t\r\n");
  if (start == std::string::npos) return false;
  const char* first = reply.data() + start;
  const char* last = reply.data() + reply.size();
  auto [ptr, ec] = std::from_chars(first, last, version);
  return ec == std::errc() && ptr != first;
}

}  // namespace update

// Everything a check thread touches: it may outlive the object that started
// it (a check stuck on a slow server at exit).
struct QorUpdateCheck::Shared {
  Fetch fetch;
  NoticeBoard* board = nullptr;
  std::mutex lock;
  std::condition_variable done;
  bool running = false;
};

namespace {

UpdateOutcome RunCheck(const Fetch& fetch, NoticeBoard& board, bool manual, const std::string& url) {
  if (url.empty()) {
    Logger().warning("Update check: no update server is set (Misc/update_server or VANTOR_UPDATE_SERVER); nothing sent");
    if (manual) board.ShowMessage("No update server is set.");
    return UpdateOutcome::kNoServer;
  }
  const FetchResult reply = fetch ? fetch(url) : FetchResult{false, "", "Can't connect"};
  if (!reply.ok) {
    Logger().warning("QorDownloader:: %s", reply.error.c_str());
    if (manual) board.ShowError(reply.error);
    return UpdateOutcome::kFailed;
  }
  double latest = 0;
  if (!update::ParseVersion(reply.body, latest)) {
    Logger().warning("Failed To preform Update Check");
    if (manual) board.ShowError("Failed To preform Update Check");
    return UpdateOutcome::kFailed;
  }
  double current = 0;
  update::ParseVersion(kVantorVersion, current);
  if (current < latest) {
    board.PostCommand("open update_menu;");
    return UpdateOutcome::kNewer;
  }
  if (manual) board.ShowMessage("No updates avalible");
  return UpdateOutcome::kCurrent;
}

}  // namespace

QorUpdateCheck::QorUpdateCheck(Fetch fetch, NoticeBoard& board) : shared_(std::make_shared<Shared>()) {
  shared_->fetch = std::move(fetch);
  shared_->board = &board;
}

QorUpdateCheck::~QorUpdateCheck() {
  std::unique_lock<std::mutex> hold(shared_->lock);
  shared_->done.wait_for(hold, std::chrono::seconds(2), [this] { return !shared_->running; });
}

UpdateOutcome QorUpdateCheck::Run(bool manual, const std::string& url) {
  return RunCheck(shared_->fetch, *shared_->board, manual, url);
}

bool QorUpdateCheck::Start(bool manual, const update::CheckAsk& ask) {
  {
    std::lock_guard<std::mutex> hold(shared_->lock);
    if (shared_->running) return false;
    shared_->running = true;
  }
  const std::string server = update::ServerOf(ask.server);
  const std::string url = server.empty() ? std::string()
                                         : update::CheckUrl(server, kVantorVersion, ask.run_count,
                                                            ask.export_count, update::UserName());
  // The thread keeps what it uses alive; the board is the program's and
  // outlives every thread.
  std::thread([manual, url, shared = shared_] {
    RunCheck(shared->fetch, *shared->board, manual, url);
    std::lock_guard<std::mutex> hold(shared->lock);
    shared->running = false;
    shared->done.notify_all();
  }).detach();
  return true;
}

void QorUpdateCheck::Wait() {
  std::unique_lock<std::mutex> hold(shared_->lock);
  shared_->done.wait(hold, [this] { return !shared_->running; });
}
