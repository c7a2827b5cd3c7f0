// Files that replace their target only when complete: the old file stays
// until Commit, nothing of ours is left by Abandon, a symlink under the
// final name is replaced (never written through), and targets that are no
// regular file are refused before anything is opened.
#include <gtest/gtest.h>
#include <sys/stat.h>  // Required for: mkfifo()

#include <filesystem>

#include "platform/replace_file.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

using test_support::ReadText;

TEST(ReplaceFile, OldFileStaysUntilCommitAndAbandonLeavesIt) {
  test_support::TempDir dir;
  const std::string target = dir.Sub("a.obj");
  std::ofstream(target) << "old";
  platform::ReplaceFile f;
  ASSERT_EQ(f.Open(target), 0);
  ASSERT_TRUE(f.Write("new text", 8));
  EXPECT_EQ(ReadText(target), "old");
  f.Abandon();
  EXPECT_EQ(ReadText(target), "old");
  EXPECT_EQ(test_support::CountEntries(dir.path()), 1u);

  ASSERT_EQ(f.Open(target), 0);
  ASSERT_TRUE(f.Write("new text", 8));
  ASSERT_EQ(f.Commit(), 0);
  EXPECT_EQ(ReadText(target), "new text");
  EXPECT_EQ(test_support::CountEntries(dir.path()), 1u);
}

TEST(ReplaceFile, SymlinkUnderTheFinalNameIsReplacedNotWrittenThrough) {
  test_support::TempDir dir;
  std::ofstream(dir.Sub("outside")) << "keep";
  fs::create_symlink(dir.Sub("outside"), dir.Sub("a.gdt"));
  platform::ReplaceFile f;
  ASSERT_EQ(f.Open(dir.Sub("a.gdt")), 0);
  ASSERT_TRUE(f.Write("gdt", 3));
  ASSERT_EQ(f.Commit(), 0);
  EXPECT_FALSE(fs::is_symlink(dir.Sub("a.gdt")));
  EXPECT_EQ(ReadText(dir.Sub("a.gdt")), "gdt");
  EXPECT_EQ(ReadText(dir.Sub("outside")), "keep");
}

TEST(ReplaceFile, TargetsThatAreNoRegularFileAreRefusedAndNamed) {
  test_support::TempDir dir;
  ASSERT_EQ(::mkfifo(dir.Sub("fifo").c_str(), 0600), 0);
  fs::create_directories(dir.Sub("folder"));
  for (const char* name : {"fifo", "folder"}) {
    platform::ClearWriteFailure();
    platform::ReplaceFile f;
    EXPECT_EQ(f.Open(dir.Sub(name)), platform::kNotRegularFile) << name;
    EXPECT_EQ(f.stream(), nullptr);
    EXPECT_NE(platform::LastWriteFailureText().find("not a regular file"), std::string::npos);
  }
  EXPECT_EQ(test_support::CountEntries(dir.path()), 2u);
  platform::ReplaceFile missing;
  EXPECT_EQ(missing.Open(dir.Sub("none/a.ma")), ENOENT);
}

}  // namespace
