// The window's yes/no question box ("question_menu"), one question at a
// time, on the main thread: the asker gets the reply through its callback,
// run once when a button, Y/N, Enter or Escape answers. The model worker's
// questions reach it through shell/window_question.h.
#pragma once

#include <functional>
#include <string_view>

class QorGUI;

class QuestionBox {
 public:
  explicit QuestionBox(QorGUI& gui) : gui_(gui) {}
  // Adds the box's menu; after every other menu, so it draws on top.
  void Build();
  // Shows the question, its text wrapped to the box. False, and nothing
  // asked, while another question waits for its answer.
  bool Ask(std::string_view title, std::string_view text, std::function<void(bool yes)> answer);
  bool open() const { return bool(answer_); }
  // Closes the box and hands the reply to the asker; nothing when no
  // question is open.
  void Answer(bool yes);

 private:
  QorGUI& gui_;
  std::function<void(bool yes)> answer_;
};
