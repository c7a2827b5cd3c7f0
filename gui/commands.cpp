#include "gui/commands.h"

#include <algorithm>
#include <sstream>

#include "base/logger.h"

namespace {

// Lists run lists (a menu's on-open list opens another menu whose list ...):
// a chain that leads back to itself stops here instead of exhausting the
// stack.
constexpr int kMaxNesting = 32;

bool IsLeadingBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

}  // namespace

CommandList SplitCommands(std::string_view text) {
  CommandList list;
  for (size_t at = 0; at <= text.size();) {
    size_t end = text.find(';', at);
    if (end == std::string_view::npos) end = text.size();
    if (end > at) list.emplace_back(text.substr(at, end - at));
    at = end + 1;
  }
  return list;
}

CommandPiece CutPiece(std::string_view piece) {
  size_t start = 0;
  while (start < piece.size() && IsLeadingBlank(piece[start])) ++start;
  piece.remove_prefix(start);
  const size_t space = piece.find(' ');
  if (space == std::string_view::npos) return {piece, piece};
  return {piece.substr(0, space), piece.substr(space + 1)};
}

CommandProcessor::CommandProcessor(Clock clock) : clock_(std::move(clock)) {}

void CommandProcessor::Register(std::string word, Verb verb) { verbs_.push_back({std::move(word), std::move(verb)}); }

bool CommandProcessor::Knows(std::string_view word) const {
  return std::any_of(verbs_.begin(), verbs_.end(), [&](const Entry& e) { return e.word == word; });
}

void CommandProcessor::RunCommand(std::string_view text) { Processcmd(SplitCommands(text)); }

void CommandProcessor::Processcmd(CommandList list) {
  if (depth_ >= kMaxNesting) {
    Logger().log("^1Processcmd^7:: command lists nested too deep, not run: %s",
                 list.empty() ? "" : list.front().c_str());
    return;
  }
  ++depth_;
  for (size_t i = 0; i < list.size(); ++i) {
    const CommandPiece piece = CutPiece(list[i]);
    if (piece.word.empty() || piece.value.empty()) {
      Logger().log("Processcmd:: Blank (cmd || value) value");
      continue;
    }
    const std::string value(piece.value);
    if (piece.word == "wait") {
      Wait(value, CommandList(list.begin() + std::ptrdiff_t(i) + 1, list.end()));
      break;
    }
    auto verb = std::find_if(verbs_.begin(), verbs_.end(), [&](const Entry& e) { return e.word == piece.word; });
    if (verb == verbs_.end()) {
      Logger().log("Unkown Menu Cmd: %s", std::string(piece.word).c_str());
      continue;
    }
    verb->verb(value);
  }
  --depth_;
}

void CommandProcessor::Wait(const std::string& value, CommandList rest) {
  std::istringstream in(value);
  int ms = 1000;
  if (!(in >> ms)) {
    ms = 1000;
    Logger().log("QorGUI::Processcmd:: Failed To Conver '%s' to int", value.c_str());
  }
  // Every remainder keeps its own entry; a negative delay is no delay, but
  // the rest still runs from the queue, never inline.
  pending_.push_back({clock_() + std::max(ms, 0), next_order_++, std::move(rest)});
}

void CommandProcessor::RunDue() {
  // What waits again while these run (even "wait 0") is left for the next
  // pass, so a list that keeps re-queuing itself cannot hold up a frame.
  const uint64_t limit = next_order_;
  for (;;) {
    const double now = clock_();
    auto next = pending_.end();
    for (auto it = pending_.begin(); it != pending_.end(); ++it) {
      if (it->due > now || it->order >= limit) continue;
      if (next == pending_.end() || it->due < next->due || (it->due == next->due && it->order < next->order))
        next = it;
    }
    if (next == pending_.end()) return;
    CommandList rest = std::move(next->rest);
    pending_.erase(next);
    Processcmd(std::move(rest));
  }
}
