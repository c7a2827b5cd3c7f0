// The binary buffer of a glTF export: its views and accessors as the JSON
// lists them, placed by a first pass that writes nothing and written by a
// second that puts each view's bytes straight at their place in the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class OutputFile;

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
// the JSON needs before the bytes); the second writes the views' bytes at
// their offsets, from whichever thread made them, in pieces small enough to
// be still in that thread's cache when the file system copies them. The
// bytes between views (padding to 4) are never written and read as zeros.
class GltfBuffer {
 public:
  // `file` null: the layout pass. Otherwise the buffer starts at `base` in it.
  explicit GltfBuffer(OutputFile* file = nullptr, uint64_t base = 0) : file_(file), base_(base) {}

  // A view of `length` bytes at the next 4-byte boundary; its offset.
  size_t AddView(size_t length, int target, size_t stride = 0);
  // An accessor of the last view.
  size_t AddAccessor(GltfAccessor a);
  bool writing() const { return file_ != nullptr; }
  // Bytes at `offset` of the buffer, from any thread (none in the layout
  // pass); a failure shows when the file is closed.
  void Write(const void* data, size_t size, size_t offset) const;
  size_t size() const { return size_; }

  std::vector<GltfView> views;
  std::vector<GltfAccessor> accessors;

 private:
  OutputFile* file_;
  uint64_t base_;
  size_t size_ = 0;
};
