// Images read straight from the game's archives: which entry answers for a
// name (archive order, first wins, any case), an archived image against its
// loose copy, and when the cached index is built again (hostile entries:
// iwd_hostile_test).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "imaging/iwd_image_read.h"
#include "imaging/iwd_index.h"
#include "imaging/iwi_image.h"
#include "tests/imaging/iwd_test_support.h"
#include "tools/fixture/fixture_writer.h"

namespace fs = std::filesystem;

namespace {

using fixture::MakeIwiBytes;
using iwd_test::TempRoot;

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
  EXPECT_EQ(after([&] {
              root.Archive("iw_01.iwd", {{{"images/a.iwi", MakeIwiBytes(1, 8, 8)}}});
              cache.Prepare(root.path());
            }),
            Step(4, "main/iw_01.iwd"));
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

}  // namespace
