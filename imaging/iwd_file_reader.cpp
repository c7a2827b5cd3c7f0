// Windowed reads of one archive file.
#include "imaging/iwd_file_reader.h"

#include <algorithm>  // Required for: min()
#include <cstring>    // Required for: memcpy()

#include "platform/file_bytes.h"

bool IwdFileReader::Open(const std::string& path) {
  Close();
  // A FIFO named like an archive is never opened: it would block the pass
  // until something wrote to it. The type is checked on the descriptor too,
  // so nothing swapped in after a check by name is read.
  struct stat st;
  int error = 0;
  int fd = platform::OpenRegularFile(path.c_str(), st, error);
  if (fd < 0) return false;
  fd_ = fd;
  size_ = uint64_t(st.st_size);
  return true;
}

void IwdFileReader::Close() {
  platform::CloseFile(fd_);
  fd_ = -1;
  size_ = 0;
  error_ = false;
  for (Window& w : windows_) w.length = 0;
}

size_t IwdFileReader::ReadFile(uint64_t pos, void* out, size_t n) {
  bool failed = false;
  size_t got = platform::ReadAt(fd_, pos, out, n, failed);
  if (failed || (got < n && pos + got < size_)) error_ = true;
  return got;
}

size_t IwdFileReader::Read(uint64_t pos, void* out, size_t n) {
  if (n == 0) return 0;  // minizip asks for none with a null buffer
  // minizip reads its records a byte or a field at a time: the last window
  // used answers almost all of them.
  const Window& recent = windows_[recent_];
  if (pos >= recent.start && pos - recent.start < recent.length && n <= recent.length - (pos - recent.start)) {
    std::memcpy(out, recent.bytes.data() + (pos - recent.start), n);
    return n;
  }
  if (fd_ < 0 || pos >= size_) return 0;
  if (n > size_ - pos) n = size_t(size_ - pos);
  uint8_t* dst = static_cast<uint8_t*>(out);
  size_t done = 0;
  while (done < n) {
    uint64_t at = pos + done;
    Window* hit = nullptr;
    for (Window& w : windows_)
      if (w.length && at >= w.start && at - w.start < w.length) hit = &w;
    if (!hit) {
      // A long read goes straight to the caller; a short one fills the
      // window used least recently.
      if (n - done >= kWindowBytes) {
        size_t got = ReadFile(at, dst + done, n - done);
        return done + got;
      }
      hit = windows_[0].last_use <= windows_[1].last_use ? &windows_[0] : &windows_[1];
      if (hit->bytes.size() < kWindowBytes) hit->bytes.resize(kWindowBytes);
      hit->start = at;
      hit->length = ReadFile(at, hit->bytes.data(), size_t(std::min<uint64_t>(kWindowBytes, size_ - at)));
      if (hit->length == 0) return done;
    }
    hit->last_use = ++clock_;
    recent_ = size_t(hit - windows_.data());
    size_t offset = size_t(at - hit->start);
    size_t take = std::min(hit->length - offset, n - done);
    std::memcpy(dst + done, hit->bytes.data() + offset, take);
    done += take;
  }
  return done;
}
