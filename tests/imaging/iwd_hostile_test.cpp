// Archives and image folders made to do harm, against both readers of the
// archives: the copy pass and the index that reads images in place. Entries
// with a bad CRC, lying sizes, encryption, data shared by many names or a
// name that leaves raw/images; symlinks planted in raw/images; a file that
// is no archive and a FIFO named like one.
#include <gtest/gtest.h>

#include <algorithm>  // Required for: std::any_of
#include <filesystem>

#include "imaging/iwd_image_read.h"
#include "imaging/iwd_file_reader.h"
#include "imaging/iwd_index.h"
#include "platform/atomic_file.h"
#include "tests/imaging/iwd_test_support.h"
#include "tests/support/fifo.h"
#include "tools/fixture/fixture_writer.h"

namespace fs = std::filesystem;

namespace {

using fixture::IwdDesc;
using fixture::IwdEntry;
using fixture::MakeIwiBytes;
using iwd_test::ReadBytes;
using iwd_test::Tree;

// iw_00.iwd holds the hostile entries, each with the reason it is refused;
// iw_01.iwd holds a good copy of every name that stays inside raw/images,
// which is what both readers must give for that name.
struct HostileRoot {
  IwdDesc first, second;
  std::vector<std::string> why;  // per entry of `first`
  std::map<std::string, std::vector<uint8_t>> images;  // what raw/images must hold
};

HostileRoot MakeHostileRoot() {
  HostileRoot h;
  const std::vector<uint8_t> data = MakeIwiBytes(3, 64, 64);
  auto add = [&](const std::string& name, bool deflate, const char* why) -> IwdEntry& {
    h.why.push_back(why);
    h.first.entries.push_back({name, data, deflate});
    return h.first.entries.back();
  };
  const char* kCrc = "CRC check failed";
  const char* kShort = "its data is not as long as its stored size";
  const char* kSize = "its stored size does not fit the archive";
  const char* kOverlap = "its data overlaps another entry's";
  add("images/crc_deflated.iwi", true, kCrc).crc = 0x12345678;
  add("images/crc_stored.iwi", false, kCrc).crc = 0x12345678;
  add("images/longer_than_data.iwi", true, kShort).uncompressed_size = uint32_t(data.size() + 100);
  // Read up to the stored size only: the rest shows in the CRC.
  add("images/shorter_than_data.iwi", true, kCrc).uncompressed_size = uint32_t(data.size() - 100);
  add("images/stored_size_differs.iwi", false, kSize).uncompressed_size = uint32_t(data.size() + 1);
  add("images/past_deflate_ratio.iwi", true, kSize).uncompressed_size = 64 << 20;  // under the largest image
  add("images/past_largest_image.iwi", true, kSize).uncompressed_size = 0x7FFFFFFF;
  add("images/past_the_archive.iwi", true, kSize).compressed_size = 0x00FFFFFF;
  add("images/encrypted.iwi", false, "the entry is encrypted").flags = 1;
  // 256 KiB of zeros deflate to a few hundred bytes: names over them would
  // write megabytes from an archive of a few KiB.
  const size_t big = h.first.entries.size();
  add("images/big.iwi", true, kOverlap).data.assign(256 << 10, 0);
  for (int i = 0; i < 3; ++i) add("images/copy_" + std::to_string(i) + ".iwi", true, kOverlap).same_data_as = big;
  const std::vector<uint8_t> good = MakeIwiBytes(9, 16, 16);
  for (const IwdEntry& e : h.first.entries) {
    h.second.entries.push_back({e.name, good});
    h.images[e.name.substr(7)] = good;
  }
  for (const char* name : {"images/../../escape.iwi", "images/../raw_level.iwi", "images\\..\\..\\backslash.iwi",
                           "/images/abs.iwi", "C:/drive.iwi", "images/c:evil.iwi", "top_level.iwi"})
    add(name, true, "its name leaves raw/images");
  return h;
}

using IwdHostile = iwd_test::PassTest;

// The pass refuses each entry, the index leaves it out when indexed or
// when read (CRC and length show only then); both give the good one after.
TEST_F(IwdHostile, BothReadersRefuseEachEntryAndGiveTheGoodOneAfter) {
  const HostileRoot h = MakeHostileRoot();
  root.Archive("iw_00.iwd", h.first);
  root.Archive("iw_01.iwd", h.second);
  const uint32_t bad = uint32_t(h.first.entries.size()), good = uint32_t(h.images.size());
  EXPECT_EQ(iwd_test::CountsOf(Run()), (iwd_test::Counts{bad + good, good, 0, bad, 0})) << log.Joined();
  EXPECT_TRUE(log.Contains("IWDToImages:: 'iw_00.iwd' has 4 entries whose data overlaps another entry's"));
  // No refused entry's bytes, no partial file, nothing outside raw/images.
  EXPECT_TRUE(Tree(root.images()) == h.images);
  EXPECT_EQ(Tree(root.path()).size(), h.images.size() + 2);

  std::shared_ptr<IwdImageIndex> index = IwdImageIndex::Build(root.Sub("main"));
  ASSERT_TRUE(index);
  EXPECT_EQ(index->image_count(), h.images.size());  // the names that climb out under none
  for (const auto& [image, bytes] : h.images) {
    std::vector<uint8_t> out;
    std::string label;
    EXPECT_EQ(ReadArchivedImage(*index, image, out, &label), img::kSuccess) << image;
    EXPECT_EQ(std::make_pair(label, out == bytes), std::make_pair(std::string("main/iw_01.iwd"), true)) << image;
  }
  const std::vector<std::string> lines = log.lines();
  for (size_t i = 0; i < h.why.size(); ++i) {
    const std::string& name = h.first.entries[i].name;
    EXPECT_TRUE(log.Contains("------ WARNING: Copy IWI Error: '" + name + "' in 'iw_00.iwd' not moved: " + h.why[i]))
        << name;
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
      return line.find("IwdIndex:: '" + name + "' in '") != std::string::npos && line.ends_with(h.why[i]);
    })) << name << "\n" << log.Joined();
  }
}

