// Message boxes with an OK button. The window shows them as dialogs; without
// a presenter (the command line, tests, a failed GUI start) the message goes
// to standard error, so showing one never fails.
#pragma once

#include <string_view>

namespace platform {

class MessageBoxPresenter {
 public:
  virtual ~MessageBoxPresenter() = default;
  virtual void ShowMessageBox(std::string_view title, std::string_view text) = 0;
};

// The presenter in force; nullptr restores the default (standard error).
void SetMessageBoxPresenter(MessageBoxPresenter* presenter);
// Returns when the user has dismissed the box.
void ShowMessageBox(std::string_view title, std::string_view text);

}  // namespace platform
