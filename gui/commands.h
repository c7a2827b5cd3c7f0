// The command language: every action the interface triggers is a short
// text ("close close_xmodel_log; open open_xmodel_log"), split once into a
// list at ";" and run piece by piece through `Processcmd`. A piece is a
// command word and a value cut at its first space; the word is looked up in
// the verb table (the toolkit's own menu words, and the program's words that
// the shell registers at start-up, so the toolkit never knows the model or
// the exporters).
//
// "wait N" puts the rest of its list aside for N milliseconds. Remainders,
// like command texts posted by other threads, run on the main thread
// between frames (RunDue), never during a frame's drawing and never
// concurrently with another list.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

using CommandList = std::vector<std::string>;

// Splits at every ";": empty pieces are dropped, pieces of blanks stay.
CommandList SplitCommands(std::string_view text);

// One piece after trimming its leading white space: the word before the
// first space and everything after that space, verbatim; a piece without a
// space is both word and value.
struct CommandPiece {
  std::string_view word;
  std::string_view value;
};
CommandPiece CutPiece(std::string_view piece);

class CommandProcessor {
 public:
  using Verb = std::function<void(const std::string& value)>;
  using Clock = std::function<double()>;  // milliseconds, monotonic

  explicit CommandProcessor(Clock clock);
  CommandProcessor(const CommandProcessor&) = delete;
  CommandProcessor& operator=(const CommandProcessor&) = delete;

  // Adds a word to the table; the first registration of a word is the one
  // that runs (table order).
  void Register(std::string word, Verb verb);
  bool Knows(std::string_view word) const;

  void RunCommand(std::string_view text);
  void Processcmd(CommandList list);

  // Main thread, between frames: runs every remainder whose delay has
  // passed, earliest first (those of equal time in the order they waited);
  // remainders queued while these run wait for the next call.
  void RunDue();
  size_t pending() const { return pending_.size(); }
  // At exit: remainders still waiting are dropped, never run.
  void DropPending() { pending_.clear(); }

 private:
  void Wait(const std::string& value, CommandList rest);

  struct Entry {
    std::string word;
    Verb verb;
  };
  struct Pending {
    double due = 0;
    uint64_t order = 0;
    CommandList rest;
  };
  Clock clock_;
  std::vector<Entry> verbs_;
  std::vector<Pending> pending_;
  uint64_t next_order_ = 0;
  int depth_ = 0;
};
