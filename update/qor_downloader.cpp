// QorDownloader: which replies a download accepts, the .part file it
// writes and resumes, and when that file becomes the real one.
#include "update/qor_downloader.h"

#include <cstdio>  // Required for: fopen(), fwrite(), fread()
#include <filesystem>
#include <string_view>

#include "platform/text_case.h"
#include "update/curl_transfer.h"

namespace fs = std::filesystem;

QorDownloadError::QorDownloadError(const std::string& message) : std::runtime_error(message.substr(0, 79)) {}

namespace {

bool IsHttpUrl(std::string_view url) {
  auto starts = [&](std::string_view scheme) {
    return url.size() > scheme.size() && platform::EqualsNoCase(url.substr(0, scheme.size()), scheme);
  };
  return starts("http://") || starts("https://");
}

// The rule of the old client: "HTTP/1.0" and "HTTP/2.0" are both refused.
bool VersionAccepted(const HttpReply& reply) { return reply.version_major != 0 && reply.version_minor != 0; }

std::string StatusText(int status) { return "Server answered HTTP " + std::to_string(status); }

std::string EndedEarlyText(uint64_t present, uint64_t expected) {
  return "Download ended early: " + std::to_string(present) + " of " + std::to_string(expected) + " bytes";
}

// "<name>.part", opened for appending. Closed on every path; left on disk
// for a later resume unless it holds nothing.
class PartFile {
 public:
  ~PartFile() {
    Close();
    std::error_code ec;
    if (!committed_ && fs::is_regular_file(path_, ec) && fs::file_size(path_, ec) == 0) fs::remove(path_, ec);
  }

  bool Open(std::string path, bool fresh) {
    path_ = std::move(path);
    file_ = std::fopen(path_.c_str(), fresh ? "wb" : "ab");
    return file_ != nullptr;
  }
  bool Append(const char* data, size_t size) { return std::fwrite(data, 1, size, file_) == size; }
  // Append mode writes at the end, wherever that now is.
  bool Truncate() {
    std::error_code ec;
    return std::fflush(file_) == 0 && (fs::resize_file(path_, 0, ec), !ec);
  }
  bool AppendFile(const std::string& from) {
    std::FILE* in = std::fopen(from.c_str(), "rb");
    if (!in) return false;
    char buf[10240];
    bool ok = true;
    for (size_t n; ok && (n = std::fread(buf, 1, sizeof buf, in)) > 0;) ok = Append(buf, n);
    ok = ok && !std::ferror(in);
    std::fclose(in);
    return ok;
  }
  // Every byte on disk, then the rename: the old file under the name stays
  // whole until the new one is.
  bool CommitTo(const std::string& target) {
    if (!Close()) return false;
    std::error_code ec;
    fs::rename(path_, target, ec);
    committed_ = !ec;
    return committed_;
  }
  void Remove() {
    Close();
    std::error_code ec;
    fs::remove(path_, ec);
  }

 private:
  bool Close() {
    if (!file_) return true;
    const bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    return ok;
  }

  std::string path_;
  std::FILE* file_ = nullptr;
  bool committed_ = false;
};

// What the reply to a resume said about the bytes we hold.
enum class ResumePlan {
  kWrite,     // the body goes into the .part
  kComplete,  // 416 naming our length as the whole: nothing to fetch
  kRestart,   // 416 naming another length: the file changed, fetch it whole
};

}  // namespace

