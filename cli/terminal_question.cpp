// Terminal questions.
#include "cli/terminal_question.h"

#include <cstdio>
#include <iostream>
#include <string>

#include "platform/terminal.h"

bool TerminalQuestion::AskYesNo(std::string_view title, std::string_view text) {
  if (fixed_ >= 0) return fixed_ == 1;
  if (!platform::StdinIsTerminal()) return false;
  std::cerr << title << ": " << text << "\n[y/N] " << std::flush;
  std::string answer;
  if (!std::getline(std::cin, answer)) return false;
  return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}
