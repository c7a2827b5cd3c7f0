// Whole-or-nothing file creation: O_TMPFILE and linkat, or a partial file
// and rename.
#include "platform/atomic_file.h"

#include <fcntl.h>   // Required for: open(), O_TMPFILE, AT_* flags
#include <unistd.h>  // Required for: write(), close(), linkat(), unlink()

#include <atomic>
#include <cerrno>
#include <cstdio>  // Required for: rename(), snprintf()

#include "platform/fd_write.h"

namespace platform {

namespace {

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Errors that say "no unnamed files here", as opposed to a real failure
// (permissions, a missing folder) that the named file would meet too.
bool NoUnnamedFiles(int err) { return err == EOPNOTSUPP || err == EISDIR || err == EINVAL || err == ENOSYS; }

// Cleared for the rest of the process once an unnamed file could not be
// linked (no /proc, a sandbox refusing links): named partial files from then on.
std::atomic<bool> g_unnamed_files{true};

}  // namespace

void AtomicFile::UseUnnamedFiles(bool use) { g_unnamed_files.store(use); }

int AtomicFile::Open(std::string path, const std::string& partial_suffix) {
  Abandon();
  path_ = std::move(path);
  write_error_ = 0;
  partial_suffix_ = partial_suffix;
#ifdef O_TMPFILE
  if (g_unnamed_files.load()) {
    // Read and write: the bytes are copied out should the link fail.
    fd_ = ::open(FolderOf(path_).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    if (fd_ >= 0) return 0;
    if (!NoUnnamedFiles(errno)) return errno;
  }
#endif
  return OpenPartial();
}

int AtomicFile::OpenPartial() {
  partial_path_ = path_ + partial_suffix_;
  // A partial file a killed writer left is taken over, never written
  // through, so the bytes never land outside the folder.
  fd_ = CreateExclusive(partial_path_);
  if (fd_ < 0) {
    int err = errno;
    partial_path_.clear();
    return err;
  }
  return 0;
}

bool AtomicFile::Write(const uint8_t* data, size_t size) {
  if (fd_ < 0 || write_error_) return false;
  write_error_ = WriteAll(fd_, data, size);
  return write_error_ == 0;
}

int AtomicFile::LinkUnnamed() {
  // Linked by descriptor; without the privilege that takes, through /proc.
  if (::linkat(fd_, "", AT_FDCWD, path_.c_str(), AT_EMPTY_PATH) == 0) return 0;
  char proc_path[64];
  std::snprintf(proc_path, sizeof proc_path, "/proc/self/fd/%d", fd_);
  if (::linkat(AT_FDCWD, proc_path, AT_FDCWD, path_.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
  int err = errno;
  if (err == EEXIST) return err;
  // No way to link here: copy the bytes into a named partial file, which
  // Commit renames.
  g_unnamed_files.store(false);
  int unnamed = fd_;
  fd_ = -1;
  int rc = OpenPartial();
  uint8_t block[64 * 1024];
  for (off_t at = 0; rc == 0;) {
    ssize_t n = ::pread(unnamed, block, sizeof block, at);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) rc = errno;
    if (n <= 0) break;
    if (!Write(block, size_t(n))) rc = write_error_;
    at += n;
  }
  ::close(unnamed);
  return rc;
}

int AtomicFile::Commit() {
  if (fd_ < 0) return EBADF;
  int rc = write_error_;
  if (rc == 0 && partial_path_.empty()) rc = LinkUnnamed();
  if (fd_ < 0) return rc;  // the copy could not be opened
  if (::close(fd_) != 0 && rc == 0) rc = errno;
  fd_ = -1;
  if (!partial_path_.empty()) {
    if (rc == 0 && std::rename(partial_path_.c_str(), path_.c_str()) != 0) rc = errno;
    if (rc != 0) ::unlink(partial_path_.c_str());
    partial_path_.clear();
  }
  return rc;
}

void AtomicFile::Abandon() {
  if (fd_ >= 0) ::close(fd_);  // an unnamed file goes with its descriptor
  fd_ = -1;
  if (!partial_path_.empty()) ::unlink(partial_path_.c_str());
  partial_path_.clear();
}

}  // namespace platform
