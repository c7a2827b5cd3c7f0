// Terminal questions.
#include "cli/terminal_question.h"

#include <cstdio>
#include <iostream>
#include <mutex>
#include <string>

#include "cli/progress_line.h"
#include "platform/terminal.h"

bool TerminalQuestion::AskYesNo(std::string_view title, std::string_view text) {
  if (fixed_ >= 0) return fixed_ == 1;
  if (!platform::StdinIsTerminal()) return false;
  // Models exported side by side ask one at a time.
  static std::mutex asking;
  std::lock_guard<std::mutex> hold(asking);
  if (bar_) bar_->Pause(true);
  std::cerr << title << ": " << text << "\n[y/N] " << std::flush;
  std::string answer;
  const bool read = static_cast<bool>(std::getline(std::cin, answer));
  if (bar_) bar_->Pause(false);
  return read && !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}
