// The update downloader against a loopback server (loopback_server.py
// beside this file): resumes end byte-exact whatever the server does with
// ranges, every refused reply leaves the final name as it was, a stop is
// kStopped with the .part kept, and the string form is capped. Skipped when
// python3 is not on PATH.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/temp_dir.h"
#include "update/qor_downloader.h"
#include "tests/update/loopback_server.h"

namespace fs = std::filesystem;
using test_support::ReadText;
using test_support::WriteText;

namespace {

// The server's file body: byte i is (i * 7 + 3) % 251.
std::string Pattern(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = char((i * 7 + 3) % 251);
  return s;
}

// One server for the process, started by the first test that needs it.
class QorDownloaderTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!Server().running()) GTEST_SKIP() << "no loopback server (python3 missing from PATH?)";
  }
  static const LoopbackServer& Server() {
    static const LoopbackServer server;
    return server;
  }
  static std::string Url(const std::string& path) { return Server().Url(path); }
};

using ProgressCalls = std::vector<std::pair<uint64_t, uint64_t>>;

QorDownloadProgress Record(ProgressCalls& calls) {
  return [&calls](uint64_t present, uint64_t expected) { calls.emplace_back(present, expected); };
}

// The error's text, or "" when the call returned.
template <typename Call>
std::string ErrorOf(Call&& call) {
  try {
    call();
  } catch (const QorDownloadError& e) {
    return e.what();
  }
  return "";
}

constexpr size_t kSize = 100000;
// The stop flag of a download that nobody stops.
const std::atomic<bool> kGoOn{false};

