// Whole-or-nothing files. A new file (AtomicFile) has no name until Commit,
// and Commit never replaces a file that appeared meanwhile (which pins the
// first too: a ".part" renamed into place would replace it, and a writer
// killed before Commit would leave it). A replaced one (ReplaceFile): the old
// file stays until Commit, and targets that are no regular file (a symlink
// among them) are refused before anything is opened.
#include <gtest/gtest.h>
#include <sys/stat.h>  // Required for: mkfifo()

#include <cerrno>
#include <filesystem>

#include "platform/atomic_file.h"
#include "platform/replace_file.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

using test_support::ReadText;

struct Folder : test_support::TempDir {
  Folder() : test_support::TempDir("vantor_atomic") {}
  size_t Count() const { return test_support::CountEntries(path()); }
};

const uint8_t kBytes[] = {'I', 'W', 'i', 6, 0x0B, 2, 16, 0, 16, 0};

TEST(AtomicFile, CommitPutsTheWholeFileUnderItsNameOnlyIfNoneAppearedAbandonNothing) {
  Folder dir;
  platform::AtomicFile f;
  EXPECT_EQ(f.Open(dir.Sub("none/a.iwi"), ".part"), ENOENT);
  EXPECT_EQ(f.Commit(), EBADF);
  ASSERT_EQ(f.Open(dir.Sub("b.iwi"), ".part"), 0);
  ASSERT_TRUE(f.Write(kBytes, sizeof kBytes));
  f.Abandon();
  EXPECT_EQ(dir.Count(), 0u);
  ASSERT_EQ(f.Open(dir.Sub("a.iwi"), ".part"), 0);
  ASSERT_TRUE(f.Write(kBytes, 4));
  ASSERT_TRUE(f.Write(kBytes + 4, sizeof kBytes - 4));
  EXPECT_FALSE(fs::exists(dir.Sub("a.iwi"))) << "not before Commit";
  ASSERT_EQ(f.Commit(), 0);
  EXPECT_EQ(ReadText(dir.Sub("a.iwi")), std::string(kBytes, kBytes + sizeof kBytes));
  // A second writer of the name: the file that appeared meanwhile is left alone.
  ASSERT_EQ(f.Open(dir.Sub("a.iwi"), ".part"), 0);
  ASSERT_TRUE(f.Write(kBytes, 4));
  EXPECT_EQ(f.Commit(), EEXIST);
  EXPECT_EQ(ReadText(dir.Sub("a.iwi")), std::string(kBytes, kBytes + sizeof kBytes));
  EXPECT_EQ(dir.Count(), 1u);
}

TEST(ReplaceFile, OldFileStaysUntilCommitAndAbandonLeavesIt) {
  Folder dir;
  const std::string target = dir.Sub("a.obj");
  std::ofstream(target) << "old";
  platform::ReplaceFile f;
  for (const bool commit : {false, true}) {
    ASSERT_EQ(f.Open(target), 0);
    ASSERT_TRUE(f.Write("new text", 8));
    EXPECT_EQ(ReadText(target), "old");
    if (commit) {
      ASSERT_EQ(f.Commit(), 0);
    } else {
      f.Abandon();
    }
    EXPECT_EQ(ReadText(target), commit ? "new text" : "old");
    EXPECT_EQ(dir.Count(), 1u);
  }
}

TEST(ReplaceFile, TargetsThatAreNoRegularFileAreRefusedAndNamed) {
  Folder dir;
  ASSERT_EQ(::mkfifo(dir.Sub("fifo").c_str(), 0600), 0);
  fs::create_directories(dir.Sub("folder"));
  std::ofstream(dir.Sub("outside")) << "keep";
  fs::create_symlink(dir.Sub("outside"), dir.Sub("link"));
  for (const char* name : {"fifo", "folder", "link"}) {
    platform::ClearWriteFailure();
    platform::ReplaceFile f;
    EXPECT_EQ(f.Open(dir.Sub(name)), platform::kNotRegularFile) << name;
    EXPECT_EQ(f.stream(), nullptr);
    EXPECT_NE(platform::LastWriteFailureText().find("not a regular file"), std::string::npos);
  }
  EXPECT_EQ(dir.Count(), 4u);
  EXPECT_TRUE(fs::is_symlink(dir.Sub("link")));
  EXPECT_EQ(ReadText(dir.Sub("outside")), "keep");
  platform::ReplaceFile missing;
  EXPECT_EQ(missing.Open(dir.Sub("none/a.ma")), ENOENT);
}

}  // namespace
