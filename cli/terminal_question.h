// Yes/no questions on the command line: asked on the terminal when standard
// input is one, otherwise answered from --auto-switch.
#pragma once

#include "platform/question.h"

class ProgressLine;

class TerminalQuestion : public platform::QuestionAnswerer {
 public:
  // `fixed`: the answer given by flag; nullopt-like -1 asks on a terminal
  // (and answers no when there is none).
  explicit TerminalQuestion(int fixed) : fixed_(fixed) {}
  bool AskYesNo(std::string_view title, std::string_view text) override;
  // The bar to hold off the prompt's line while asking.
  void SetProgressLine(ProgressLine* bar) { bar_ = bar; }

 private:
  int fixed_;
  ProgressLine* bar_ = nullptr;
};