TEST_F(QorDownloaderTest, EveryResumeEndsInTheExactFileAndACompleteOneIsNotFetched) {
  const std::string whole = Pattern(kSize);
  struct Case {  // complete: reported once, nothing fetched
    const char* name;
    std::string path;
    std::optional<std::string> part, target;
    bool overwrite = false, complete = false;
  };
  const Case cases[] = {
      {"part resumed", "/file/100000", whole.substr(0, 40000), std::nullopt},
      {"part resumed over an old file", "/file/100000", whole.substr(0, 40000), "old"},
      {"server ignores Range", "/norange/100000", whole.substr(0, 40000), std::nullopt},
      {"file under the name has grown", "/file/100000", std::nullopt, whole.substr(0, 30000)},
      {"part longer than the server's file", "/file/100000", Pattern(120000), std::nullopt},
      {"overwrite drops the part", "/file/100000", "garbage", "old", true},
      {"redirect followed", "/redirect/100000", std::nullopt, std::nullopt, true},
      {"complete file", "/file/100000", std::nullopt, whole, false, true},
      // A run that ended between the last byte and the rename.
      {"complete .part over an old file", "/file/100000", whole, "old", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test_support::TempDir dir;
    const std::string target = dir.Sub("QorVantor_update.zip");
    if (c.part) WriteText(target + ".part", *c.part);
    if (c.target) WriteText(target, *c.target);
    ProgressCalls calls;
    EXPECT_EQ(QorDownloader(target).DownloadToFile(Url(c.path), kGoOn, c.overwrite, Record(calls)),
              QorDownloadResult::kDone);
    EXPECT_TRUE(ReadText(target) == whole);
    EXPECT_EQ(test_support::CountEntries(dir.path()), 1u);
    ASSERT_FALSE(calls.empty());
    EXPECT_TRUE(!c.complete || calls.size() == 1u) << calls.size() << " progress calls";
    EXPECT_EQ(calls.back(), std::make_pair(uint64_t(kSize), uint64_t(kSize)));
    for (size_t i = 0; i < calls.size(); ++i) {
      EXPECT_EQ(calls[i].second, kSize);
      EXPECT_TRUE(i == 0 || calls[i].first > calls[i - 1].first) << i;
    }
  }
}

// An empty file is complete too, and never reported as 0 of 0.
TEST_F(QorDownloaderTest, AnEmptyFileIsComplete) {
  test_support::TempDir dir;
  ProgressCalls calls;
  EXPECT_EQ(QorDownloader(dir.Sub("empty")).DownloadToFile(Url("/file/0"), kGoOn, true, Record(calls)),
            QorDownloadResult::kDone);
  EXPECT_TRUE(fs::exists(dir.Sub("empty")) && fs::file_size(dir.Sub("empty")) == 0);
  EXPECT_TRUE(calls.empty());
}

TEST_F(QorDownloaderTest, RefusedRepliesLeaveTheFinalNameAsItWas) {
  struct Case { std::string url, message; size_t part_kept; };  // part_kept: bytes of .part left for a resume
  const Case cases[] = {
      {Url("/short/100000"), "Download ended early: 40000 of 100000 bytes", 40000},
      {Url("/stall/100000"), "Download stalled", 1000},
      {Url("/missing"), "Server answered HTTP 404", 0},
      {Url("/loop/0"), "Too many redirects", 0},
      {Url("/to_file"), "Redirect to a scheme other than http or https", 0},
      {Url("/http10/1000"), "HTTP/1.1 not supported", 0},
      {Url("/chunked/1000"), "HTTP Header Not Found", 0},
      {"http://127.0.0.1:1/closed_port", "Can't connect", 0},
  };
  // libcurl measures the speed over its last few seconds: a limit above the
  // stall's first 1000 bytes ends it after the one second.
  const QorDownloadLimits limits{.low_speed_bytes = 10000, .low_speed_time_s = 1};
  for (const Case& c : cases) {
    for (bool old_file : {false, true}) {
      SCOPED_TRACE(c.url + (old_file ? " over an old file" : ""));
      test_support::TempDir dir;
      const std::string target = dir.Sub("QorVantor_Updater.bat");
      if (old_file) WriteText(target, "good old");
      QorDownloader downloader(target);
      downloader.set_limits(limits);
      EXPECT_EQ(ErrorOf([&] { (void)downloader.DownloadToFile(c.url, kGoOn, true); }), c.message);
      EXPECT_EQ(fs::exists(target), old_file);
      EXPECT_EQ(ReadText(target), old_file ? "good old" : "");
      EXPECT_EQ(fs::exists(target + ".part"), c.part_kept > 0);
      EXPECT_TRUE(ReadText(target + ".part") == Pattern(c.part_kept));
    }
  }
}

TEST_F(QorDownloaderTest, StopIsItsOwnResultAndTheRestFollowsOnResume) {
  test_support::TempDir dir;
  const std::string target = dir.Sub("QorVantor_update.zip");
  std::atomic<bool> stop{true};
  QorDownloader downloader(target);
  EXPECT_EQ(downloader.DownloadToFile(Url("/file/100000"), stop, true), QorDownloadResult::kStopped);
  EXPECT_EQ(test_support::CountEntries(dir.path()), 0u);

  // A stall server on a download thread, stopped while nothing arrives; the
  // main thread downloads meanwhile, as the program's two would.
  stop = false;
  std::atomic<bool> got_bytes{false};
  QorDownloadResult result = QorDownloadResult::kDone;
  std::thread download_thread([&] {
    result = downloader.DownloadToFile(Url("/stall/100000"), stop, true, [&](uint64_t, uint64_t) { got_bytes = true; });
  });
  EXPECT_EQ(QorDownloader(dir.Sub("other")).DownloadToFile(Url("/file/100000"), kGoOn, true), QorDownloadResult::kDone);
  while (!got_bytes) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  stop = true;
  download_thread.join();
  EXPECT_EQ(result, QorDownloadResult::kStopped);
  EXPECT_FALSE(fs::exists(target));
  EXPECT_TRUE(ReadText(target + ".part") == Pattern(1000));

  stop = false;
  EXPECT_EQ(downloader.DownloadToFile(Url("/file/100000"), stop, false), QorDownloadResult::kDone);
  EXPECT_TRUE(ReadText(target) == Pattern(kSize));
  EXPECT_FALSE(fs::exists(target + ".part"));
}

TEST(QorDownloader, RequestsAreCheckedBeforeAnyNetworkAccess) {
  test_support::TempDir dir;
  QorDownloader downloader(dir.Sub("7za.exe"));
  for (const char* url : {"ftp://127.0.0.1/7za.exe", "file:///etc/hostname", "xhttp://127.0.0.1/", "http:/"}) {
    EXPECT_EQ(ErrorOf([&] { (void)downloader.DownloadToFile(url, kGoOn, true); }), "Must be HTTP url") << url;
    std::string reply = "kept";
    EXPECT_EQ(ErrorOf([&] { downloader.DownloadToString(url, reply); }), "Must be HTTP url") << url;
    EXPECT_EQ(reply, "kept");
  }
  EXPECT_EQ(test_support::CountEntries(dir.path()), 0u);
  QorDownloader unnamed;
  EXPECT_EQ(ErrorOf([&] { (void)unnamed.DownloadToFile("http://127.0.0.1:1/", kGoOn, true); }), "Output File Not Set");
  QorDownloader no_folder(dir.Sub("none/7za.exe"));
  EXPECT_EQ(ErrorOf([&] { (void)no_folder.DownloadToFile("http://127.0.0.1:1/", kGoOn, true); }),
            "QorDownloader:: Can't open output file: ");
  EXPECT_EQ(std::string(QorDownloadError(std::string(200, 'x')).what()), std::string(79, 'x'));
}

TEST_F(QorDownloaderTest, StringReplyIsWholeAndCapped) {
  QorDownloader downloader;
  const struct { std::string path, appended, message; } cases[] = {
      {"/text/1.0", "1.0", ""},
      {"/chunked/1000", Pattern(1000), ""},
      {"/file/65536", Pattern(65536), ""},
      {"/file/65537", "", "Reply larger than 65536 bytes"},
      {"/chunked/70000", "", "Reply larger than 65536 bytes"},
      {"/short/1000", "", "Download ended early: 400 of 1000 bytes"},
      {"/missing", "", "Server answered HTTP 404"},
      {"/http10/3", "", "HTTP/1.1 not supported"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    std::string reply = "v";
    EXPECT_EQ(ErrorOf([&] { downloader.DownloadToString(Url(c.path), reply); }), c.message);
    EXPECT_TRUE(reply == "v" + c.appended);
  }
  // Plain http goes only to this computer, judged by the address the
  // connection reached, not by the URL's spelling: 0.0.0.0 is no loopback
  // address as written, but connects to this computer's server. (A redirect
  // to plain http refused: cli_update_download.sh.)
  downloader.set_limits({.loopback_http_only = true});
  std::string zeros = Url("/text/ok");
  zeros.replace(zeros.find("127.0.0.1"), 9, "0.0.0.0");
  for (const std::string& url : {Url("/text/ok"), zeros}) {
    std::string reply;
    EXPECT_EQ(ErrorOf([&] { downloader.DownloadToString(url, reply); }), "") << url;
    EXPECT_EQ(reply, "ok") << url;
  }
}

}  // namespace
