// The bulk memory of the model arrays: blocks of every size class stay
// apart and keep their bytes while others are freed around them, and a
// loaded file keeps its bytes whatever happens to the file.
#include <gtest/gtest.h>

#include <unistd.h>  // Required for: truncate()

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/bulk_memory.h"
#include "platform/file_bytes.h"
#include "tests/support/temp_dir.h"
#include "tools/fixture/fixture_writer.h"

namespace {

struct Block { uint8_t* p; size_t size; uint8_t fill; };

bool Intact(const Block& b) {
  for (size_t i = 0; i < b.size; i += 4093)
    if (b.p[i] != b.fill) return false;
  return b.p[b.size - 1] == b.fill;
}

TEST(BulkMemory, BlocksStayApartAndIntactAsOthersAreFreed) {
  // Heap sized, packed into shared regions, a region's worth, and one
  // bigger than a region; several rounds so regions fill, empty and return.
  const size_t sizes[] = {100, 300 << 10, 2 << 20, 5 << 20, 12 << 20, 20 << 20};
  for (int round = 0; round < 2; ++round) {
    std::vector<Block> blocks;
    for (int k = 0; k < 3; ++k)
      for (size_t size : sizes) {
        auto* p = static_cast<uint8_t*>(platform::AllocateBulk(size));
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(uintptr_t(p) % 16, 0u);
        uint8_t fill = uint8_t(blocks.size() * 7 + 1);
        std::memset(p, fill, size);
        blocks.push_back({p, size, fill});
      }
    // Free every other block (the newest, the oldest, the middle ones) and
    // check the rest after each.
    for (size_t i = 0; i < blocks.size(); i += 2) {
      platform::FreeBulk(blocks[i].p, blocks[i].size);
      for (size_t j = 1; j < blocks.size(); j += 2) ASSERT_TRUE(Intact(blocks[j])) << "block " << j;
    }
    // A block taken now must not land on a live one.
    auto* fresh = static_cast<uint8_t*>(platform::AllocateBulk(sizes[2]));
    ASSERT_NE(fresh, nullptr);
    std::memset(fresh, 0xEE, sizes[2]);
    for (size_t j = 1; j < blocks.size(); j += 2) {
      ASSERT_TRUE(Intact(blocks[j])) << "block " << j;
      platform::FreeBulk(blocks[j].p, blocks[j].size);
    }
    platform::FreeBulk(fresh, sizes[2]);
  }
}

TEST(LoadedFile, KeepsItsBytesWhenTheFileShrinksAndGivesBackOnlyReleasedPages) {
  test_support::TempDir dir;
  std::vector<uint8_t> bytes(5 * 4096 + 123);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i * 31 + (i >> 12));
  const std::string path = dir.Sub("file");
  ASSERT_TRUE(fixture::WriteFile(path, bytes));
  platform::LoadedFile file;
  ASSERT_EQ(file.Open(path), 0);
  ASSERT_EQ(file.size(), bytes.size());
  // Another program cuts the file short while it is being parsed: a mapped
  // file would fault on the lost pages.
  ASSERT_EQ(::truncate(path.c_str(), 0), 0);
  EXPECT_EQ(std::memcmp(file.data(), bytes.data(), bytes.size()), 0);
  file.Release(3 * 4096 + 5);
  EXPECT_EQ(std::memcmp(file.data() + 3 * 4096, bytes.data() + 3 * 4096, bytes.size() - 3 * 4096), 0);
}

}  // namespace
