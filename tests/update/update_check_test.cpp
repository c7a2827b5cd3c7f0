// The update check with a scripted server: what each reply posts to the
// interface, the query it sends, and that nothing is sent without a server.
#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

#include "tests/shell/shell_test_support.h"
#include "tests/support/scoped_env.h"
#include "update/update_check.h"

namespace {

using shell_test::LogCapture;

struct Server {
  std::vector<std::string> asked;
  FetchResult reply;
  Fetch fetch() { return [this](const std::string& url) { asked.push_back(url); return reply; }; }
};

// A failure is a warning in the log, and an error box too when the button
// asked.
TEST(UpdateCheck, RepliesOpenTheMenuOrSaySoOnlyWhenAsked) {
  // reply nullptr: the fetch failed; command: posted; message: a message box; errors: error boxes.
  struct Case { const char* reply; bool manual; UpdateOutcome outcome; const char *command, *message; size_t errors; };
  const Case cases[] = {
      {"1.0", false, UpdateOutcome::kNewer, "open update_menu;", nullptr, 0},
      {"0.988\n", true, UpdateOutcome::kNewer, "open update_menu;", nullptr, 0},
      {"0.987", false, UpdateOutcome::kCurrent, nullptr, nullptr, 0},
      {"0.987", true, UpdateOutcome::kCurrent, nullptr, "No updates avalible", 0},
      {"0.5", true, UpdateOutcome::kCurrent, nullptr, "No updates avalible", 0},
      {nullptr, false, UpdateOutcome::kFailed, nullptr, nullptr, 0},
      {nullptr, true, UpdateOutcome::kFailed, nullptr, nullptr, 1},
      {"<html>not a number</html>", false, UpdateOutcome::kFailed, nullptr, nullptr, 0},
  };
  LogCapture log;
  // A comma decimal locale must not change how "0.988" reads.
  std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply ? c.reply : "failed fetch");
    Server server;
    server.reply = c.reply ? FetchResult{true, c.reply, ""} : FetchResult{false, "", "Can't open url"};
    NoticeBoard board;
    QorUpdateCheck check(server.fetch(), board);
    EXPECT_EQ(check.Run(c.manual, "http://127.0.0.1:1/php/UpdateCheck.php"), c.outcome);
    BoardSnapshot view;
    board.Drain(view);
    EXPECT_EQ(view.commands, c.command ? std::vector<std::string>{c.command} : std::vector<std::string>{});
    EXPECT_EQ(view.notes, c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
    EXPECT_EQ(view.errors.size(), c.errors);
  }
  std::setlocale(LC_NUMERIC, "C");
  EXPECT_TRUE(log.Contains("QorDownloader:: Can't open url"));
  EXPECT_TRUE(log.Contains("Failed To preform Update Check"));
}

TEST(UpdateCheck, TheQueryIsEncodedAndNothingIsSentWithoutAServer) {
  EXPECT_EQ(update::CheckUrl("http://127.0.0.1:8000/", "0.987", 12, 3, "Jo_Smith&co=1"),
            "http://127.0.0.1:8000/php/UpdateCheck.php?id=1&version=0.987&run_count=12&xport_total=3"
            "&name=Jo_Smith%26co%3D1");
  const std::string user = update::UserName();
  EXPECT_EQ(user.find(' '), std::string::npos);
  EXPECT_LE(user.size(), 100u);

  LogCapture log;
  test_support::ScopedEnv no_server("VANTOR_UPDATE_SERVER", "");
  update::CheckAsk settings;
  EXPECT_EQ(update::ServerOf(settings.server), "");
  Server server;
  NoticeBoard board;
  QorUpdateCheck check(server.fetch(), board);
  ASSERT_TRUE(check.Start(true, settings));
  check.Wait();
  EXPECT_TRUE(server.asked.empty());
  EXPECT_TRUE(log.Contains("no update server is set"));

  // With a server the thread asks once and posts what it found.
  settings.server = "http://127.0.0.1:9";
  settings.run_count = 4;
  server.reply = {true, "2.0", ""};
  ASSERT_TRUE(check.Start(false, settings));
  check.Wait();
  ASSERT_EQ(server.asked.size(), 1u);
  EXPECT_EQ(server.asked[0].rfind("http://127.0.0.1:9/php/UpdateCheck.php?id=1&version=0.987&run_count=4&", 0), 0u);
  BoardSnapshot view;
  board.Drain(view);
  EXPECT_EQ(view.commands, std::vector<std::string>{"open update_menu;"});
}

}  // namespace
