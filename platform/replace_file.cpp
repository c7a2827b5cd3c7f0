// Replace-on-commit files: an exclusive temporary file, stdio over it, and
// rename.
#include "platform/replace_file.h"

#include <sys/stat.h>  // Required for: lstat(), S_ISREG()
#include <unistd.h>    // Required for: close(), unlink(), getpid()

#include <stdio.h>     // Required for: fopencookie()

#include <atomic>
#include <cerrno>
#include <system_error>  // Required for: generic_category()

#include "platform/fd_write.h"

namespace platform {

namespace {

thread_local WriteFailure t_failure;

// Names of one process differ by this counter; a name still taken (a file a
// killed process of the same id left) is removed and taken over.
std::atomic<unsigned> g_temp_counter{0};

// stdio's write and close over the descriptor, through fopencookie so that
// the errno of a failed write is kept: by the time the caller commits,
// errno has long been overwritten, and "No space left on device" is the
// whole point of the error line.
ssize_t CookieWrite(void* cookie, const char* data, size_t size) {
  auto& file = *static_cast<ReplaceFile::Descriptor*>(cookie);
  if (int err = WriteAll(file.fd, data, size); err != 0) {
    if (file.error == 0) file.error = err;
    return -1;
  }
  return ssize_t(size);
}

int CookieClose(void* cookie) {
  auto& file = *static_cast<ReplaceFile::Descriptor*>(cookie);
  int rc = ::close(file.fd);
  if (rc != 0 && file.error == 0) file.error = errno;
  file.fd = -1;
  return rc;
}

int Fail(int err, const std::string& path) {
  t_failure.err = err;
  t_failure.path = path;
  return err;
}

}  // namespace

std::string WriteErrorText(int err) {
  if (err == kNotRegularFile) return "the target exists and is not a regular file";
  return std::generic_category().message(err);
}

const WriteFailure& LastWriteFailure() { return t_failure; }

void ClearWriteFailure() { t_failure = WriteFailure{}; }

int ReportWriteFailure(const WriteFailure& failure) { return Fail(failure.err, failure.path); }

std::string LastWriteFailureText() {
  if (t_failure.err == 0) return "";
  return WriteErrorText(t_failure.err) + " ('" + t_failure.path + "')";
}

int ReplaceFile::Open(std::string path) {
  Abandon();
  path_ = std::move(path);
  // Only a regular file is replaced. A symlink is refused too: renaming over
  // it would put a file where the user keeps a link (/dev/stdout is one),
  // and writing through it would leave the folder the user chose.
  struct stat st;
  if (::lstat(path_.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return Fail(kNotRegularFile, path_);

  const size_t slash = path_.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path_.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? path_ : path_.substr(slash + 1);
  const std::string prefix = folder + "." + base + ".vantor-tmp-" + std::to_string(::getpid()) + "-";
  int fd = -1;
  for (int attempt = 0; attempt < 4 && fd < 0; ++attempt) {
    temp_path_ = prefix + std::to_string(g_temp_counter.fetch_add(1));
    fd = CreateExclusive(temp_path_);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    int err = errno;
    temp_path_.clear();
    return Fail(err, path_);
  }
  descriptor_ = Descriptor{fd, 0};
  cookie_io_functions_t io = {};
  io.write = CookieWrite;
  io.close = CookieClose;
  stream_ = ::fopencookie(&descriptor_, "wb", io);
  if (!stream_) {
    int err = errno;
    ::close(fd);
    descriptor_.fd = -1;
    Abandon();
    return Fail(err, path_);
  }
  return 0;
}

bool ReplaceFile::Write(const void* data, size_t size) {
  if (!stream_) return false;
  return size == 0 || std::fwrite(data, 1, size, stream_) == size;
}

bool ReplaceFile::WriteAt(const void* data, size_t size, unsigned long long offset) {
  if (!stream_) return false;
  std::atomic_ref<int> error(descriptor_.error);
  if (error.load() != 0) return false;
  if (const int err = WriteAllAt(descriptor_.fd, data, size, offset); err != 0) {
    int none = 0;
    error.compare_exchange_strong(none, err);
    return false;
  }
  return true;
}

int ReplaceFile::Commit() {
  if (!stream_) return Fail(EBADF, path_);
  // No fsync: an export is made again from the game files in a moment,
  // while a sync per file would make a big image export crawl. What this
  // guards against is a short file from a full disk or a killed process;
  // after a power cut the file system's rename-over ordering covers the
  // common case.
  const bool failed = std::fflush(stream_) != 0 || std::ferror(stream_);
  std::FILE* stream = stream_;
  stream_ = nullptr;
  const bool close_failed = std::fclose(stream) != 0;
  int err = descriptor_.error;
  if (err == 0 && (failed || close_failed)) err = EIO;
  if (err == 0 && std::rename(temp_path_.c_str(), path_.c_str()) != 0) err = errno;
  if (err != 0) {
    ::unlink(temp_path_.c_str());
    temp_path_.clear();
    return Fail(err, path_);
  }
  temp_path_.clear();
  return 0;
}

void ReplaceFile::Abandon() {
  if (stream_) std::fclose(stream_);
  stream_ = nullptr;
  if (!temp_path_.empty()) ::unlink(temp_path_.c_str());
  temp_path_.clear();
}

}  // namespace platform
