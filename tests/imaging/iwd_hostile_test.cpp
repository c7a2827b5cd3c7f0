// The copy pass against archives and image folders made to do harm: many
// entries over one entry's data, names with ".iwi" inside, symlinks planted
// in raw/images (at a partial name, dangling, as a sub-folder) and a FIFO
// named like an archive.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/atomic_file.h"
#include "tests/imaging/iwd_test_support.h"
#include "tests/shell/shell_test_support.h"
#include "tests/support/fifo.h"

namespace fs = std::filesystem;

namespace {

using fixture::IwdDesc;
using fixture::IwdEntry;
using fixture::MakeIwiBytes;
using iwd_test::ReadBytes;
using iwd_test::RunPass;
using iwd_test::TempRoot;
using iwd_test::Tree;
using shell_test::LogCapture;

TEST(IwdHostile, EntriesSharingOneEntrysDataAreRefused) {
  TempRoot root;
  // 256 KiB of zeros deflate to a few hundred bytes; twenty names over it
  // would write 5 MiB from an archive of a few KiB.
  IwdDesc desc;
  desc.entries.push_back({"images/big.iwi", std::vector<uint8_t>(256 << 10, 0)});
  for (int i = 0; i < 20; ++i) {
    IwdEntry e;
    e.name = "images/copy_" + std::to_string(i) + ".iwi";
    e.same_data_as = 0;
    desc.entries.push_back(e);
  }
  desc.entries.push_back({"images/good.iwi", MakeIwiBytes(3, 16, 16)});
  root.Archive("iw_00.iwd", desc);
  LogCapture log;
  QorIWDUtils utils;
  IwdProgress p = RunPass(utils, root.path());
  EXPECT_EQ(p.total_copied, 1u);
  EXPECT_EQ(p.total_refused, 21u);
  EXPECT_TRUE(log.Contains("IWDToImages:: 'iw_00.iwd' has 21 entries whose data overlaps another entry's"))
      << log.Joined();
  EXPECT_TRUE(log.Contains("'images/copy_7.iwi' in 'iw_00.iwd' not moved: its data overlaps another entry's"));
  EXPECT_EQ(Tree(root.images()), (std::map<std::string, std::vector<uint8_t>>{{"good.iwi", MakeIwiBytes(3, 16, 16)}}));
}

TEST(IwdHostile, PlantedSymlinksAreNeverWrittenThrough) {
  TempRoot root;
  IwdDesc desc;
  desc.entries = {{"images/partial.iwi", MakeIwiBytes(5, 16, 16)},
                  {"images/dangling.iwi", MakeIwiBytes(6, 16, 16)},
                  {"images/linked/sub.iwi", MakeIwiBytes(7, 16, 16)}};
  root.Archive("iw_00.iwd", desc);
  root.MakeImagesFolder();
  fs::create_directories(root.Sub("outside/folder"));
  shell_test::WriteText(root.Sub("outside/victim"), "keep");
  // A link at the partial name (used where unnamed files are not
  // available), a link to nothing, a linked sub-folder.
  fs::create_symlink(root.Sub("outside/victim"), root.images() + "/partial.iwi.vantor-part");
  fs::create_symlink(root.Sub("outside/missing"), root.images() + "/dangling.iwi");
  fs::create_directory_symlink(root.Sub("outside/folder"), root.images() + "/linked");

  platform::AtomicFile::UseUnnamedFiles(false);
  LogCapture log;
  QorIWDUtils utils;
  IwdProgress p = RunPass(utils, root.path());
  platform::AtomicFile::UseUnnamedFiles(true);

  EXPECT_EQ(p.total_copied, 2u);
  EXPECT_EQ(p.total_refused, 1u);
  EXPECT_TRUE(log.Contains("'images/linked/sub.iwi' in 'iw_00.iwd' not moved: its folder in raw/images is a "
                           "symbolic link"))
      << log.Joined();
  EXPECT_EQ(ReadBytes(root.Sub("outside/victim")), iwd_test::Bytes("keep"));
  EXPECT_FALSE(fs::exists(root.Sub("outside/missing")));
  EXPECT_TRUE(fs::is_empty(root.Sub("outside/folder")));
  EXPECT_FALSE(fs::is_symlink(root.images() + "/dangling.iwi"));
  EXPECT_EQ(ReadBytes(root.images() + "/dangling.iwi"), MakeIwiBytes(6, 16, 16));
  EXPECT_EQ(ReadBytes(root.images() + "/partial.iwi"), MakeIwiBytes(5, 16, 16));
  EXPECT_FALSE(fs::exists(fs::symlink_status(root.images() + "/partial.iwi.vantor-part")));
}

TEST(IwdHostile, FifoNamedLikeAnArchiveIsPassedOver) {
  TempRoot root;
  root.Archive("iw_01.iwd", fixture::MakeImageArchive("a", 2));
  const std::string fifo = root.Sub("main/iw_00.iwd");
  ASSERT_TRUE(test_support::MakeFifo(fifo));
  QorIWDUtils utils;
  EXPECT_TRUE(test_support::ReturnsWithin(10, {fifo}, [&] { RunPass(utils, root.path()); }))
      << "the pass blocked on a FIFO";
  EXPECT_EQ(utils.Progress().total_copied, 2u);
}

}  // namespace
