// The update downloader: an HTTP(S) GET over libcurl into a file, with
// progress, a stop flag and resumption, or into a string for the update
// check's short reply. Failures are QorDownloadError; a stop is a result
// of its own. A file download writes "<name>.part" beside the target and
// renames it onto the name only once every byte the server announced is in,
// so a failure never leaves a partial file under the final name nor harms
// the file already there; an interrupted one is continued from the .part.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

// The message is at most 79 characters (longer texts are cut).
class QorDownloadError : public std::runtime_error {
 public:
  explicit QorDownloadError(const std::string& message);
};

enum class QorDownloadResult {
  kDone,     // the whole file is under its name
  kStopped,  // the stop flag ended it; the .part is kept for a resume
};

// Bytes present so far, bytes the whole file has. Called after each chunk
// written, and once with (size, size) for a file found complete; `expected`
// is never 0 in a call.
using QorDownloadProgress = std::function<void(uint64_t present, uint64_t expected)>;

// Ends a dead or stalled connection so that a download thread can always
// be joined. Tests shorten them.
struct QorDownloadLimits {
  long connect_timeout_s = 15;
  // Slower than low_speed_bytes per second for low_speed_time_s seconds
  // counts as stalled.
  long low_speed_bytes = 1024;
  long low_speed_time_s = 30;
  // Redirects to https only: for a text whose trust rests on the
  // connection (the update's manifest).
  bool https_redirects_only = false;
  // Plain http only to this computer: a request over http whose connection
  // (the address connected to, not the URL's spelling of it) is not a
  // loopback address ends before it is sent. For what the update runs.
  bool loopback_http_only = false;
};

// Redirects followed, http and https only.
inline constexpr long kMaxDownloadRedirects = 5;
// The string form's reply is a version number: anything longer is refused.
inline constexpr uint64_t kMaxStringReply = 64 * 1024;

class QorDownloader {
 public:
  explicit QorDownloader(std::string output_file = {}) : output_file_(std::move(output_file)) {}

  // `overwrite` true starts afresh (the old file stays until the new one is
  // complete); false continues "<name>.part", or asks for what follows the
  // file under the name, which is left alone when the server says it is
  // complete. The stop flag is read between chunks and while waiting.
  [[nodiscard]] QorDownloadResult DownloadToFile(const std::string& url, const std::atomic<bool>& stop_flag,
                                                 bool overwrite, const QorDownloadProgress& progress = {});
  // Appends the whole body to `target`, which is left as it was on failure.
  void DownloadToString(const std::string& url, std::string& target);

  const std::string& output_file() const { return output_file_; }
  void set_output_file(std::string name) { output_file_ = std::move(name); }
  void set_limits(const QorDownloadLimits& limits) { limits_ = limits; }

 private:
  std::string output_file_;
  QorDownloadLimits limits_;
};
