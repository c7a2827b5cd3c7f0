// The logger: the header, sync and normal modes, the warning and model-log
// switches, bounded lines, threads and their own sinks, critical errors and
// terminal colours.
#include "base/logger.h"

#include <gtest/gtest.h>
#include <unistd.h>  // Required for: unlink()

#include <set>
#include <sstream>
#include <thread>

#include "platform/message_box.h"
#include "tests/shell/shell_test_support.h"

namespace {

using shell_test::ReadText;
using shell_test::TempDir;
using Lines = std::vector<std::string>;

// A logger of its own writing into a scratch folder.
struct LoggerTest : testing::Test {
  TempDir dir;
  QorLogger logger;
  std::string path = dir.Sub("Log.txt");
  LoggerTest() { logger.set_file_name(path); }
  std::string Text() {
    logger.close();
    return ReadText(path);
  }
};

TEST_F(LoggerTest, HeaderPutsTheDayFirstWithoutLeadingZeros) {
  const std::tm t{.tm_sec = 3, .tm_min = 7, .tm_hour = 9, .tm_mday = 5, .tm_mon = 2 /* March */, .tm_year = 2012 - 1900};
  ASSERT_TRUE(logger.set_sync_mode(1));
  logger.write_header(t);
  EXPECT_EQ(Text(),
            "Logging Mode Changed: Sync every write\n"
            "\n*** Application Started (Version 0.987) : 5/3/2012 9:7:3 ***\n\n"
            "Logging Mode: Sync every write\n");
}

TEST_F(LoggerTest, SyncModeRecreatesADeletedLogFile) {
  ASSERT_TRUE(logger.set_sync_mode(1));
  logger.log("first");
  ASSERT_EQ(::unlink(path.c_str()), 0);
  logger.log("second");
  EXPECT_EQ(Text(), "second\n");
}

TEST_F(LoggerTest, NormalModeLinesReachTheFileBeforeShutdownAndOtherModesAreRefused) {
  ASSERT_TRUE(logger.set_sync_mode(0));
  EXPECT_FALSE(logger.set_sync_mode(2));
  EXPECT_EQ(logger.sync_mode(), 0);
  logger.log("^2Loaded Xmodel^7: %s (%.1f ms)", "viewmodel_m16", 12.34);
  EXPECT_EQ(ReadText(path), "Logging Mode Changed: Normal\n^2Loaded Xmodel^7: viewmodel_m16 (12.3 ms)\n");
}

TEST_F(LoggerTest, ModelLogReachesNeitherFileNorListWhileOff) {
  logger.model_log("early");  // before the list is attached: the file only
  EXPECT_EQ(logger.model_log_size(), 0u);
  EXPECT_EQ(Text(), "early\n");
  logger.attach_model_log();
  logger.set_log_xmodel(false);
  logger.model_log("bone count: %i", 3);
  EXPECT_EQ(Text(), "early\n");
  EXPECT_EQ(logger.model_log_size(), 0u);

  logger.set_log_xmodel(true);
  logger.model_log("bone count: %i", 4);
  EXPECT_EQ(Text(), "early\nbone count: 4\n");
  EXPECT_EQ(logger.model_log_lines(), Lines{"bone count: 4"});
  logger.clear_model_log();
  EXPECT_EQ(logger.model_log_size(), 0u);
}

// The log panel shows warnings and failures too, whatever the model-log
// switch; plain lines stay in the file.
TEST_F(LoggerTest, PanelKeepsWarningsAndFailuresButNotPlainLines) {
  logger.attach_model_log();
  logger.set_log_xmodel(false);
  logger.log("Loaded Font: 'x'");
  logger.warning("%i images not found: %s", 2, "a.iwi, b.iwi");
  logger.log_to_panel("^1LoadxmodelFull^7:: %s", "File Not Found: raw/xmodelparts/crate");
  EXPECT_EQ(logger.model_log_lines(), (Lines{"------ WARNING: 2 images not found: a.iwi, b.iwi",
                                             "^1LoadxmodelFull^7:: File Not Found: raw/xmodelparts/crate"}));
  EXPECT_EQ(Text(), "Loaded Font: 'x'\n------ WARNING: 2 images not found: a.iwi, b.iwi\n"
                    "^1LoadxmodelFull^7:: File Not Found: raw/xmodelparts/crate\n");
}

TEST_F(LoggerTest, PercentInLoggedTextStaysIntact) {
  const char* name = "100%_done %s %n %d.xmodel";
  logger.log("Passing Xmodel: '%s' to background loader", name);
  logger.warning("%s", name);
  EXPECT_EQ(Text(),
            "Passing Xmodel: '100%_done %s %n %d.xmodel' to background loader\n"
            "------ WARNING: 100%_done %s %n %d.xmodel\n");
}

TEST_F(LoggerTest, LongLinesAreCutAt1023Characters) {
  std::string long_text(5000, 'x');
  logger.log("%s", long_text.c_str());
  logger.warning("%s", long_text.c_str());
  // A two-byte character that would straddle the cut is dropped whole.
  std::string accented = std::string(1022, 'a') + "\xC3\xA9" + "tail";
  logger.log("%s", accented.c_str());
  EXPECT_EQ(Text(), std::string(1023, 'x') + "\n" + "------ WARNING: " + std::string(1023, 'x') +
                        "\n" + std::string(1022, 'a') + "\n");
}

TEST_F(LoggerTest, LinesFromManyThreadsNeverMix) {
  ASSERT_TRUE(logger.set_sync_mode(0));
  constexpr int kThreads = 6, kLines = 300;
  auto line = [](int t, int i) { return "T" + std::to_string(t) + "-" + std::to_string(i) + std::string(200, 'a' + t); };
  std::multiset<std::string> expected = {"Logging Mode Changed: Normal"};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    for (int i = 0; i < kLines; ++i) expected.insert((i % 3 == 0 ? "------ WARNING: " : "") + line(t, i));
    threads.emplace_back([this, t, line] {
      for (int i = 0; i < kLines; ++i) {
        if (i % 3 == 0) logger.warning("%s", line(t, i).c_str());
        else logger.log("%s", line(t, i).c_str());
      }
    });
  }
  for (std::thread& t : threads) t.join();
  // Every line whole and each exactly once.
  std::istringstream text(Text());
  std::multiset<std::string> seen;
  for (std::string l; std::getline(text, l);) seen.insert(l);
  EXPECT_TRUE(seen == expected) << seen.size() << " lines for " << expected.size();
}

