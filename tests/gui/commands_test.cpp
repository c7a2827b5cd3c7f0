// The command language: cutting, the table lookup and its log lines (with
// the splitting), "wait" and its queue on a fake clock, and the nesting guard.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/commands.h"
#include "tests/shell/shell_test_support.h"

namespace {

struct Rig {
  double now = 0;
  std::vector<std::string> ran;
  CommandProcessor cmd{[this] { return now; }};
  Rig() {
    for (const char* word : {"open", "close", "save"})
      cmd.Register(word, [this, word](const std::string& v) { ran.push_back(std::string(word) + "(" + v + ")"); });
  }
};

// Empty pieces, blank ones and a word without a value: the lookup test.
TEST(Commands, CuttingSkipsLeadingBlanksAndOnlyTheFirstBlankCuts) {
  EXPECT_EQ(CutPiece("\t\r\n open m").word, "open");
  const CommandPiece p = CutPiece("open   two blanks ");
  EXPECT_TRUE(p.word == "open" && p.value == "  two blanks ") << p.value;
}

TEST(Commands, TableLookupAndItsLogLines) {
  shell_test::LogCapture log;
  Rig r;
  r.cmd.Register("open", [&r](const std::string&) { r.ran.push_back("second open"); });  // first one wins
  r.cmd.RunCommand("open a;;open b; OPEN c; save; open ;close x; ");
  EXPECT_EQ(r.ran, (std::vector<std::string>{"open(a)", "open(b)", "save(save)", "close(x)"}));
  const std::vector<std::string> lines = log.lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "Processcmd:: Blank (cmd || value) value"), 2);  // " " and "open "
  EXPECT_TRUE(log.Contains("Unkown Menu Cmd: OPEN"));
}

TEST(Commands, WaitQueuesTheRestOnTheMainThread) {
  shell_test::LogCapture log;
  Rig r;
  r.cmd.RunCommand("open a; wait 600; open b; wait 0; open c");
  r.cmd.RunCommand("wait x; open d");       // not a number: 1000 ms
  r.cmd.RunCommand("wait -5; open e;");     // negative: no delay, still queued
  r.cmd.RunCommand("wait 600; open f");     // a second wait keeps its own entry
  EXPECT_EQ(r.ran, std::vector<std::string>{"open(a)"});
  EXPECT_TRUE(log.Contains("QorGUI::Processcmd:: Failed To Conver 'x' to int"));

  r.cmd.RunDue();
  EXPECT_EQ(r.ran.back(), "open(e)");
  r.now = 599;
  r.cmd.RunDue();
  EXPECT_EQ(r.ran.size(), 2u);
  r.now = 600;
  r.cmd.RunDue();  // "open b", then its "wait 0" waits for the next pass
  EXPECT_EQ(r.ran, (std::vector<std::string>{"open(a)", "open(e)", "open(b)", "open(f)"}));
  r.cmd.RunDue();
  EXPECT_EQ(r.ran.back(), "open(c)");
  r.now = 1000;
  r.cmd.RunDue();
  EXPECT_TRUE(r.ran.back() == "open(d)" && r.cmd.pending() == 0u);

  r.cmd.RunCommand("wait 10; open late");
  r.cmd.DropPending();  // at exit
  r.now = 5000;
  r.cmd.RunDue();
  EXPECT_EQ(r.ran.back(), "open(d)");
}

TEST(Commands, AListThatLeadsBackToItselfStops) {
  shell_test::LogCapture log;
  Rig r;
  int runs = 0;
  r.cmd.Register("loop", [&](const std::string&) {
    ++runs;
    r.cmd.RunCommand("loop again");
  });
  r.cmd.RunCommand("loop now");
  EXPECT_TRUE(runs == 32 && log.Contains("nested too deep"));
  r.cmd.RunCommand("open after");
  EXPECT_EQ(r.ran.back(), "open(after)");
}

}  // namespace
