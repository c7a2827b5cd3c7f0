// Other threads and the interface: commands posted from two threads while
// frames run arrive once each, in order per thread, and run only on the
// main thread; the sound player is called from two threads at once.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "gui/qor_gui.h"
#include "shell/notice_board.h"
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

}  // namespace
