// The pass and the index against Debian's unzip: the same archives give the
// same images, byte for byte, on our fixture archives and on the real ones
// in the samples. Damaged entries: iwd_hostile_test.
#include <gtest/gtest.h>

#include <algorithm>  // Required for: std::sort
#include <cstdlib>    // Required for: system()
#include <filesystem>

#include "imaging/iwd_image_read.h"
#include "imaging/iwd_index.h"
#include "tests/imaging/image_test_support.h"
#include "tests/imaging/iwd_test_support.h"

namespace {

using fixture::IwdDesc;
using fixture::MakeIwiBytes;
using image_test::Quote;
using iwd_test::ReadBytes;
using iwd_test::RunPass;
using iwd_test::TempRoot;
using iwd_test::Tree;

bool HaveUnzip() { return std::system("command -v unzip >/dev/null 2>&1") == 0; }

// What `unzip -n` makes of the archives, in the pass's order, below
// `out`/raw; only the images are kept for comparison.
std::map<std::string, std::vector<uint8_t>> UnzipImages(const std::vector<std::string>& archives,
                                                        const std::string& out) {
  std::filesystem::create_directories(out + "/raw");
  for (const std::string& a : archives) {
    std::string cmd = "unzip -n -q " + Quote(a) + " -d " + Quote(out + "/raw") + " >/dev/null 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
  }
  std::map<std::string, std::vector<uint8_t>> images;
  for (auto& [path, bytes] : Tree(out + "/raw/images"))
    if (path.find(".iwi") != std::string::npos) images[path] = bytes;
  return images;
}

// The pass over `root` gives, image for image, what unzip gives from the
// same archives in the same order, and a second pass copies nothing; the
// index reads each image as unzip gives it.
void ExpectWhatUnzipGives(const TempRoot& root, const std::vector<std::string>& archives) {
  QorIWDUtils utils;
  IwdProgress p = RunPass(utils, root.path());
  EXPECT_EQ(p.archive_count, archives.size());
  EXPECT_EQ(p.total_refused + p.total_failed, 0u);
  const auto theirs = UnzipImages(archives, root.Sub("unzip"));
  ASSERT_GE(theirs.size(), 1u);
  EXPECT_TRUE(Tree(root.images()) == theirs);
  EXPECT_EQ(RunPass(utils, root.path()).total_copied, 0u);
  std::shared_ptr<IwdImageIndex> index = IwdImageIndex::Build(root.Sub("main"));
  ASSERT_TRUE(index);
  for (const auto& [image, bytes] : theirs) {
    std::vector<uint8_t> out;
    EXPECT_EQ(ReadArchivedImage(*index, image, out), img::kSuccess) << image;
    EXPECT_TRUE(out == bytes) << image;
  }
}

TEST(IwdUnzip, FixtureArchivesGiveWhatUnzipGives) {
  if (!HaveUnzip()) GTEST_SKIP() << "Debian's unzip is not installed";
  TempRoot root;
  root.Archive("iw_00.iwd", fixture::MakeImageArchive("grid", 60));
  IwdDesc mixed;
  mixed.entries = {{"images/", {}, false},
                   {"images/ui/", {}, false},
                   {"images/ui/hud_icon.iwi", MakeIwiBytes(70, 64, 64)},
                   {"images/big_stored.iwi", MakeIwiBytes(71, 256, 256), false},
                   {"images/grid_3.iwi", MakeIwiBytes(72, 16, 16)},  // also in iw_00: the first one stays
                   {"images/empty.iwi", {}},
                   {"sound/a.wav", std::vector<uint8_t>(100, 1)}};
  root.Archive("iw_01.iwd", mixed);
  ExpectWhatUnzipGives(root, {root.Sub("main/iw_00.iwd"), root.Sub("main/iw_01.iwd")});
  EXPECT_EQ(Tree(root.images()).size(), 63u);
}

// The games' own archives, read through links: the pass writes only into
// the temporary root.
TEST(IwdUnzip, RealArchivesGiveWhatUnzipGives) {
  std::string samples = image_test::SamplesDir() + "/cod4-modtools/main";
  if (!std::filesystem::is_directory(samples)) GTEST_SKIP() << "no samples at " << samples;
  if (!HaveUnzip()) GTEST_SKIP() << "Debian's unzip is not installed";
  TempRoot root;
  std::filesystem::create_directories(root.Sub("main"));
  std::vector<std::string> archives;
  for (const auto& e : std::filesystem::directory_iterator(samples)) {
    std::filesystem::create_symlink(e.path(), root.Sub("main/" + e.path().filename().string()));
    archives.push_back(e.path().string());
  }
  std::sort(archives.begin(), archives.end());
  ExpectWhatUnzipGives(root, archives);
  EXPECT_EQ(ReadBytes(root.images() + "/logo_cod2.iwi").size(), 153139u);
}

}  // namespace
