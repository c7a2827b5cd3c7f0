// A job's progress (0 to 99), written by the reader or writer doing the
// work and read by any thread. The worker hands every change on (to its
// notice board) through the sink, so a bar moves during a long surface
// read or export, not only between steps.
#pragma once

#include <atomic>
#include <cstdint>

class ProgressValue {
 public:
  using Sink = void (*)(void* context, int32_t value);

  ProgressValue() = default;
  explicit ProgressValue(int32_t value) : value_(value) {}
  ProgressValue(const ProgressValue&) = delete;
  ProgressValue& operator=(const ProgressValue&) = delete;

  ProgressValue& operator=(int32_t value) {
    Store(value);
    return *this;
  }
  ProgressValue& operator+=(int32_t step) {
    Store(value_.load(std::memory_order_relaxed) + step);
    return *this;
  }
  operator int32_t() const { return value_.load(std::memory_order_relaxed); }
  int32_t load(std::memory_order order = std::memory_order_seq_cst) const { return value_.load(order); }

  // Set before the thread that writes the value starts, cleared after it
  // stopped: the sink itself is not guarded.
  void SetSink(Sink sink, void* context) {
    sink_ = sink;
    context_ = context;
  }

 private:
  // Only the writing thread stores, so a change is seen here exactly once.
  void Store(int32_t value) {
    if (value_.exchange(value, std::memory_order_relaxed) != value && sink_) sink_(context_, value);
  }

  std::atomic<int32_t> value_{0};
  Sink sink_ = nullptr;
  void* context_ = nullptr;
};
