// Yes/no questions put to the user. The window answers them in a dialog, the
// command line on a terminal or from a flag; without an answerer the answer
// is no.
#pragma once

#include <string_view>

namespace platform {

class QuestionAnswerer {
 public:
  virtual ~QuestionAnswerer() = default;
  virtual bool AskYesNo(std::string_view title, std::string_view text) = 0;
};

// The answerer in force; nullptr restores the default (always no).
void SetQuestionAnswerer(QuestionAnswerer* answerer);
bool AskYesNo(std::string_view title, std::string_view text);

}  // namespace platform
