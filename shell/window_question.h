// The model worker's yes/no questions (the game switch on load) asked in the
// window's question box. The worker posts its question and waits on a
// condition of its own, never on the lock the frame holds while it draws;
// the main thread puts it into the box when the box is free and hands the
// reply back. From Shutdown on, a waiting question and every later one is
// answered no, so the worker can end.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>

#include "platform/question.h"

class NoticeBoard;
class QuestionBox;

class WindowQuestion : public platform::QuestionAnswerer {
 public:
  explicit WindowQuestion(NoticeBoard& board) : board_(board) {}

  // Any thread but the main one: blocks until answered.
  bool AskYesNo(std::string_view title, std::string_view text) override;
  // Main thread, each frame: a posted question into `box` once it is free.
  void Show(QuestionBox& box);
  void Shutdown();

 private:
  enum class State { kNone, kPosted, kShown, kAnswered };
  NoticeBoard& board_;
  std::mutex asking_;  // one asker at a time
  std::mutex lock_;    // the rest
  std::condition_variable answered_;
  State state_ = State::kNone;
  std::string title_, text_;
  bool yes_ = false;
  bool closed_ = false;
};
