// The game's archives read both ways, by the copy pass and by the index that
// reads images in place: where entry names may land (inside raw/images or
// nowhere); which entry answers for a name (archive order, first wins, any
// case); an archived image against its loose copy; when the cached index is
// built again; both against Debian's unzip, byte for byte, on our fixture
// archives and on the real ones in the samples. Archives and image folders
// made to do harm: entries with a bad CRC, lying sizes, encryption, data
// shared by many names or a name that leaves raw/images; symlinks planted in
// raw/images; a file that is no archive and a FIFO named like one.
#include <gtest/gtest.h>

#include <algorithm>  // Required for: std::any_of, std::sort
#include <chrono>
#include <filesystem>

#include "imaging/iwd_entry_name.h"
#include "imaging/iwd_file_reader.h"
#include "imaging/iwd_image_read.h"
#include "imaging/iwd_index.h"
#include "platform/atomic_file.h"
#include "tests/imaging/image_test_support.h"
#include "tests/imaging/iwd_test_support.h"
#include "tests/support/fifo.h"
#include "tools/fixture/fixture_writer.h"

namespace fs = std::filesystem;

namespace {

using fixture::IwdDesc;
using fixture::IwdEntry;
using fixture::MakeIwiBytes;
using image_test::Quote;
using namespace iwd_test;

// Only names ending in ".iwi", in any case, are images; the rest are not
// even counted.
TEST(IwdEntryName, ImagesAreTheNamesEndingInIwi) {
  for (const char* name : {"images/a.iwi", "images/Upper.IWI", "x.iwi"}) EXPECT_TRUE(IsIwiEntryName(name)) << name;
  for (const char* name : {"images/x.iwi.sh", "images/loading.dds", "sound/shot.wav", "images/", "images/a.iwi/"})
    EXPECT_FALSE(IsIwiEntryName(name)) << name;
}

TEST(IwdEntryName, ImagesFolderNamesMapBelowRawImages) {
  EXPECT_EQ(IwdImageTarget("images/logo_cod2.iwi"), "logo_cod2.iwi");
  EXPECT_EQ(IwdImageTarget("Images/Logo.iwi"), "Logo.iwi");  // the folder in any case, the name kept
  EXPECT_EQ(IwdImageTarget("images/ui/icon.iwi"), "ui/icon.iwi");
  EXPECT_EQ(IwdImageTarget("images\\ui\\icon.iwi"), "ui/icon.iwi");  // Windows tools' separators
  EXPECT_EQ(IwdImageTarget("images//icon.iwi"), "icon.iwi");
  EXPECT_EQ(IwdImageTarget("images/~stone-mine.iwi"), "~stone-mine.iwi");
}

TEST(IwdEntryName, NamesThatClimbJumpOutOrHideAreRefused) {
  // Climbing (no ".." taken on trust, even one that never leaves), rooted,
  // drive and share names, "./", names outside images/ (they would land in
  // raw/), the folder alone, a line break, and our own partial-file name.
  for (const char* name : {"images/../../x.iwi", "images/..\\..\\x.iwi", "images\\..\\..\\..\\x.iwi",
                           "images/sub/../../../x.iwi", "images/../images/x.iwi", "/images/x.iwi", "/etc/x.iwi",
                           "\\images\\x.iwi", "\\\\server\\share\\images\\x.iwi", "C:/images/x.iwi", "c:\\x.iwi",
                           "images/C:x.iwi", "images/./x.iwi", "x.iwi", "materials/x.iwi", "images/", "images", "",
                           "images/x\n.iwi", "images/x.iwi.vantor-part"})
    EXPECT_EQ(IwdImageTarget(name), std::nullopt) << name;
  EXPECT_EQ(IwdImageTarget(std::string("images/x.iwi\0/../../y.iwi", 25)), std::nullopt);
}

TEST(IwdEntryName, PrintableNameDefusesControlAndColourMarks) {
  EXPECT_EQ(PrintableEntryName("images/\n^1x.iwi"), "images/??1x.iwi");
  EXPECT_EQ(PrintableEntryName(std::string(300, 'a')).size(), 203u);
}

// What a read of `image` gives: the archive it came from, or "" with no bytes.
std::string ReadFrom(const IwdImageIndex& index, const std::string& image, std::vector<uint8_t>* bytes = nullptr) {
  std::vector<uint8_t> out;
  std::string label;
  if (ReadArchivedImage(index, image, out, &label) != img::kSuccess) {
    EXPECT_TRUE(out.empty()) << image << ": bytes that failed a check were handed on";
    return "";
  }
  if (bytes) *bytes = out;
  return label;
}

TEST(IwdIndex, FirstArchiveInMoverOrderWinsAndNamesMatchWithoutCase) {
  TempRoot root;
  // "IW_01" sorts after "iw_00" without case; the listing order of the file
  // system does not count.
  root.Archive("IW_01.iwd", {{{"images/Shared.IWI", MakeIwiBytes(2, 16, 16), false},
                              {"images/ui/Nested.iwi", MakeIwiBytes(3, 8, 8)},
                              {"images/only_second.iwi", MakeIwiBytes(4, 8, 8)},
                              {"sound/x.wav", {'R', 'I', 'F', 'F'}}}});
  root.Archive("iw_00.iwd", {{{"images/shared.iwi", MakeIwiBytes(1, 16, 16)}, {"images/", {}}}});
  std::shared_ptr<IwdImageIndex> index = IwdImageIndex::Build(root.Sub("main"));
  ASSERT_TRUE(index);
  EXPECT_EQ(index->image_count(), 3u);

  std::vector<uint8_t> bytes;
  EXPECT_EQ(ReadFrom(*index, "SHARED.iwi", &bytes), "main/iw_00.iwd");
  EXPECT_EQ(bytes, MakeIwiBytes(1, 16, 16));
  EXPECT_EQ(ReadFrom(*index, "ui\\NESTED.iwi", &bytes), "main/IW_01.iwd");
  EXPECT_EQ(bytes, MakeIwiBytes(3, 8, 8));
  EXPECT_EQ(ReadFrom(*index, "only_second.iwi"), "main/IW_01.iwd");
  for (const char* absent : {"nested.iwi", "x.wav", "sound/x.wav", "missing.iwi", ""})
    EXPECT_EQ(ReadFrom(*index, absent), "") << absent;
}

TEST(IwdIndex, ArchivedImageLoadsAsItsLooseCopyWould) {
  TempRoot root;
  const std::vector<uint8_t> iwi = MakeIwiBytes(11, 32, 16);
  root.Archive("iw_00.iwd", {{{"images/~tree_col.iwi", iwi}}});
  fs::create_directories(root.Sub("raw"));

  IwiImage loose, archived;
  ASSERT_EQ(loose.LoadIWIBytes(iwi), img::kSuccess);
  ASSERT_TRUE(SetArchivedImage(archived, root.Sub("raw/"), "~TREE_col.iwi"));
  ASSERT_EQ(archived.LoadIWI(), img::kSuccess);
  EXPECT_EQ(archived.archive, "main/iw_00.iwd");
  // Named as the entry is, as the mover would have written it.
  EXPECT_EQ(archived.path, root.Sub("raw/images/~tree_col.iwi"));
  EXPECT_TRUE(std::tie(archived.stored_levels, archived.levels, archived.width) ==
              std::tie(loose.stored_levels, loose.levels, loose.width));
  for (const char* name : {"../images/~tree_col.iwi", "absent.iwi"})
    EXPECT_FALSE(SetArchivedImage(archived, root.Sub("raw/"), name)) << name;
}

TEST(IwdIndexCache, BuiltOnceAndAgainWhenAnArchiveChanges) {
  TempRoot root;
  const IwdDesc only_a = {{{"images/a.iwi", MakeIwiBytes(1, 8, 8)}}};
  root.Archive("iw_00.iwd", only_a);
  IwdIndexCache cache;
  cache.Prepare(root.path());
  std::shared_ptr<const IwdImageIndex> index = cache.Get(root.path());
  ASSERT_TRUE(index);
  for (int i = 0; i < 3; ++i) {
    cache.Prepare(root.path());
    EXPECT_EQ(cache.Get(root.path()), index);
  }
  EXPECT_EQ(cache.builds(), 1u);

  // Touched (same bytes, a new time), rewritten, added, removed: each is a
  // new build whose answers follow the archives.
  using Step = std::pair<uint64_t, std::string>;
  auto after = [&](auto change) {
    change();
    index = cache.Get(root.path());
    return Step(cache.builds(), ReadFrom(*index, "a.iwi"));
  };
  const fs::path a = root.Sub("main/iw_00.iwd");
  EXPECT_EQ(after([&] { fs::last_write_time(a, fs::last_write_time(a) + std::chrono::seconds(5)); }),
            Step(2, "main/iw_00.iwd"));
  EXPECT_EQ(after([&] { root.Archive("iw_00.iwd", {{{"images/b.iwi", MakeIwiBytes(2, 8, 8)}}}); }), Step(3, ""));
  EXPECT_EQ(after([&] { root.Archive("iw_01.iwd", only_a); cache.Prepare(root.path()); }), Step(4, "main/iw_01.iwd"));
  EXPECT_EQ(after([&] { fs::remove(root.Sub("main/iw_01.iwd")); }), Step(5, ""));

  // Another root and back: one index kept at a time.
  TempRoot other;
  other.Archive("iw_00.iwd", {{{"images/c.iwi", MakeIwiBytes(3, 8, 8)}}});
  EXPECT_TRUE(cache.Get(other.path())->Find("c.iwi"));
  EXPECT_TRUE(cache.Get(root.path())->Find("b.iwi"));
  EXPECT_EQ(cache.builds(), 7u);
  // No "main" folder: no index and no build.
  TempRoot bare;
  EXPECT_FALSE(cache.Get(bare.path()));
  EXPECT_EQ(cache.builds(), 7u);
  // Destroyed with a build under way: it is stopped and waited for.
  root.Archive("iw_01.iwd", fixture::MakeImageArchive("more", 400));
  cache.Prepare(root.path());
}

// What `unzip -n` makes of the archives, in the pass's order, below
// `out`/raw; only the images are kept for comparison.
std::map<std::string, std::vector<uint8_t>> UnzipImages(const std::vector<std::string>& archives,
                                                        const std::string& out) {
  fs::create_directories(out + "/raw");
  for (const std::string& a : archives)
    EXPECT_TRUE(image_test::Run("unzip -n -q " + Quote(a) + " -d " + Quote(out + "/raw")).has_value()) << a;
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
  if (!test_support::HaveProgram("unzip")) GTEST_SKIP() << "Debian's unzip is not installed";
  TempRoot root;
  root.Archive("iw_00.iwd", fixture::MakeImageArchive("grid", 60));
  root.Archive("iw_01.iwd", {{{"images/", {}, false},
                              {"images/ui/", {}, false},
                              {"images/ui/hud_icon.iwi", MakeIwiBytes(70, 64, 64)},
                              {"images/big_stored.iwi", MakeIwiBytes(71, 256, 256), false},
                              {"images/grid_3.iwi", MakeIwiBytes(72, 16, 16)},  // also in iw_00: the first one stays
                              {"images/empty.iwi", {}},
                              {"sound/a.wav", std::vector<uint8_t>(100, 1)}}});
  ExpectWhatUnzipGives(root, {root.Sub("main/iw_00.iwd"), root.Sub("main/iw_01.iwd")});
  EXPECT_EQ(Tree(root.images()).size(), 63u);
}

// The games' own archives, read through links: the pass writes only into
// the temporary root.
TEST(IwdUnzip, RealArchivesGiveWhatUnzipGives) {
  std::string samples = image_test::SamplesDir() + "/cod4-modtools/main";
  if (!fs::is_directory(samples)) GTEST_SKIP() << "no samples at " << samples;
  if (!test_support::HaveProgram("unzip")) GTEST_SKIP() << "Debian's unzip is not installed";
  TempRoot root;
  fs::create_directories(root.Sub("main"));
  std::vector<std::string> archives;
  for (const auto& e : fs::directory_iterator(samples)) {
    fs::create_symlink(e.path(), root.Sub("main/" + e.path().filename().string()));
    archives.push_back(e.path().string());
  }
  std::sort(archives.begin(), archives.end());
  ExpectWhatUnzipGives(root, archives);
  EXPECT_EQ(ReadBytes(root.images() + "/logo_cod2.iwi").size(), 153139u);
}

using IwdHostile = PassTest;

// The pass refuses each entry, the index leaves it out when indexed or
// when read (CRC and length show only then); both give the good one after.
TEST_F(IwdHostile, BothReadersRefuseEachEntryAndGiveTheGoodOneAfter) {
  // iw_00.iwd holds the hostile entries, each with the reason it is refused;
  // iw_01.iwd holds a good copy of every name that stays inside raw/images,
  // which is what both readers must give for that name.
  IwdDesc first, second;
  std::vector<std::string> why;  // per entry of `first`
  std::map<std::string, std::vector<uint8_t>> images;  // what raw/images must hold
  const std::vector<uint8_t> data = MakeIwiBytes(3, 64, 64);
  auto add = [&](const std::string& name, bool deflate, const char* reason) -> IwdEntry& {
    why.push_back(reason);
    first.entries.push_back({name, data, deflate});
    return first.entries.back();
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
  const size_t big = first.entries.size();
  add("images/big.iwi", true, kOverlap).data.assign(256 << 10, 0);
  for (int i = 0; i < 3; ++i) add("images/copy_" + std::to_string(i) + ".iwi", true, kOverlap).same_data_as = big;
  const std::vector<uint8_t> good_data = MakeIwiBytes(9, 16, 16);
  for (const IwdEntry& e : first.entries) {
    second.entries.push_back({e.name, good_data});
    images[e.name.substr(7)] = good_data;
  }
  for (const char* name : {"images/../../escape.iwi", "images/../raw_level.iwi", "images\\..\\..\\backslash.iwi",
                           "/images/abs.iwi", "C:/drive.iwi", "images/c:evil.iwi", "top_level.iwi"})
    add(name, true, "its name leaves raw/images");
  root.Archive("iw_00.iwd", first);
  root.Archive("iw_01.iwd", second);
  const uint32_t bad = uint32_t(first.entries.size()), good = uint32_t(images.size());
  EXPECT_EQ(CountsOf(Run()), (Counts{bad + good, good, 0, bad, 0})) << log.Joined();
  EXPECT_TRUE(log.Contains("IWDToImages:: 'iw_00.iwd' has 4 entries whose data overlaps another entry's"));
  // No refused entry's bytes, no partial file, nothing outside raw/images.
  EXPECT_TRUE(Tree(root.images()) == images);
  EXPECT_EQ(Tree(root.path()).size(), images.size() + 2);

  std::shared_ptr<IwdImageIndex> index = IwdImageIndex::Build(root.Sub("main"));
  ASSERT_TRUE(index);
  EXPECT_EQ(index->image_count(), images.size());  // the names that climb out under none
  for (const auto& [image, bytes] : images) {
    std::vector<uint8_t> out;
    EXPECT_EQ(ReadFrom(*index, image, &out), "main/iw_01.iwd") << image;
    EXPECT_TRUE(out == bytes) << image;
  }
  const std::vector<std::string> lines = log.lines();
  for (size_t i = 0; i < why.size(); ++i) {
    const std::string& name = first.entries[i].name;
    EXPECT_TRUE(log.Contains("------ WARNING: Copy IWI Error: '" + name + "' in 'iw_00.iwd' not moved: " + why[i]))
        << name;
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
      return line.find("IwdIndex:: '" + name + "' in '") != std::string::npos && line.ends_with(why[i]);
    })) << name << "\n" << log.Joined();
  }
}

