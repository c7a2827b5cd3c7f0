// Images read straight from the game's archives: which entry answers for a
// name (archive order, first wins, any case), what hostile entries never
// hand to the image reader, and when the cached index is built again.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "imaging/iwd_image_read.h"
#include "imaging/iwd_index.h"
#include "imaging/iwi_image.h"
#include "tests/imaging/image_test_support.h"
#include "tests/imaging/iwd_test_support.h"
#include "tests/support/command.h"
#include "tests/shell/shell_test_support.h"
#include "tools/fixture/fixture_writer.h"

namespace fs = std::filesystem;

namespace {

using fixture::IwdDesc;
using fixture::IwdEntry;
using fixture::MakeIwiBytes;
using iwd_test::TempRoot;
using shell_test::LogCapture;

// What a read of `image` gives: the archive it came from, or "" with no bytes.
std::string ReadFrom(const IwdImageIndex& index, const std::string& image, std::vector<uint8_t>* bytes = nullptr) {
  std::vector<uint8_t> out;
  std::string label;
  ImageResult r = ReadArchivedImage(index, image, out, &label);
  if (r != img::kSuccess) {
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
                              {"sound/x.wav", iwd_test::Bytes("RIFF")}}});
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

TEST(IwdIndex, HostileEntriesNeverReachTheImageReader) {
  TempRoot root;
  const std::vector<uint8_t> good = MakeIwiBytes(9, 16, 16);
  IwdDesc first;
  // Each refused in the first archive; the second archive's copy of the
  // same name is read instead, as the mover would copy it.
  IwdEntry bad_crc{"images/crc.iwi", MakeIwiBytes(5, 16, 16)};
  bad_crc.crc = 0x12345678;
  IwdEntry short_size{"images/short.iwi", MakeIwiBytes(6, 16, 16), false};
  short_size.uncompressed_size = 100;  // stored: the sizes disagree
  IwdEntry long_size{"images/long.iwi", MakeIwiBytes(7, 16, 16)};
  long_size.uncompressed_size = uint32_t(MakeIwiBytes(7, 16, 16).size() + 64);  // the stream ends short
  IwdEntry huge{"images/huge.iwi", std::vector<uint8_t>(64, 0)};
  huge.uncompressed_size = 0xFFFFFFF0u;  // past kMaxIwiBytes and deflate's ratio
  IwdEntry encrypted{"images/locked.iwi", MakeIwiBytes(8, 8, 8)};
  encrypted.flags = 1;
  first.entries = {bad_crc, short_size, long_size, huge, encrypted,
                   {"images/../../../evil.iwi", good}, {"/images/abs.iwi", good}, {"images/c:evil.iwi", good}};
  root.Archive("iw_00.iwd", first);
  IwdDesc second;
  for (const char* name : {"crc", "short", "long", "huge", "locked"})
    second.entries.push_back({std::string("images/") + name + ".iwi", good});
  root.Archive("iw_01.iwd", second);
  // Only a broken copy: nothing is read.
  IwdEntry only_bad{"images/only_bad.iwi", MakeIwiBytes(10, 16, 16)};
  only_bad.crc = 1;
  root.Archive("iw_02.iwd", {{only_bad}});

  LogCapture log;
  std::shared_ptr<IwdImageIndex> index = IwdImageIndex::Build(root.Sub("main"));
  ASSERT_TRUE(index);
  for (const char* name : {"crc", "short", "long", "huge", "locked"}) {
    std::vector<uint8_t> bytes;
    EXPECT_EQ(ReadFrom(*index, std::string(name) + ".iwi", &bytes), "main/iw_01.iwd") << name;
    EXPECT_EQ(bytes, good) << name;
  }
  // Neither the broken copy nor the names that climb out give bytes.
  for (const char* name : {"only_bad.iwi", "evil.iwi", "../evil.iwi", "../../../evil.iwi", "abs.iwi", "c:evil.iwi"})
    EXPECT_EQ(ReadFrom(*index, name), "") << name;
  EXPECT_TRUE(log.Contains("IwdIndex:: 'images/crc.iwi' in 'main/iw_00.iwd' not read: CRC check failed"))
      << log.Joined();
  EXPECT_TRUE(log.Contains("IwdIndex:: 'images/../../../evil.iwi' in 'iw_00.iwd' left out: its name leaves raw/images"));
  EXPECT_TRUE(log.Contains("'images/huge.iwi' in 'iw_00.iwd' left out: its stored size does not fit the archive"));
}

