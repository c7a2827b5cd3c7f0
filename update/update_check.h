// The update check: asks the update server which version is current and
// says what it found, on a thread of its own so that a slow or missing
// network never holds the window. The reply reaches the interface through
// the notice board: "open update_menu;" for a newer version, and for a check
// the user asked for, "No updates avalible" in the message box or the
// failure in the error box. No server set: nothing is sent.
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "base/notice_board.h"


// What one GET brought: the body, or the downloader's error text.
struct FetchResult {
  bool ok = false;
  std::string body;
  std::string error;
};
using Fetch = std::function<FetchResult(const std::string& url)>;

namespace update {
inline constexpr const char* kCheckPath = "/php/UpdateCheck.php";
// The update server in force: VANTOR_UPDATE_SERVER, else the stored
// setting; "" when neither is set.
std::string ServerOf(const std::string& stored_server);
// What a check tells the server about this copy, from the settings.
struct CheckAsk {
  std::string server;  // the stored update server
  int run_count = 0;
  int export_count = 0;
};
// The server's address without trailing "/", for the paths to follow it.
std::string ServerBase(std::string server);
// The user's name for the query ($USER, else the login name; at most 100
// characters, each space an underscore), "" when it cannot be read.
std::string UserName();
// The check's URL: the query with every value percent-encoded.
std::string CheckUrl(const std::string& server, const std::string& version, int run_count, int export_count,
                     const std::string& user);
// The reply's leading number, read the same in every locale; false when
// the reply does not start with one.
bool ParseVersion(const std::string& reply, double& version);
}  // namespace update

enum class UpdateOutcome { kNoServer, kNewer, kCurrent, kFailed };

class QorUpdateCheck {
 public:
  QorUpdateCheck(Fetch fetch, NoticeBoard& board = Board());
  // Waits a short while for a running check, then leaves it to finish on
  // its own (it holds nothing of this object's but what it shares).
  ~QorUpdateCheck();

  // Starts a check unless one runs. `manual`: the user asked (the button).
  bool Start(bool manual, const update::CheckAsk& ask);
  // The same, on the calling thread; what it posted is on the board.
  UpdateOutcome Run(bool manual, const std::string& url);
  // Waits for a running check (tests, the command line).
  void Wait();

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
};
