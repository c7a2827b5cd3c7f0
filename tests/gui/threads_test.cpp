// Other threads and the interface: the sound player is called from two
// threads at once; the worker's question waits for the window's question
// box, and shutdown answers it no.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "shell/screens/layout.h"
#include "gui/qor_gui.h"
#include "shell/screens/question_box.h"
#include "base/notice_board.h"
#include "shell/window_question.h"
#include "sound/qor_sound.h"
#include "tests/gui/widget_rig.h"

namespace {

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

// The worker's question reaches the box the frames show, and Y answers it.
TEST(InterfaceThreads, TheWorkersQuestionIsAskedInTheBox) {
  gui_test::Toolkit r;
  QuestionBox box{r.gui};
  box.Build();
  NoticeBoard board;
  WindowQuestion question{board};
  std::atomic<int> answer{-1};
  std::thread worker([&] { answer = question.AskYesNo("Auto Game Switcher", "Switch?"); });
  BoardSnapshot view;
  for (int i = 0; i < 5000 && !box.open(); ++i) {
    board.Drain(view);
    question.Show(box);
    r.gui.Render(60);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_TRUE(box.open());
  EXPECT_TRUE(r.gui.Text(kQuestionTitle) == "Auto Game Switcher" && answer.load() == -1);
  r.gui.OnKey('Y', true);
  for (int i = 0; i < 5000 && answer.load() == -1; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  if (answer.load() == -1) question.Shutdown();  // a reply that never came fails, it does not hang
  worker.join();
  EXPECT_TRUE(answer.load() == 1 && !r.Open(kQuestionMenu));

  // Shutdown answers a waiting question no, and every later one at once.
  std::thread late([&] { answer = question.AskYesNo("Auto Game Switcher", "Switch?"); });
  const uint64_t before = view.version;
  while (board.version() == before) std::this_thread::yield();
  question.Shutdown();
  late.join();
  EXPECT_TRUE(answer.load() == 0 && !question.AskYesNo("Auto Game Switcher", "Switch?"));
}

}  // namespace

