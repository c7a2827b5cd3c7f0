// The worker's questions, handed between its thread and the main thread.
#include "shell/window_question.h"

#include "base/notice_board.h"
#include "shell/screens/question_box.h"

bool WindowQuestion::AskYesNo(std::string_view title, std::string_view text) {
  std::lock_guard<std::mutex> one(asking_);
  std::unique_lock<std::mutex> hold(lock_);
  if (closed_) return false;
  title_ = title;
  text_ = text;
  yes_ = false;
  state_ = State::kPosted;
  board_.Touch();  // the window draws the next frame, which shows it
  answered_.wait(hold, [this] { return state_ == State::kAnswered || closed_; });
  const bool yes = state_ == State::kAnswered && yes_;
  state_ = State::kNone;
  return yes;
}

void WindowQuestion::Show(QuestionBox& box) {
  std::string title, text;
  {
    std::lock_guard<std::mutex> hold(lock_);
    if (state_ != State::kPosted || box.open()) return;
    state_ = State::kShown;
    title = title_;
    text = text_;
  }
  box.Ask(title, text, [this](bool yes) {
    {
      std::lock_guard<std::mutex> hold(lock_);
      if (state_ != State::kShown) return;
      yes_ = yes;
      state_ = State::kAnswered;
    }
    answered_.notify_all();
  });
}

void WindowQuestion::Shutdown() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    closed_ = true;
  }
  answered_.notify_all();
}
