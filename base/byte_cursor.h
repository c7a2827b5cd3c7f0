// A bounds-checked read position over the bytes of one file. Every read
// either takes all the bytes it asks for or fails and leaves the position
// where it was, so no reader can step past the end of its file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <type_traits>

class ByteCursor {
 public:
  explicit ByteCursor(std::span<const uint8_t> bytes) : data_(bytes.data()), size_(bytes.size()) {}

  size_t pos() const { return pos_; }
  size_t size() const { return size_; }
  size_t left() const { return size_ - pos_; }
  const uint8_t* here() const { return data_ + pos_; }

  bool Read(void* out, size_t n) {
    if (n > left()) return false;
    if (n) std::memcpy(out, data_ + pos_, n);
    pos_ += n;
    return true;
  }

  template <typename T>
  bool Get(T& out) {
    static_assert(std::is_trivially_copyable_v<T>);
    return Read(&out, sizeof(T));
  }

  bool Skip(size_t n) {
    if (n > left()) return false;
    pos_ += n;
    return true;
  }

  bool Back(size_t n) {
    if (n > pos_) return false;
    pos_ -= n;
    return true;
  }

  bool Seek(size_t p) {
    if (p > size_) return false;
    pos_ = p;
    return true;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};
