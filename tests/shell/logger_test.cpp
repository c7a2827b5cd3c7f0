// The logger: the header, its modes and switches, bounded lines, threads and
// their own sinks, critical errors and terminal colours.
#include "base/logger.h"

#include <gtest/gtest.h>

#include <filesystem>  // Required for: remove()
#include <set>
#include <sstream>
#include <thread>

#include "platform/message_box.h"
#include "tests/shell/shell_test_support.h"

namespace {

using shell_test::ReadText;
using Lines = std::vector<std::string>;

struct LoggerTest : testing::Test {
  shell_test::TempDir dir;
  QorLogger logger;
  std::string path = dir.Sub("Log.txt");
  LoggerTest() { logger.set_file_name(path); }
  std::string Text() { logger.close(); return ReadText(path); }
};

// Sync mode writes each line at once, to a new file when the old one was
// deleted meanwhile.
TEST_F(LoggerTest, HeaderPutsTheDayFirstAndSyncModeRecreatesADeletedLogFile) {
  ASSERT_TRUE(logger.set_sync_mode(1));
  std::tm t{};
  t.tm_year = 2012 - 1900, t.tm_mon = 2 /* March */, t.tm_mday = 5, t.tm_hour = 9, t.tm_min = 7, t.tm_sec = 3;
  logger.write_header(t);
  EXPECT_EQ(ReadText(path),
            "Logging Mode Changed: Sync every write\n"
            "\n*** Application Started (Version 0.987) : 5/3/2012 9:7:3 ***\n\n"
            "Logging Mode: Sync every write\n");
  ASSERT_TRUE(std::filesystem::remove(path));
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

// The model log reaches neither the file nor the log panel's list while it
// is off; the panel shows warnings and failures whatever the switch, and
// plain lines stay in the file.
TEST_F(LoggerTest, PanelKeepsModelLinesWhileOnAndWarningsAndFailuresAlways) {
  logger.model_log("early");  // before the list is attached: the file only
  EXPECT_EQ(logger.model_log_size(), 0u);
  logger.attach_model_log();
  logger.set_log_xmodel(false);
  logger.model_log("bone count: %i", 3);
  logger.log("Loaded Font: 'x'");
  logger.warning("%i images not found: %s", 2, "a.iwi, b.iwi");
  logger.log_to_panel("^1LoadxmodelFull^7:: %s", "File Not Found: raw/xmodelparts/crate");
  logger.set_log_xmodel(true);
  logger.model_log("bone count: %i", 4);
  EXPECT_EQ(logger.model_log_lines(), (Lines{"------ WARNING: 2 images not found: a.iwi, b.iwi",
                                             "^1LoadxmodelFull^7:: File Not Found: raw/xmodelparts/crate",
                                             "bone count: 4"}));
  EXPECT_EQ(Text(), "early\nLoaded Font: 'x'\n------ WARNING: 2 images not found: a.iwi, b.iwi\n"
                    "^1LoadxmodelFull^7:: File Not Found: raw/xmodelparts/crate\nbone count: 4\n");
  logger.clear_model_log();
  EXPECT_EQ(logger.model_log_size(), 0u);
}

// Percent signs in the data stay as they are; lines are cut at 1023 bytes,
// and a two-byte character that would straddle the cut is dropped whole.
TEST_F(LoggerTest, PercentStaysIntactAndLongLinesAreCutAt1023Bytes) {
  const char* name = "100%_done %s %n %d.xmodel";
  logger.log("Passing Xmodel: '%s' to background loader", name);
  logger.warning("%s", name);
  const std::string long_text(5000, 'x'), accented = std::string(1022, 'a') + "\xC3\xA9" + "tail";
  logger.log("%s", long_text.c_str());
  logger.warning("%s", long_text.c_str());
  logger.log("%s", accented.c_str());
  EXPECT_EQ(Text(), "Passing Xmodel: '100%_done %s %n %d.xmodel' to background loader\n"
                    "------ WARNING: 100%_done %s %n %d.xmodel\n" +
                        std::string(1023, 'x') + "\n------ WARNING: " + std::string(1023, 'x') + "\n" +
                        std::string(1022, 'a') + "\n");
}

// Lines from many threads never mix in the file. Workers running side by
// side keep their lines with their own sink, whole and in order; the shared
// sink gets none of them, only the lines of threads without one.
TEST_F(LoggerTest, LinesFromManyThreadsNeverMixAndStayWithTheirThreadsSink) {
  ASSERT_TRUE(logger.set_sync_mode(0));
  constexpr size_t kThreads = 6;
  const std::string kWarning = "------ WARNING: ";
  std::vector<Lines> sent(kThreads), own(kThreads);
  std::multiset<std::string> expected = {"Logging Mode Changed: Normal"}, expected_shared, shared;
  logger.set_sink([&shared](std::string_view l) { shared.emplace(l); });
  std::vector<std::thread> threads;
  for (size_t t = 0; t < kThreads; ++t) {
    for (int i = 0; i < 300; ++i)
      sent[t].push_back((i % 3 ? "" : kWarning) + "T" + std::to_string(t) + "-" + std::to_string(i) +
                        std::string(200, char('a' + t)));
    expected.insert(sent[t].begin(), sent[t].end());
    if (t % 2 == 0) expected_shared.insert(sent[t].begin(), sent[t].end());
    threads.emplace_back([&, t] {
      QorLogger::Sink sink = [&own, t](std::string_view l) { own[t].emplace_back(l); };
      if (t % 2) QorLogger::set_thread_sink(&sink);
      for (const std::string& l : sent[t]) {
        if (l.starts_with(kWarning)) logger.warning("%s", l.c_str() + kWarning.size());
        else logger.log("%s", l.c_str());
      }
      QorLogger::set_thread_sink(nullptr);
    });
  }
  for (std::thread& t : threads) t.join();
  for (size_t t = 0; t < kThreads; ++t) EXPECT_EQ(own[t], t % 2 ? sent[t] : Lines{}) << t;
  EXPECT_TRUE(shared == expected_shared) << shared.size() << " lines for " << expected_shared.size();
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
  struct Case { const char* in; bool terminal; const char* out; };
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
