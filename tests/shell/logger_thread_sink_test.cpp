// Lines of workers running side by side stay with their own worker: a
// thread's own sink gets that thread's lines, whole and in order, and the
// shared sink none of them.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "base/logger.h"
#include "tests/shell/shell_test_support.h"

TEST(LoggerThreadSink, KeepsEachThreadsLinesApartFromTheSharedSink) {
  shell_test::LogCapture shared;
  constexpr int kThreads = 3, kLines = 300;
  std::vector<std::vector<std::string>> own(kThreads);
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
  std::vector<std::string> lines = shared.lines();
  EXPECT_EQ(lines.size(), size_t(kThreads)) << shared.Joined();
  for (const std::string& line : lines) EXPECT_NE(line.find(" done"), std::string::npos) << line;
}
