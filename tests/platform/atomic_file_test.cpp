// Whole-or-nothing files: a writer that dies before Commit leaves nothing,
// Commit never replaces a file that appeared meanwhile.
#include <gtest/gtest.h>
#include <sys/wait.h>  // Required for: waitpid()
#include <unistd.h>    // Required for: fork(), _exit(), getpid()

#include <cerrno>
#include <filesystem>

#include "platform/atomic_file.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

namespace {

using test_support::ReadText;

class Folder : public test_support::TempDir {
 public:
  Folder() : test_support::TempDir("vantor_atomic") {}
  size_t Count() const { return test_support::CountEntries(path()); }
};

const uint8_t kBytes[] = {'I', 'W', 'i', 6, 0x0B, 2, 16, 0, 16, 0};

TEST(AtomicFile, CommitPutsTheWholeFileUnderItsNameAbandonNothing) {
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
  EXPECT_FALSE(std::filesystem::exists(dir.Sub("a.iwi"))) << "not before Commit";
  ASSERT_EQ(f.Commit(), 0);
  EXPECT_EQ(ReadText(dir.Sub("a.iwi")), std::string(kBytes, kBytes + sizeof kBytes));
  EXPECT_EQ(dir.Count(), 1u);
}

TEST(AtomicFile, WriterKilledBeforeCommitLeavesNothing) {
  Folder dir;
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    platform::AtomicFile f;
    if (f.Open(dir.Sub("a.iwi"), ".part") != 0 || !f.Write(kBytes, 4)) ::_exit(1);
    ::_exit(0);  // no destructor, no Commit: as if killed
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(dir.Count(), 0u);
}

TEST(AtomicFile, CommitLeavesAFileThatAppearedMeanwhile) {
  Folder dir;
  platform::AtomicFile f;
  ASSERT_EQ(f.Open(dir.Sub("a.iwi"), ".part"), 0);
  ASSERT_TRUE(f.Write(kBytes, sizeof kBytes));
  std::ofstream(dir.Sub("a.iwi")) << "theirs";
  int rc = f.Commit();
  // An unnamed file is linked and meets the other; a renamed partial file
  // (file systems without unnamed files) replaces it.
  if (rc == EEXIST) {
    EXPECT_EQ(ReadText(dir.Sub("a.iwi")), "theirs");
  } else {
    EXPECT_EQ(rc, 0);
  }
  EXPECT_EQ(dir.Count(), 1u);
}

}  // namespace
