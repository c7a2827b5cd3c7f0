// Other threads and the interface: commands posted from two threads while
// frames run arrive once each, in order per thread, and run only on the
// main thread; the sound player is called from two threads at once; the
// worker's question waits for the window's question box, and shutdown
// answers it no.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "shell/screens/layout.h"
#include "gui/qor_gui.h"
#include "shell/screens/question_box.h"
#include "base/notice_board.h"
#include "shell/window_question.h"
#include "sound/qor_sound.h"

namespace {

TEST(InterfaceThreads, PostedCommandsRunBetweenFramesInOrder) {
  NullDraw2D draw;
  MaterialStore materials{nullptr};
  double now = 0;
  CommandProcessor commands{[&] { return now; }};
  QorGUI gui{draw, materials, commands, [&] { return now; }};
  gui.AddFadeMenu("m", {}, {0, 0, 10, 10, kAnchorFixed}, false, 0.1f);
  const std::thread::id main_thread = std::this_thread::get_id();
  std::vector<int> seen[2];
  commands.Register("note", [&](const std::string& v) {
    EXPECT_EQ(std::this_thread::get_id(), main_thread);
    seen[v[0] - 'a'].push_back(std::stoi(v.substr(1)));
  });

  NoticeBoard board;
  constexpr int kPosts = 300;
  std::atomic<int> running{2};
  std::vector<std::thread> posters;
  for (char t : {'a', 'b'}) {
    posters.emplace_back([&, t] {
      for (int i = 0; i < kPosts; ++i) board.PostCommand("note " + std::string(1, t) + std::to_string(i) + "; toggle_menu m");
      --running;
    });
  }
  BoardSnapshot view;
  for (bool last = false; !last;) {
    last = running.load() == 0;
    board.Drain(view);
    for (const std::string& c : view.commands) commands.RunCommand(c);
    gui.Render(60);
    commands.RunDue();
    now += 16.7;
  }
  for (std::thread& p : posters) p.join();
  for (const std::vector<int>& s : seen) {
    ASSERT_EQ(s.size(), size_t(kPosts));
    for (int i = 0; i < kPosts; ++i) EXPECT_EQ(s[size_t(i)], i);
  }
}

TEST(InterfaceThreads, SoundFromTheMainThreadAndTheWorker) {
  QorSound sound;
  sound.InitSound();  // with or without a device: the calls must not race
  std::thread worker([&] {
    for (int i = 0; i < 200; ++i) sound.Playsound("export_done", 2);
  });
  for (int i = 0; i < 200; ++i) {
    sound.Playsound("menu_focus", 1);
    sound.SetLevel(i % 2 ? 0.5f : 0.0f);
  }
  worker.join();
  sound.Shutdown();
  EXPECT_FALSE(sound.available());
}

// The frame holds its lock all along, as the window's does while it draws:
// the worker's question still reaches the box, and Y answers it.
TEST(InterfaceThreads, TheWorkersQuestionIsAskedInTheBoxWhileTheFrameHoldsItsLock) {
  NullDraw2D draw;
  MaterialStore materials{nullptr};
  double now = 0;
  CommandProcessor commands{[&] { return now; }};
  QorGUI gui{draw, materials, commands, [&] { return now; }};
  QuestionBox box{gui};
  box.Build();
  NoticeBoard board;
  WindowQuestion question{board};
  std::mutex frame_lock;
  std::lock_guard<std::mutex> frame(frame_lock);

  std::atomic<int> answer{-1};
  std::thread worker([&] { answer = question.AskYesNo("Auto Game Switcher", "Switch?"); });
  BoardSnapshot view;
  for (int i = 0; i < 5000 && !box.open(); ++i) {
    board.Drain(view);
    question.Show(box);
    gui.Render(60);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_TRUE(box.open());
  EXPECT_EQ(gui.Text(kQuestionTitle), "Auto Game Switcher");
  EXPECT_EQ(answer.load(), -1);
  gui.OnKey('Y', true);
  for (int i = 0; i < 5000 && answer.load() == -1; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  if (answer.load() == -1) question.Shutdown();  // a reply that never came fails, it does not hang
  worker.join();
  EXPECT_EQ(answer.load(), 1);
  EXPECT_FALSE(gui.FindMenu(kQuestionMenu)->visible);

  // Shutdown answers a waiting question no, and every later one at once.
  std::thread late([&] { answer = question.AskYesNo("Auto Game Switcher", "Switch?"); });
  const uint64_t before = view.version;
  while (board.version() == before) std::this_thread::yield();
  question.Shutdown();
  late.join();
  EXPECT_EQ(answer.load(), 0);
  EXPECT_FALSE(question.AskYesNo("Auto Game Switcher", "Switch?"));
}

}  // namespace

