// Shared by the IWD mover tests: a scratch game root per test, archives
// from the fixture writer, tree listings and file reads, and a fixture that
// runs whole passes over the root.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>  // Required for: recursive_directory_iterator
#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "jobs/iwd_utils.h"
#include "tests/shell/shell_test_support.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"
#include "tools/fixture/iwd_writer.h"

namespace iwd_test {

using test_support::ReadBytes;

// A fresh game root per test (tests/support/temp_dir.h).
class TempRoot : public test_support::TempDir {
 public:
  TempRoot() : test_support::TempDir("vantor_iwd") {}

  std::string images() const { return Sub("raw/images"); }

  void Archive(const std::string& name, const fixture::IwdDesc& desc) const {
    ASSERT_TRUE(fixture::WriteIwdFile(Sub("main/" + name), desc));
  }
};

// Every regular file under `dir`, by path relative to it, with its bytes.
inline std::map<std::string, std::vector<uint8_t>> Tree(const std::string& dir) {
  std::map<std::string, std::vector<uint8_t>> out;
  std::error_code ec;
  for (std::filesystem::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file()) out[std::filesystem::relative(it->path(), dir).string()] = ReadBytes(it->path());
  return out;
}

// The pending message the mover left on its board since the last call: the
// command posted and the error-box text that came with it ("" for none).
using IwdMessage = std::pair<std::string, std::string>;
inline std::optional<IwdMessage> TakeMessage(NoticeBoard& board) {
  BoardSnapshot view;
  board.Drain(view);
  if (view.commands.empty()) return std::nullopt;
  EXPECT_EQ(view.commands.size(), 1u);
  EXPECT_LE(view.errors.size(), 1u);
  return IwdMessage{view.commands.back(), view.errors.empty() ? "" : view.errors.back()};
}

// Runs a whole pass over `root` and waits for it.
inline IwdProgress RunPass(QorIWDUtils& utils, const std::string& root) {
  utils.SetRoot(root);
  EXPECT_TRUE(utils.IWDToImages());
  utils.WaitForPass();
  return utils.Progress();
}

// Whole-pass counts: seen, copied, skipped, refused, failed.
using Counts = std::array<uint32_t, 5>;
inline Counts CountsOf(const IwdProgress& p) {
  return {p.total_seen, p.total_copied, p.total_skipped, p.total_refused, p.total_failed};
}

// A root, the log, and a mover posting to its own board.
struct Mover {
  TempRoot root;
  shell_test::LogCapture log;
  NoticeBoard board;
  QorIWDUtils utils{board};
  IwdProgress Run() { return RunPass(utils, root.path()); }
};
struct PassTest : testing::Test, Mover { using Mover::Run; };  // not testing::Test's Run

}  // namespace iwd_test
