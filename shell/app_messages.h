// The window's application messages: other threads post, the main loop
// drains them between frames.
#pragma once

#include <deque>
#include <mutex>
#include <string>

enum class AppMessageKind { kBalloon = 1, kTrayIconChange = 2, kQuit = 3, kTray = 10 };

struct AppMessage {
  AppMessageKind kind;
  std::string text;
};

class AppMessages {
 public:
  void Post(AppMessage m) {
    std::lock_guard<std::mutex> hold(mutex_);
    queue_.push_back(std::move(m));
  }
  bool Take(AppMessage& out) {
    std::lock_guard<std::mutex> hold(mutex_);
    if (queue_.empty()) return false;
    out = std::move(queue_.front());
    queue_.pop_front();
    return true;
  }

 private:
  std::mutex mutex_;
  std::deque<AppMessage> queue_;
};
