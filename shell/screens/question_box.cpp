// The question box's state: which question is open and who gets its reply.
#include "shell/screens/question_box.h"

#include <string>
#include <utility>

#include "base/logger.h"
#include "gui/qor_gui.h"
#include "shell/screens/layout.h"  // Required for: BuildQuestionBox(), the box's names

namespace {
constexpr float kTextWidth = 265;  // from the text's left edge to the panel's
}

void QuestionBox::Build() {
  BuildQuestionBox(gui_, [this](bool yes) { Answer(yes); });
}

bool QuestionBox::Ask(std::string_view title, std::string_view text, std::function<void(bool yes)> answer) {
  if (open()) {
    Logger().log("QuestionBox:: '%s' not asked: another question is open", std::string(title).c_str());
    return false;
  }
  answer_ = std::move(answer);
  gui_.SetText(kQuestionTitle, title);
  gui_.SetText(kQuestionText, gui_.Wrap(text, kTextWidth));
  gui_.SetVis(kQuestionMenu, true);
  return true;
}

void QuestionBox::Answer(bool yes) {
  if (!open()) return;
  // Taken out first: the asker may ask again from its callback.
  std::function<void(bool)> answer = std::move(answer_);
  answer_ = nullptr;
  gui_.SetVis(kQuestionMenu, false);
  answer(yes);
}
