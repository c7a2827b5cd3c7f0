// The update download's own rules: which manifests, servers and archive
// names are taken, and the download thread: Cancel ends it at once with
// nothing kept, and the exit's shutdown logs once. The whole path, hand-off
// included, is driven through vantor-cli in cli_update_download.sh.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/shell/shell_test_support.h"
#include "tests/support/files.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"
#include "tests/update/loopback_server.h"
#include "update/qor_updater.h"
#include "update/sha256_file.h"
#include "update/update_manifest.h"
#include "update/update_unpack.h"

namespace fs = std::filesystem;

namespace {

const std::string kSum(64, 'a');

TEST(UpdateManifest, TakesBothFilesOnceAndNothingElse) {
  const std::string script = "QorVantor_Updater.sh 10 " + kSum + "\n";
  const std::string archive = "QorVantor_update.zip 2000 " + std::string(64, 'B') + "\r\n";
  const struct { std::string text; bool ok; } cases[] = {
      {"# an update\n\n" + script + archive, true},
      {archive + script, true},
      {script, false},                                     // the archive is missing
      {script + script + archive, false},                  // twice
      {script + archive + "extra.sh 1 " + kSum, false},    // a third file
      {script + "QorVantor_update.zip 0 " + kSum, false},  // empty
      {script + "QorVantor_update.zip -5 " + kSum, false},
      {script + "QorVantor_update.zip 12x " + kSum, false},
      {script + "QorVantor_update.zip 9 " + kSum.substr(1), false},          // 63 digits
      {script + "QorVantor_update.zip 9 " + std::string(64, 'g'), false},    // not hex
      {script + "QorVantor_update.zip 9 " + kSum + " more", false},
      {script + "QorVantor_update.zip 536870913 " + kSum, false},            // over 512 MiB
      {"QorVantor_Updater.sh 1048577 " + kSum + "\n" + archive, false},     // a 1 MiB script
      {"<html>not found</html>", false},
  };
  for (const auto& c : cases) {
    update::Manifest m;
    EXPECT_EQ(update::ParseManifest(c.text, m).empty(), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(m.archive.size, 2000u);
      EXPECT_EQ(m.archive.sha256, std::string(64, 'b'));  // compared in lowercase
      EXPECT_EQ(m.script.size, 10u);
    }
  }
}

TEST(UpdateManifest, OnlyHttpsOrThisComputer) {
  for (const char* url : {"https://updates.example.org/util/x", "HTTPS://host", "http://127.0.0.1:8080/util/x",
                          "http://127.1.2.3/", "http://localhost:99/x", "http://[::1]:80/x"})
    EXPECT_TRUE(update::SecureOrLoopback(url)) << url;
  for (const char* url : {"http://updates.example.org/util/x", "http://127.0.0.1.evil.example/", "http://127.0.0.1@evil/",
                          "http://1270.0.0.1/", "http://128.0.0.1/", "http://127.0.0/", "http://[::2]/", "ftp://127.0.0.1/",
                          "file:///etc/passwd", "https://", "127.0.0.1", "http://0127.0.0.1/", "http://127.0.0.01/"})
    EXPECT_FALSE(update::SecureOrLoopback(url)) << url;
  // What the connection reached decides, not the URL's spelling.
  const struct { const char *url, *ip; bool allowed; } connections[] = {
      {"https://updates.example.org/x", "93.184.216.34", true}, {"http://127.0.0.1:80/", "127.0.0.1", true},
      {"http://localhost/", "::1", true},                      {"http://localhost/", "::ffff:127.0.0.2", true},
      {"http://0127.0.0.1/", "87.0.0.1", false},              {"http://127.0.0.1/", "0.0.0.0", false},
      {"http://localhost/", "127.0.0.1x", false},              {"http://[::1]/", "", false},
  };
  for (const auto& c : connections)
    EXPECT_EQ(update::ConnectionAllowed(c.url, c.ip), c.allowed) << c.url << " via " << c.ip;
}

TEST(UpdateUnpack, NamesStayInsideTheFolder) {
  EXPECT_EQ(update::UpdateEntryTarget("bin/vantor"), "bin/vantor");
  EXPECT_EQ(update::UpdateEntryTarget("share/vantor/"), "share/vantor/");
  for (const char* name : {"", "/etc/passwd", "../x", "bin/../../x", "./x", "a//b", "C:/x", "bin\\..\\x", "a/\n"})
    EXPECT_EQ(update::UpdateEntryTarget(name), std::nullopt) << name;
}

TEST(UpdaterThread, CancelEndsTheDownloadAndShutdownLogsOnce) {
  // The script's real digest, and an archive the server stalls inside.
  test_support::TempDir files("update_files"), program("update_program"), tmp("update_tmp");
  test_support::WriteText(files.Sub("QorVantor_Updater.sh"), "echo updated\n");
  test_support::WriteText(files.Sub("QorVantor_update.zip"), std::string(50000, 'z'));
  test_support::WriteText(files.Sub("QorVantor_update.manifest"),
                          "QorVantor_Updater.sh 13 " + *Sha256OfFile(files.Sub("QorVantor_Updater.sh")) +
                              "\nQorVantor_update.zip 50000 " + kSum + "\n");
  LoopbackServer server({"LOOPBACK_FILES=" + files.path(), "LOOPBACK_STALL=QorVantor_update.zip"});
  if (!server.running()) GTEST_SKIP() << "no loopback server (python3 missing from PATH?)";
  test_support::ScopedEnv tmpdir("TMPDIR", tmp.path());
  shell_test::LogCapture log;
  NoticeBoard board;
  QorUpdater updater(board);
  const UpdateDownloadRequest request{.server = server.Url(""), .program_folder = program.path(), .limits = {}};
  ASSERT_TRUE(updater.StartUpdateDownload(request));
  EXPECT_FALSE(updater.StartUpdateDownload(request));  // one at a time
  // The script is in and the archive has begun.
  for (int i = 0; i < 200 && board.Progress("download_progress") == 0.0f; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_GT(board.Progress("download_progress"), 0.0f);
  updater.StopDownload();
  for (int i = 0; i < 200 && updater.running(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(updater.running());  // well inside the server's 30 s stall
  EXPECT_TRUE(log.Contains("Update download Cancelled")) << log.Joined();
  EXPECT_FALSE(log.Contains("Failed To Download Update"));
  EXPECT_TRUE(fs::is_empty(tmp.path()));  // nothing kept

  // A download stopped is no hand-off: the menu may start it again.
  EXPECT_TRUE(updater.StartUpdateDownload(request));
  updater.Shutdown();
  updater.Shutdown();
  size_t stopped = 0;
  for (const std::string& line : log.lines()) stopped += line.find("Downloader thread Stopped") != std::string::npos;
  EXPECT_EQ(stopped, 1u);
  EXPECT_FALSE(updater.StartUpdateDownload(request));  // not after the exit's shutdown
}

}  // namespace