// A file that cannot be opened drops the header and the lines, not the
// sink; suppressed warnings reach neither.
TEST_F(LoggerTest, SinkGetsEveryLineEvenWithoutAFile) {
  logger.set_file_name(dir.Sub("missing-folder/Log.txt"));
  Lines seen;
  logger.set_sink([&](std::string_view line) { seen.emplace_back(line); });
  logger.write_header();
  logger.log("a");
  logger.warning("b");
  logger.set_supress_warnings(true);
  logger.warning("hidden");
  EXPECT_EQ(seen, (Lines{"a", "------ WARNING: b"}));
  logger.set_file_name(path);
  logger.warning("hidden");
  EXPECT_EQ(Text(), "");
}

// Lines of workers running side by side stay with their own worker: a
// thread's own sink gets that thread's lines, whole and in order, and the
// shared sink none of them.
TEST(LoggerThreadSink, KeepsEachThreadsLinesApartFromTheSharedSink) {
  shell_test::LogCapture shared;
  constexpr int kThreads = 3, kLines = 300;
  std::vector<Lines> own(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([t, &own] {
      QorLogger::Sink sink = [&own, t](std::string_view line) { own[size_t(t)].emplace_back(line); };
      QorLogger::set_thread_sink(&sink);
      for (int i = 0; i < kLines; ++i) Logger().log("^2worker %d^7: line %d", t, i);
      QorLogger::set_thread_sink(nullptr);
      Logger().log("worker %d done", t);  // back on the shared sink
    });
  for (std::thread& th : threads) th.join();
  for (int t = 0; t < kThreads; ++t) {
    ASSERT_EQ(own[size_t(t)].size(), size_t(kLines));
    for (int i = 0; i < kLines; ++i)
      EXPECT_EQ(own[size_t(t)][size_t(i)], "^2worker " + std::to_string(t) + "^7: line " + std::to_string(i));
  }
  EXPECT_EQ(shared.lines().size(), size_t(kThreads)) << shared.Joined();
  for (const std::string& line : shared.lines()) EXPECT_NE(line.find(" done"), std::string::npos) << line;
}

TEST_F(LoggerTest, CriticalErrorShowsTheBoxLogsAndExitsWithOne) {
  // The child of the death test writes the same file, so the parent can read it.
  logger.set_critical_error_hook([] { std::fputs("splash destroyed\n", stderr); });
  logger.set_critical_box(platform::ShowMessageBox);
  EXPECT_EXIT(logger.critical_error("Window Creation Error."), testing::ExitedWithCode(1),
              "splash destroyed\nQor_Fen - Critical Error: Window Creation Error\\.");
  EXPECT_EQ(ReadText(path), "------------ ERROR: Window Creation Error.\n");
}

// The terminal gets ANSI colours, a reset for "^7" and "^0", and control
// characters from the data made harmless; plain output drops the known
// codes only and leaves everything else alone.
TEST(LoggerColours, CodesBecomeAnsiOnATerminalAndVanishOtherwise) {
  struct Case {
    const char* in;
    bool terminal;
    const char* out;
  };
  const Case cases[] = {
      {"^1IWI Error(^4%s^7): bad", true, "\033[31mIWI Error(\033[38;5;208m%s\033[0m): bad"},
      {"^2Exported MA", true, "\033[32mExported MA\033[0m"},
      {"^5info ^3blue ^0", true, "\033[38;5;117minfo \033[34mblue \033[0m"},
      {"name\033[2Jx\x07\ty", true, "name?[2Jx?\ty"},
      {"^1IWI Error(^4name^7): bad", false, "IWI Error(name): bad"},
      {"^6 ^x ^^ end^", false, "^6 ^x ^^ end^"},
      {"raw\033[2J\x01", false, "raw\033[2J\x01"},
  };
  for (const Case& c : cases) EXPECT_EQ(ConvertColourCodes(c.in, c.terminal), c.out) << c.in;
}

}  // namespace