QorDownloadResult QorDownloader::DownloadToFile(const std::string& url, const std::atomic<bool>& stop_flag,
                                                bool overwrite, const QorDownloadProgress& progress) {
  if (output_file_.empty()) throw QorDownloadError("Output File Not Set");
  if (!IsHttpUrl(url)) throw QorDownloadError("Must be HTTP url");
  if (stop_flag.load()) return QorDownloadResult::kStopped;

  // Resume from the .part of an earlier try, else from the file under the
  // name: complete (the server answers 416), or the start of a file that
  // has grown since, which is then copied into the .part before the rest.
  const std::string part_path = output_file_ + ".part";
  uint64_t existing = 0;
  bool base_is_target = false;
  if (!overwrite) {
    std::error_code ec;
    if (fs::is_regular_file(part_path, ec)) {
      existing = fs::file_size(part_path, ec);
    } else if (fs::is_regular_file(output_file_, ec)) {
      existing = fs::file_size(output_file_, ec);
      base_is_target = true;
    }
    if (ec) {
      existing = 0;
      base_is_target = false;
    }
  }
  PartFile part;
  if (!part.Open(part_path, overwrite)) throw QorDownloadError("QorDownloader:: Can't open output file: ");

  uint64_t present = 0;
  uint64_t expected = 0;
  ResumePlan plan = ResumePlan::kWrite;
  TransferHandlers handlers;
  handlers.header = [&](const HttpReply& reply) -> std::string {
    if (!VersionAccepted(reply)) return "HTTP/1.1 not supported";
    const bool ranged = existing > 0;
    switch (reply.status) {
      case 200:
        if (reply.length_state == HeaderState::kInvalid) return "File or content length not found";
        if (reply.length_state == HeaderState::kAbsent) return "HTTP Header Not Found";
        // The whole file, whatever was asked for (a server without ranges).
        if (ranged && !part.Truncate()) return "Error writing file";
        present = 0;
        expected = reply.content_length;
        return "";
      case 206:
        // A 206's Content-Length is the rest only: the size is the range's.
        if (!ranged) return StatusText(206);
        if (reply.range_state != HeaderState::kValid || reply.range_unsatisfied)
          return "File or content length not found";
        if (reply.range_first != existing || reply.range_last + 1 != reply.range_total)
          return "Server sent another range than asked for";
        if (base_is_target && !part.AppendFile(output_file_)) return "Error writing file";
        expected = reply.range_total;
        return "";
      case 416:
        if (ranged && reply.range_state == HeaderState::kValid && reply.range_unsatisfied) {
          plan = reply.range_total == existing ? ResumePlan::kComplete : ResumePlan::kRestart;
          return "";
        }
        return StatusText(416);
      default:
        return StatusText(reply.status);
    }
  };
  handlers.body = [&](const char* data, size_t size) -> std::string {
    if (plan != ResumePlan::kWrite) return "";  // the 416's page
    if (size > expected - present) return "Download longer than announced";
    if (!part.Append(data, size)) return "Error writing file";
    present += size;
    if (progress) progress(present, expected);
    return "";
  };

  TransferEnd end;
  for (;;) {
    present = existing;
    plan = ResumePlan::kWrite;
    end = RunTransfer({url, existing, &stop_flag, limits_}, handlers);
    if (end == TransferEnd::kStopped) return QorDownloadResult::kStopped;
    if (plan != ResumePlan::kRestart) break;
    // The server's file no longer starts with ours: once more, whole.
    if (!part.Truncate()) throw QorDownloadError("Error writing file");
    existing = 0;
    base_is_target = false;
  }

  if (plan == ResumePlan::kComplete) {
    if (base_is_target) {
      part.Remove();
    } else if (!part.CommitTo(output_file_)) {
      throw QorDownloadError("Error writing file");
    }
    if (progress) progress(existing, existing);
    return QorDownloadResult::kDone;
  }
  if (end == TransferEnd::kEndedEarly || present != expected) throw QorDownloadError(EndedEarlyText(present, expected));
  if (!part.CommitTo(output_file_)) throw QorDownloadError("Error writing file");
  return QorDownloadResult::kDone;
}

void QorDownloader::DownloadToString(const std::string& url, std::string& target) {
  if (!IsHttpUrl(url)) throw QorDownloadError("Must be HTTP url");
  const std::string too_large = "Reply larger than " + std::to_string(kMaxStringReply) + " bytes";
  std::string body;
  bool length_known = false;
  uint64_t expected = 0;
  TransferHandlers handlers;
  handlers.header = [&](const HttpReply& reply) -> std::string {
    if (!VersionAccepted(reply)) return "HTTP/1.1 not supported";
    if (reply.status != 200) return StatusText(reply.status);
    if (reply.length_state == HeaderState::kInvalid) return "File or content length not found";
    // A chunked reply (a script's) marks its own end; one that just stops
    // at the close might have lost its tail.
    if (reply.chunked) return "";
    if (reply.length_state == HeaderState::kAbsent) return "HTTP Header Not Found";
    if (reply.content_length > kMaxStringReply) return too_large;
    length_known = true;
    expected = reply.content_length;
    return "";
  };
  handlers.body = [&](const char* data, size_t size) -> std::string {
    if (size > kMaxStringReply - body.size()) return too_large;
    body.append(data, size);
    return "";
  };
  const TransferEnd end = RunTransfer({url, 0, nullptr, limits_}, handlers);
  if (end == TransferEnd::kEndedEarly || (length_known && body.size() != expected))
    throw QorDownloadError(length_known ? EndedEarlyText(body.size(), expected) : "Download ended early");
  target += body;
}
