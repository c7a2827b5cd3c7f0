// The arrays of a loaded model: std::vector over memory from
// platform::AllocateBulk, whose resize() leaves new records unset. The
// surface reader sizes an array and then writes every byte of it, so
// zero-filling it first would only touch the memory twice. Anyone else
// growing one with resize() must set the records themselves (push_back and
// assign work as usual).
#pragma once

#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/bulk_memory.h"

template <typename T>
struct RecordAllocator {
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>,
                "records are copied as bytes and left unset by resize()");
  using value_type = T;

  RecordAllocator() = default;
  template <typename U>
  RecordAllocator(const RecordAllocator<U>&) noexcept {}

  T* allocate(size_t n) {
    if (n > size_t(-1) / 2 / sizeof(T)) throw std::bad_array_new_length();
    void* p = platform::AllocateBulk(n * sizeof(T));
    if (!p) throw std::bad_alloc();
    return static_cast<T*>(p);
  }
  void deallocate(T* p, size_t n) noexcept { platform::FreeBulk(p, n * sizeof(T)); }

  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    if constexpr (sizeof...(Args) > 0) ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }

  friend bool operator==(const RecordAllocator&, const RecordAllocator&) { return true; }
};

template <typename T>
using RecordVector = std::vector<T, RecordAllocator<T>>;