TEST(IwdIndex, ArchivedImageLoadsAsItsLooseCopyWould) {
  TempRoot root;
  const std::vector<uint8_t> iwi = MakeIwiBytes(11, 32, 16);
  root.Archive("iw_00.iwd", {{{"images/~tree_col.iwi", iwi}}});
  ASSERT_TRUE(fixture::WriteFile(root.Sub("loose/raw/images/~tree_col.iwi"), iwi));
  fs::create_directories(root.Sub("raw"));

  IwiImage loose, archived;
  ASSERT_TRUE(loose.SetImagePath(root.Sub("loose/raw/images/~tree_col.iwi")));
  ASSERT_EQ(loose.LoadIWI(), img::kSuccess);
  ASSERT_TRUE(SetArchivedImage(archived, root.Sub("raw/"), "~TREE_col.iwi"));
  ASSERT_EQ(archived.LoadIWI(), img::kSuccess);
  EXPECT_EQ(archived.archive, "main/iw_00.iwd");
  // Named as the entry is, as the mover would have written it.
  EXPECT_EQ(archived.path, root.Sub("raw/images/~tree_col.iwi"));
  EXPECT_EQ(archived.stored_levels, loose.stored_levels);
  EXPECT_EQ(archived.levels, loose.levels);
  EXPECT_EQ(archived.width, loose.width);
  EXPECT_FALSE(SetArchivedImage(archived, root.Sub("raw/"), "../images/~tree_col.iwi"));
  EXPECT_FALSE(SetArchivedImage(archived, root.Sub("raw/"), "absent.iwi"));
}

// The games' own archives (their bytes against unzip's: iwd_unzip_test):
// the stock logo, in a format without a decoder, is read whole and refused
// by the IWI reader.
TEST(IwdIndex, RealArchivedLogoIsReadWholeAndRefused) {
  if (!fs::is_directory(image_test::SamplesDir() + "/cod4-modtools/main")) GTEST_SKIP() << "no samples";
  IwiImage logo;
  ASSERT_TRUE(SetArchivedImage(logo, image_test::SamplesDir() + "/cod4-modtools/raw/", "logo_cod2.iwi"));
  EXPECT_EQ(logo.LoadIWI(), img::kUnknownFormat);
  EXPECT_EQ(logo.archive, "main/z_modwarfare.iwd");
}

TEST(IwdIndexCache, BuiltOnceAndAgainWhenAnArchiveChanges) {
  TempRoot root;
  root.Archive("iw_00.iwd", {{{"images/a.iwi", MakeIwiBytes(1, 8, 8)}}});
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
  const fs::path a = root.Sub("main/iw_00.iwd");
  fs::last_write_time(a, fs::last_write_time(a) + std::chrono::seconds(5));
  index = cache.Get(root.path());
  EXPECT_EQ(cache.builds(), 2u);
  EXPECT_TRUE(index->Find("a.iwi"));

  root.Archive("iw_00.iwd", {{{"images/b.iwi", MakeIwiBytes(2, 8, 8)}}});
  index = cache.Get(root.path());
  EXPECT_EQ(cache.builds(), 3u);
  EXPECT_FALSE(index->Find("a.iwi"));
  EXPECT_EQ(ReadFrom(*index, "b.iwi"), "main/iw_00.iwd");

  root.Archive("iw_01.iwd", {{{"images/a.iwi", MakeIwiBytes(1, 8, 8)}}});
  cache.Prepare(root.path());
  index = cache.Get(root.path());
  EXPECT_EQ(cache.builds(), 4u);
  EXPECT_EQ(ReadFrom(*index, "a.iwi"), "main/iw_01.iwd");

  fs::remove(root.Sub("main/iw_01.iwd"));
  index = cache.Get(root.path());
  EXPECT_EQ(cache.builds(), 5u);
  EXPECT_FALSE(index->Find("a.iwi"));

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
}

TEST(IwdIndexCache, LookupsFromManyThreadsDuringABackgroundBuildShareOneIndex) {
  TempRoot root;
  root.Archive("iw_00.iwd", fixture::MakeImageArchive("img", 400));
  IwdIndexCache cache;
  cache.Prepare(root.path());
  std::vector<std::thread> threads;
  std::vector<std::shared_ptr<const IwdImageIndex>> seen(4);
  for (size_t t = 0; t < seen.size(); ++t)
    threads.emplace_back([&, t] {
      seen[t] = cache.Get(root.path());
      cache.Prepare(root.path());
    });
  for (std::thread& t : threads) t.join();
  for (const auto& index : seen) {
    ASSERT_TRUE(index);
    EXPECT_EQ(index, seen[0]);
  }
  EXPECT_EQ(seen[0]->image_count(), 400u);
  EXPECT_EQ(cache.builds(), 1u);
  // Destroyed with a build under way: it is stopped and waited for.
  root.Archive("iw_01.iwd", fixture::MakeImageArchive("more", 400));
  cache.Prepare(root.path());
}

}  // namespace
