// The notice board: what a drain hands over, and writer threads while a reader
// drains it (meant for TSan too). The worker's and the IWD mover's own writes:
// tests/model/xmodel_threaded_test.cpp, tests/imaging/iwd_pass_test.cpp.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <tuple>

#include "base/notice_board.h"

namespace {

TEST(NoticeBoard, DrainTakesQueuesOnceAndSkipsUnchangedFrames) {
  NoticeBoard board;
  BoardSnapshot view;
  EXPECT_FALSE(board.Drain(view));
  board.SetText("iwd_progress_text", "1/3");
  board.SetProgress("progress_bar", 2.5f);  // kept within 0 to 1
  board.SetProgress("download_progress", -1.0f);
  board.PostCommand("open iwd_images_menu;");
  board.ShowError("Can't move");
  board.PlaySound("export_done");
  board.PostMessage({AppMessageKind::kQuit, "", "", ""});
  ASSERT_TRUE(board.Drain(view));
  EXPECT_EQ(view.Text("iwd_progress_text"), "1/3");
  EXPECT_EQ(view.Text("iwi_progress_text"), "");
  EXPECT_EQ(view.ProgressWidth("progress_bar", 150), 150);
  EXPECT_EQ(view.Progress("download_progress"), 0.0f);
  using Texts = std::vector<std::string>;
  EXPECT_EQ(std::tie(view.commands, view.errors, view.sounds),
            std::make_tuple(Texts{"open iwd_images_menu;"}, Texts{"Can't move"}, Texts{"export_done"}));
  EXPECT_TRUE(view.messages.size() == 1 && view.messages[0].kind == AppMessageKind::kQuit);
  EXPECT_EQ(view.version, board.version());

  // Nothing new: the queues are empty, the values stay.
  EXPECT_FALSE(board.Drain(view));
  EXPECT_TRUE(view.commands.empty() && view.errors.empty() && view.sounds.empty() && view.messages.empty());
  EXPECT_EQ(view.Text("iwd_progress_text"), "1/3");
  board.SetProgress("progress_bar", 0.5f);
  ASSERT_TRUE(board.Drain(view));
  EXPECT_EQ(view.ProgressWidth("progress_bar", 150), 75);
  EXPECT_TRUE(view.commands.empty());
}

// Threads publish pairs and post numbered commands on one board that a
// reader drains meanwhile: no drain mixes two publishes, no command is lost
// or reordered.
TEST(NoticeBoard, ThreadsPublishWhileTheMainThreadDrains) {
  NoticeBoard board;
  constexpr int kThreads = 3, kPosts = 400;
  std::atomic<int> writers_left{kThreads};
  std::vector<std::thread> writers;
  for (int t = 0; t < kThreads; ++t) {
    writers.emplace_back([&board, &writers_left, t] {
      const std::string name = "t" + std::to_string(t);
      for (int i = 0; i < kPosts; ++i) {
        const std::string n = std::to_string(i);
        board.Publish({{{name + "_a", n}, {name + "_b", n}}, {{name, float(i) / kPosts}}});
        board.PostCommand(name + " " + n + ";");
      }
      --writers_left;
    });
  }
  std::vector<int> next(kThreads, 0);
  BoardSnapshot view;
  uint64_t last_version = 0;
  for (bool done = false; !done;) {
    done = writers_left.load() == 0;  // one more drain after the last write
    board.Drain(view);
    EXPECT_GE(view.version, last_version);
    last_version = view.version;
    for (int t = 0; t < kThreads; ++t) {
      const std::string name = "t" + std::to_string(t);
      EXPECT_EQ(view.Text(name + "_a"), view.Text(name + "_b")) << "a drain mixed two publishes";
    }
    for (const std::string& c : view.commands) {
      const int t = c[1] - '0';
      EXPECT_EQ(c, "t" + std::to_string(t) + " " + std::to_string(next[size_t(t)]++) + ";");
    }
  }
  for (std::thread& w : writers) w.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(next[size_t(t)], kPosts);
  EXPECT_EQ(view.Progress("t0"), float(kPosts - 1) / kPosts);
}

}  // namespace
