// Memory for the large arrays of a loaded model (vertices, influences,
// triangles). A model of a few million vertices is a few hundred MB that is
// written once, right after it is allocated; taken from the heap, every 4 KB
// of it costs a page fault. Large blocks come instead from big regions
// backed by transparent huge pages, packed one after another, so the kernel
// hands the memory over 2 MB at a time.
#pragma once

#include <cstddef>

namespace platform {

// `bytes` of memory aligned as the heap's (16), or nullptr when there is
// none. Not zeroed: the caller writes it. Thread-safe.
void* AllocateBulk(size_t bytes);
// Gives back a block of AllocateBulk with the size it was asked for.
void FreeBulk(void* block, size_t bytes);

}  // namespace platform