TEST_F(IwdHostile, PlantedSymlinksAreNeverWrittenThrough) {
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
  IwdProgress p = Run();
  platform::AtomicFile::UseUnnamedFiles(true);

  EXPECT_EQ(iwd_test::CountsOf(p), (iwd_test::Counts{3, 2, 0, 1, 0}));
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

// Neither blocks the pass nor stops it before the next archive; nor does a
// central directory whose last record runs past its end, which ends the
// entry list before that record.
TEST_F(IwdHostile, NoZipFileAndFifoNamedLikeArchivesArePassedOver) {
  root.Archive("iw_02.iwd", fixture::MakeImageArchive("a", 3));
  fixture::IwdDesc cut = fixture::MakeImageArchive("b", 3);
  cut.entries.back().comment_length = 100;
  root.Archive("iw_01.iwd", cut);
  shell_test::WriteText(root.Sub("main/broken.iwd"), "this is no zip file");
  const std::string fifo = root.Sub("main/iw_00.iwd");
  ASSERT_TRUE(test_support::MakeFifo(fifo));
  EXPECT_TRUE(test_support::ReturnsWithin(10, {fifo}, [&] { Run(); })) << "the pass blocked on a FIFO";
  EXPECT_EQ(utils.Progress().total_copied, 5u);
  EXPECT_TRUE(log.Contains("IWDToImages:: 'broken.iwd' is not a readable ZIP archive"));
  EXPECT_TRUE(log.Contains("IWDToImages:: the entry list of 'iw_01.iwd' is broken after 3 entries")) << log.Joined();
  auto reports = utils.TakeArchiveReports();
  ASSERT_EQ(reports.size(), 4u);
  EXPECT_FALSE(reports[0].opened);
}

// minizip asks for no bytes, with no buffer, for an empty field of a
// crafted archive: the reader answers without touching either (a memcpy
// with a null pointer, which UBSan aborts on).
TEST(IwdFileReader, AReadOfNoBytesTouchesNoBuffer) {
  iwd_test::TempRoot root;
  ASSERT_TRUE(fixture::WriteFile(root.Sub("a.iwd"), std::vector<uint8_t>(100, 7)));
  IwdFileReader reader;
  ASSERT_TRUE(reader.Open(root.Sub("a.iwd")));
  uint8_t bytes[10];
  EXPECT_EQ(reader.Read(0, bytes, 10), 10u);
  EXPECT_EQ(reader.Read(0, nullptr, 0), 0u);
}

}  // namespace
