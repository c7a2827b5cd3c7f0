// The notice board: what a drain hands over, and the board under load from
// the worker, the IWD mover and a test thread while a reader drains it
// (meant to run under TSan as well).
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <tuple>

#include "jobs/iwd_utils.h"
#include "jobs/xmodel_threaded.h"
#include "base/notice_board.h"
#include "tests/imaging/iwd_test_support.h"
#include "tests/model/model_test_support.h"
#include "tests/shell/shell_test_support.h"
#include "tools/fixture/fixture_writer.h"

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

// The worker exports, the mover copies and a test thread publishes pairs and
// posts numbered commands, all on one board that a reader drains meanwhile.
TEST(NoticeBoard, ThreadsPublishWhileTheMainThreadDrains) {
  shell_test::LogCapture log;
  model_test::TempDir dir;
  iwd_test::TempRoot root;
  root.Archive("iw_00.iwd", fixture::MakeImageArchive("a", 300));
  std::string crate = fixture::WriteModel(dir.Sub("game"), fixture::MakePropModel("crate", Cod4));
  ASSERT_FALSE(crate.empty());

  NoticeBoard board;
  XmodelThreaded worker;
  ExportSettings o;
  o.export_folder = dir.Sub("out");
  worker.SetExportSettings(o);
  worker.SetModelGame(Cod4);
  worker.SetBoard(&board);
  QorIWDUtils mover(board);
  mover.SetRoot(root.path());

  constexpr int kThreads = 3, kPosts = 400;
  std::atomic<int> writers_left{kThreads + 2};
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
  writers.emplace_back([&] {
    worker.Start(dir.path());
    worker.AddJob(crate, job::kLoad | job::kSurfaces | job::kExportOBJ);
    worker.WaitIdle();
    worker.Stop();
    --writers_left;
  });
  writers.emplace_back([&] {
    EXPECT_TRUE(mover.IWDToImages());
    mover.WaitForPass();
    --writers_left;
  });

  // The reader: every drained frame consistent, commands in order per thread.
  std::vector<int> next(kThreads, 0);
  std::vector<std::string> others, sounds;
  BoardSnapshot view;
  uint64_t last_version = 0;
  bool done = false;
  while (!done) {
    done = writers_left.load() == 0;  // one more drain after the last write
    board.Drain(view);
    EXPECT_GE(view.version, last_version);
    last_version = view.version;
    for (int t = 0; t < kThreads; ++t) {
      const std::string name = "t" + std::to_string(t);
      EXPECT_EQ(view.Text(name + "_a"), view.Text(name + "_b")) << "a drain mixed two publishes";
    }
    for (const std::string& c : view.commands) {
      if (c.size() > 1 && c[0] == 't' && c[1] >= '0' && c[1] < '0' + kThreads) {
        int t = c[1] - '0';
        EXPECT_EQ(c, "t" + std::to_string(t) + " " + std::to_string(next[size_t(t)]) + ";");
        ++next[size_t(t)];
      } else {
        others.push_back(c);
      }
    }
    sounds.insert(sounds.end(), view.sounds.begin(), view.sounds.end());
  }
  for (std::thread& w : writers) w.join();

  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(next[size_t(t)], kPosts);
  EXPECT_EQ(others, std::vector<std::string>{});  // the mover's panel stays open on its result
  EXPECT_NE(view.Text(iwd::kResultText), "");
  EXPECT_EQ(sounds, std::vector<std::string>{"export_done"});
  EXPECT_EQ(view.Progress(kWorkerProgressName), 1.0f);
  EXPECT_EQ(view.Progress(iwd::kProgressName), 1.0f);
  EXPECT_EQ(view.Text(iwd::kImagesText), "\n\n300\n\n0");
}

}  // namespace
