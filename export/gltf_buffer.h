// The binary buffer of a glTF export: its views and accessors as the JSON
// lists them, and the two passes that place them (no file) and write them
// (each view a block filled on any thread, written in order by a writer
// thread).
#pragma once

#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

inline constexpr int kGltfFloat = 5126;

struct GltfView {
  size_t offset = 0;
  size_t length = 0;
  int target = 0;     // 0: none (pictures, inverse bind matrices)
  size_t stride = 0;  // interleaved vertex attributes; 0: packed
};

struct GltfAccessor {
  size_t view = 0;
  size_t offset = 0;  // within the view
  int component = kGltfFloat;
  bool normalized = false;
  size_t count = 0;
  const char* type = "SCALAR";
  std::vector<float> min, max;  // positions only
};

inline size_t Padded(size_t n) { return (n + 3) & ~size_t(3); }

// The buffer is laid out twice by the same code: a first pass without a
// file only places the views and accessors (and finds the position bounds
// the JSON needs before the bytes), a second one gives each view a block of
// its own, which a writer thread hands to the file in view order once it is
// filled, while later views are being filled, on this thread or a helper.
// A few blocks are in use at a time, so the bytes of a large model are never
// all in memory at once.
class GltfBuffer {
 public:
  struct Block;

  explicit GltfBuffer(std::FILE* file = nullptr) : file_(file) {}
  ~GltfBuffer() { Finish(); }
  GltfBuffer(const GltfBuffer&) = delete;
  GltfBuffer& operator=(const GltfBuffer&) = delete;

  // Room for a view of `length` bytes at the next 4-byte boundary, to be
  // filled and then handed over with Ready (null in the layout pass).
  uint8_t* AddView(size_t length, int target, size_t stride = 0, Block** block = nullptr);
  // The view's bytes are all in; from any thread.
  void Ready(Block* block);
  // An accessor of the last view.
  size_t AddAccessor(GltfAccessor a);
  // Every view written (each must have been made Ready); the writer stopped.
  void Finish();
  size_t size() const { return size_; }

  std::vector<GltfView> views;
  std::vector<GltfAccessor> accessors;

  struct Block {
    std::unique_ptr<uint8_t[]> data;
    size_t capacity = 0;
    size_t size = 0;
    bool ready = false;
  };

 private:
  // Two surfaces' worth (a record view and an index view each) being filled,
  // the rest waiting for the file or being written.
  static constexpr size_t kBlocks = 8;

  Block* TakeFree(size_t need);
  void WriterLoop();

  std::FILE* file_;
  size_t size_ = 0;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::unique_ptr<Block>> blocks_;
  std::deque<Block*> placed_;  // in file order
  std::vector<Block*> free_;
  bool stop_ = false;
  std::thread writer_;
};
