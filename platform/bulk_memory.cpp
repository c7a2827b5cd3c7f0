// Large blocks are carved one after another out of regions of 64 MB
// reserved 2 MB-aligned and marked for huge pages; small ones come from the
// heap. A region is returned to the system once every block in it is freed
// (the blocks of one model are freed together when the next one loads);
// until then the pages of a freed block are given back on their own.
#include "platform/bulk_memory.h"

#include <sys/mman.h>  // Required for: mmap(), munmap(), madvise()

#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>
#include <vector>

namespace platform {

namespace {

constexpr size_t kPage = 4096;
constexpr size_t kHugePage = size_t(2) << 20;
constexpr size_t kRegionBytes = size_t(64) << 20;
// Below this a block goes to the heap: huge pages only pay for themselves
// on blocks of many pages.
constexpr size_t kMinBulkBytes = size_t(256) << 10;
// Above this a block gets a region of its own.
constexpr size_t kMaxPackedBytes = kRegionBytes / 4;

// Under AddressSanitizer every block comes from the heap, where overruns
// are caught.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kHeapOnly = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kHeapOnly = true;
#else
constexpr bool kHeapOnly = false;
#endif
#else
constexpr bool kHeapOnly = false;
#endif

size_t RoundUp(size_t n, size_t to) { return (n + to - 1) / to * to; }

// `bytes` (a multiple of the huge page) of fresh memory at a 2 MB boundary,
// marked for huge pages; nullptr when none is left.
uint8_t* MapRegion(size_t bytes) {
  void* raw = ::mmap(nullptr, bytes + kHugePage, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  uintptr_t start = uintptr_t(raw);
  uintptr_t aligned = (start + kHugePage - 1) & ~uintptr_t(kHugePage - 1);
  if (aligned > start) ::munmap(raw, aligned - start);
  if (size_t tail = start + bytes + kHugePage - (aligned + bytes); tail > 0)
    ::munmap(reinterpret_cast<void*>(aligned + bytes), tail);
  // Only advice: without huge pages the memory is the same, slower to fault.
  ::madvise(reinterpret_cast<void*>(aligned), bytes, MADV_HUGEPAGE);
  return reinterpret_cast<uint8_t*>(aligned);
}

struct Region {
  uint8_t* base = nullptr;
  size_t used = 0;   // the next block starts here
  size_t live = 0;   // blocks not freed yet
};

std::mutex g_lock;
std::vector<Region> g_regions;  // the last one is the one being filled

}  // namespace

void* AllocateBulk(size_t bytes) {
  if (kHeapOnly || bytes < kMinBulkBytes) return std::malloc(bytes == 0 ? 1 : bytes);
  if (bytes > SIZE_MAX - kHugePage * 2) return nullptr;
  const size_t size = RoundUp(bytes, kPage);
  if (size > kMaxPackedBytes) return MapRegion(RoundUp(size, kHugePage));

  std::lock_guard<std::mutex> hold(g_lock);
  if (g_regions.empty() || g_regions.back().used + size > kRegionBytes) {
    uint8_t* base = MapRegion(kRegionBytes);
    if (!base) return nullptr;
    g_regions.push_back({base, 0, 0});
  }
  Region& r = g_regions.back();
  uint8_t* block = r.base + r.used;
  r.used += size;
  ++r.live;
  return block;
}

void FreeBulk(void* block, size_t bytes) {
  if (!block) return;
  if (kHeapOnly || bytes < kMinBulkBytes) {
    std::free(block);
    return;
  }
  const size_t size = RoundUp(bytes, kPage);
  if (size > kMaxPackedBytes) {
    ::munmap(block, RoundUp(size, kHugePage));
    return;
  }

  std::lock_guard<std::mutex> hold(g_lock);
  uint8_t* p = static_cast<uint8_t*>(block);
  for (size_t i = 0; i < g_regions.size(); ++i) {
    Region& r = g_regions[i];
    if (p < r.base || p >= r.base + kRegionBytes) continue;
    if (--r.live == 0) {
      ::munmap(r.base, kRegionBytes);
      g_regions.erase(g_regions.begin() + std::ptrdiff_t(i));
    } else if (p + size == r.base + r.used) {
      r.used -= size;  // the newest block (a vector that grew): reused next
    } else {
      ::madvise(p, size, MADV_DONTNEED);
    }
    return;
  }
}

}  // namespace platform
