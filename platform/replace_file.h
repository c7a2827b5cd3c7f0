// Files that replace their target only once complete. The bytes go to a
// hidden temporary file beside the target (".NAME.vantor-tmp-PID-N",
// created exclusively, never through a symlink), which is renamed over the
// target when every byte is out and the close reported no error; a failed
// or abandoned write removes it. A full disk or a killed process therefore
// never leaves a short file under the final name.
#pragma once

#include <cstdio>
#include <string>

namespace platform {

// The failure code of a target that exists and is no regular file (a
// folder, a FIFO, a device, a symlink): refused before anything is opened,
// because opening a FIFO for writing blocks until a reader comes.
inline constexpr int kNotRegularFile = -1;

// strerror of an errno, or the text of kNotRegularFile.
std::string WriteErrorText(int err);

class ReplaceFile {
 public:
  ReplaceFile() = default;
  ~ReplaceFile() { Abandon(); }
  ReplaceFile(const ReplaceFile&) = delete;
  ReplaceFile& operator=(const ReplaceFile&) = delete;

  // Creates the temporary file of `path` (whose folder must exist) and a
  // buffered stream over it. 0, kNotRegularFile or the errno.
  [[nodiscard]] int Open(std::string path);
  std::FILE* stream() const { return stream_; }
  // Whole-buffer write through the stream; false once anything failed.
  [[nodiscard]] bool Write(const void* data, size_t size);
  // `size` bytes at `offset`, past the stream (for a file not written
  // through it): from any thread, each its own part; what lies between the
  // parts reads as zeros. A failure is kept for Commit. False once it failed.
  bool WriteAt(const void* data, size_t size, unsigned long long offset);
  // Flush, error check, close, rename over the target. 0 or the errno; the
  // temporary file is gone either way.
  [[nodiscard]] int Commit();
  // Drops the temporary file.
  void Abandon();

  const std::string& path() const { return path_; }

  // The temporary file under the stream, with the first error met on it
  // (set through std::atomic_ref by WriteAt's threads).
  struct Descriptor {
    int fd = -1;
    int error = 0;
  };

 private:
  Descriptor descriptor_;
  std::string path_;
  std::string temp_path_;
  std::FILE* stream_ = nullptr;
};

// The last failure of a ReplaceFile on this thread (Open or Commit), with
// the target it was for: callers that pass on only a result code name the
// cause in their error line from it.
struct WriteFailure {
  int err = 0;
  std::string path;
};
const WriteFailure& LastWriteFailure();
void ClearWriteFailure();
// Makes `failure` the thread's last one again (a caller that wrote more
// files after it); returns its errno.
int ReportWriteFailure(const WriteFailure& failure);
// "<cause> ('<path>')" of the last failure, or "" when there was none.
std::string LastWriteFailureText();

}  // namespace platform
