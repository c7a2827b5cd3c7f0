// A new file that appears under its name whole or not at all. Its bytes go
// to an unnamed file in the target's folder (O_TMPFILE), which is linked
// under the name once complete, so a process killed half way leaves
// nothing behind. Where the file system has no unnamed files, a named
// partial file ("<name><partial_suffix>") beside the target is renamed into
// place instead; a later writer of the same name takes it over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

class AtomicFile {
 public:
  AtomicFile() = default;
  ~AtomicFile() { Abandon(); }
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // The target's folder must exist. 0 or the errno.
  [[nodiscard]] int Open(std::string path, const std::string& partial_suffix);
  // False after a failed write (write_error() tells why).
  [[nodiscard]] bool Write(const uint8_t* data, size_t size);
  // Puts the file under its name. 0, EEXIST when a file of that name
  // appeared meanwhile (it is left alone), or the errno of the failure;
  // nothing of ours is left either way but on success.
  [[nodiscard]] int Commit();
  // Drops what was written.
  void Abandon();
  int write_error() const { return write_error_; }

  // Whether unnamed files are tried (the default until a link fails); tests
  // turn them off to run the named partial file's path.
  static void UseUnnamedFiles(bool use);

 private:
  int OpenPartial();
  int LinkUnnamed();

  std::string path_;
  std::string partial_suffix_;
  std::string partial_path_;  // empty while writing an unnamed file
  int fd_ = -1;
  int write_error_ = 0;
};

}  // namespace platform