TEST_F(IwdHostile, PlantedSymlinksAreNeverWrittenThrough) {
  root.Archive("iw_00.iwd", {{{"images/partial.iwi", MakeIwiBytes(5, 16, 16)},
                              {"images/dangling.iwi", MakeIwiBytes(6, 16, 16)},
                              {"images/linked/sub.iwi", MakeIwiBytes(7, 16, 16)}}});
  fs::create_directories(root.images());
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

  EXPECT_EQ(CountsOf(p), (Counts{3, 2, 0, 1, 0}));
  EXPECT_TRUE(log.Contains("'images/linked/sub.iwi' in 'iw_00.iwd' not moved: its folder in raw/images is a "
                           "symbolic link")) << log.Joined();
  EXPECT_EQ(test_support::ReadText(root.Sub("outside/victim")), "keep");
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
  TempRoot root;
  ASSERT_TRUE(fixture::WriteFile(root.Sub("a.iwd"), std::vector<uint8_t>(100, 7)));
  IwdFileReader reader;
  ASSERT_TRUE(reader.Open(root.Sub("a.iwd")));
  uint8_t bytes[10];
  EXPECT_EQ(reader.Read(0, bytes, 10), 10u);
  EXPECT_EQ(reader.Read(0, nullptr, 0), 0u);
}

}  // namespace
