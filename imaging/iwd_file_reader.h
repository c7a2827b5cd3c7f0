// The archive file as minizip reads it: small reads at scattered positions
// (each central-directory record, each local header, the data in 16 KiB
// blocks). Two read windows (one stays on the central directory while the
// other follows the entries' data) serve them from memory, so walking an
// archive of thousands of entries costs a few large reads, not a seek and a
// read per record.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class IwdFileReader {
 public:
  IwdFileReader() = default;
  IwdFileReader(const IwdFileReader&) = delete;
  IwdFileReader& operator=(const IwdFileReader&) = delete;
  ~IwdFileReader() { Close(); }
  // False when the file cannot be opened or is no regular file: a FIFO
  // named like an archive would block the pass until something wrote to it.
  [[nodiscard]] bool Open(const std::string& path);
  void Close();
  bool is_open() const { return fd_ >= 0; }
  uint64_t size() const { return size_; }

  // Up to `n` bytes at `pos`; fewer only at the end of the file or on a
  // read error (error() tells).
  size_t Read(uint64_t pos, void* out, size_t n);
  bool error() const { return error_; }

 private:
  static constexpr size_t kWindowBytes = 64 * 1024;
  struct Window {
    uint64_t start = 0;
    size_t length = 0;
    uint64_t last_use = 0;
    std::vector<uint8_t> bytes;
  };
  size_t ReadFile(uint64_t pos, void* out, size_t n);

  int fd_ = -1;
  uint64_t size_ = 0;
  bool error_ = false;
  uint64_t clock_ = 0;
  size_t recent_ = 0;  // the window used last
  std::array<Window, 2> windows_;
};
