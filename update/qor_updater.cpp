#include "update/qor_updater.h"

#include <sys/stat.h>  // Required for: chmod(), lstat()
#include <unistd.h>    // Required for: access(), mkdtemp(), getuid()

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

#include "base/logger.h"
#include "update/hand_off.h"
#include "update/sha256_file.h"
#include "update/update_check.h"
#include "update/update_manifest.h"
#include "update/update_unpack.h"

namespace fs = std::filesystem;

struct QorUpdater::Shared {
  NoticeBoard* board = nullptr;
  std::atomic<bool> stop{false};
  mutable std::mutex lock;
  std::condition_variable done;
  bool running = false;
  bool handed_over = false;
  bool shut_down = false;

  // Marks a download running; false when one must not start.
  bool Claim() {
    std::lock_guard<std::mutex> hold(lock);
    if (running || handed_over || shut_down) return false;
    running = true;
    stop = false;
    return true;
  }
  void Finish(const UpdateDownloadReport& report) {
    std::lock_guard<std::mutex> hold(lock);
    handed_over = report.outcome == UpdateDownloadOutcome::kHandedOver;
    running = false;
    done.notify_all();
  }
};

namespace {

constexpr const char* kProgressName = "download_progress";

constexpr std::string_view kFolderPrefix = "vantor-update-";

// The folders of downloads killed before they could clean up: this user's
// own, private (0700) and untouched for a day. Anything else of the name
// (another user's, a link, a file) is left alone.
void RemoveStaleFolders(const std::string& tmp) {
  const auto day_ago = std::chrono::system_clock::now() - std::chrono::hours(24);
  std::error_code ec, ignored;
  for (auto it = fs::directory_iterator(tmp, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const fs::directory_entry& e = *it;
    const std::string name = e.path().filename().string();
    if (!name.starts_with(kFolderPrefix) || name.size() != kFolderPrefix.size() + 6) continue;
    struct stat st;
    if (::lstat(e.path().c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
        (st.st_mode & 07777) != 0700)
      continue;
    if (std::chrono::system_clock::from_time_t(st.st_mtime) > day_ago) continue;
    fs::remove_all(e.path(), ignored);
  }
}

// A folder only this user can enter ("vantor-update-XXXXXX" in $TMPDIR).
std::string PrivateFolder() {
  const char* env = std::getenv("TMPDIR");
  const std::string tmp = env && *env ? env : "/tmp";
  RemoveStaleFolders(tmp);
  std::string pattern = tmp + "/" + std::string(kFolderPrefix) + "XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (!::mkdtemp(name.data())) return "";
  return name.data();
}

// Everything one download does; the caller owns the stop flag and the
// board. Throws nothing: QorDownloadError becomes the report's error.
class UpdateRun {
 public:
  UpdateRun(const UpdateDownloadRequest& request, const std::atomic<bool>& stop, NoticeBoard& board)
      : request_(request), stop_(stop), board_(board) {}

  UpdateDownloadReport Go() {
    board_.SetProgress(kProgressName, 0.0f);
    if (request_.server.empty()) {
      Logger().warning("Update download: no update server is set (Misc/update_server or VANTOR_UPDATE_SERVER); nothing sent");
      board_.ShowMessage("No update server is set.");
      return {UpdateDownloadOutcome::kNoServer, "", "no update server is set"};
    }
    if (::access(request_.program_folder.c_str(), W_OK) != 0) {
      Logger().warning("Update download: %s is not writable; update Vantor through the package manager",
                       request_.program_folder.c_str());
      board_.ShowMessage("Vantor was installed by a package: update it through the package manager.");
      return {UpdateDownloadOutcome::kPackaged, "", "the program's folder is not writable"};
    }
    const std::string manifest_url = update::ServerBase(request_.server) + update::kManifestPath;
    if (!update::SecureOrLoopback(manifest_url)) {
      const char* text = "The update server must use https; nothing was sent.";
      Logger().warning("Update download: %s", text);
      board_.ShowError(text);
      return {UpdateDownloadOutcome::kInsecure, "", "the update server is not https"};
    }
    folder_ = PrivateFolder();
    if (folder_.empty()) return Fail("no private temporary folder could be made");

    UpdateDownloadReport report;
    try {
      report = Fetch(manifest_url);
    } catch (const QorDownloadError& e) {
      Logger().warning("QorDownloader:: %s", e.what());
      report = Fail(e.what());
    }
    if (report.outcome != UpdateDownloadOutcome::kVerified && report.outcome != UpdateDownloadOutcome::kHandedOver) {
      std::error_code ec;
      fs::remove_all(folder_, ec);
    }
    return report;
  }

 private:
  UpdateDownloadReport Fetch(const std::string& manifest_url) {
    QorDownloader text;
    text.set_limits(Limits());
    std::string body;
    text.DownloadToString(manifest_url, body);
    update::Manifest manifest;
    if (std::string why = update::ParseManifest(body, manifest); !why.empty()) {
      Logger().warning("Update manifest refused: %s", why.c_str());
      return Fail("the manifest is not valid: " + why);
    }
    total_ = manifest.script.size + manifest.archive.size;
    const std::string base = update::ServerBase(request_.server);
    for (const auto& [file, path] : {std::pair{manifest.script, update::kScriptPath},
                                     std::pair{manifest.archive, update::kArchivePath}}) {
      if (!Download(file, base + path)) return Stopped();
      if (std::string why = Verify(file); !why.empty()) {
        Logger().warning("Update file %s refused: %s", file.name.c_str(), why.c_str());
        return Fail(file.name + " " + why);
      }
      done_ += file.size;
    }
    const std::string unpacked = folder_ + "/update";
    std::error_code ec;
    fs::create_directory(unpacked, ec);
    if (ec) return Fail("the update cannot be unpacked");
    if (std::string why = update::UnpackUpdate(folder_ + "/" + update::kArchiveName, unpacked); !why.empty()) {
      Logger().warning("Update archive refused: %s", why.c_str());
      return Fail("the archive is not valid: " + why);
    }
    board_.SetProgress(kProgressName, 1.0f);
    Logger().log("Downloaded Update");
    if (!request_.hand_off) return {UpdateDownloadOutcome::kVerified, unpacked, ""};
    const std::string script = folder_ + "/" + update::kScriptName;
    if (::chmod(script.c_str(), 0700) != 0 || !update::HandOff(script, request_.program_folder, unpacked))
      return Fail("the update script could not be started");
    Logger().log("Update handed over to %s; it is installed when Vantor closes", script.c_str());
    board_.ShowMessage("The update is ready: it is installed when Vantor closes.");
    return {UpdateDownloadOutcome::kHandedOver, unpacked, ""};
  }

  // False when stopped; throws QorDownloadError on failure.
  bool Download(const update::ManifestFile& file, const std::string& url) {
    QorDownloader downloader(folder_ + "/" + file.name);
    downloader.set_limits(Limits());
    // A reply of another length than the manifest's is refused at its first
    // chunk rather than after the whole of it.
    auto progress = [this, &file](uint64_t present, uint64_t expected) {
      if (expected != file.size) throw QorDownloadError("Size differs from the manifest");
      board_.SetProgress(kProgressName, float(double(done_ + present) / double(total_)));
    };
    return downloader.DownloadToFile(url, stop_, true, progress) == QorDownloadResult::kDone;
  }

  // Every request of the update, the manifest, the script and the archive,
  // with its redirects: https, or plain http only to this computer as
  // connected (the test servers).
  QorDownloadLimits Limits() const {
    QorDownloadLimits limits = request_.limits;
    limits.https_redirects_only = true;
    limits.loopback_http_only = true;
    return limits;
  }

  std::string Verify(const update::ManifestFile& file) const {
    const std::string path = folder_ + "/" + file.name;
    std::error_code ec;
    if (fs::file_size(path, ec) != file.size || ec) return "has another size than its manifest";
    const std::optional<std::string> digest = Sha256OfFile(path);
    if (!digest) return "cannot be read";
    if (*digest != file.sha256) return "has another SHA-256 than its manifest";
    return "";
  }

  UpdateDownloadReport Fail(const std::string& why) {
    Logger().warning("Failed To Download Update");
    board_.ShowError("Failed To Download Update: " + why);
    return {UpdateDownloadOutcome::kFailed, "", why};
  }

  UpdateDownloadReport Stopped() {
    Logger().log("Update download Cancelled");
    board_.SetProgress(kProgressName, 0.0f);
    return {UpdateDownloadOutcome::kStopped, "", "cancelled"};
  }

  const UpdateDownloadRequest& request_;
  const std::atomic<bool>& stop_;
  NoticeBoard& board_;
  std::string folder_;
  uint64_t total_ = 1;
  uint64_t done_ = 0;
};

}  // namespace

QorUpdater::QorUpdater(NoticeBoard& board) : shared_(std::make_shared<Shared>()) { shared_->board = &board; }

QorUpdater::~QorUpdater() { Shutdown(); }

bool QorUpdater::StartUpdateDownload(UpdateDownloadRequest request) {
  if (!shared_->Claim()) return false;
  // The thread keeps what it uses alive: it may outlive this object at exit
  // (a download stuck on a slow server past the two seconds).
  std::thread([request = std::move(request), shared = shared_] {
    shared->Finish(UpdateRun(request, shared->stop, *shared->board).Go());
  }).detach();
  return true;
}

UpdateDownloadReport QorUpdater::Run(const UpdateDownloadRequest& request) {
  if (!shared_->Claim()) return {UpdateDownloadOutcome::kBusy, "", "a download runs already"};
  UpdateDownloadReport report = UpdateRun(request, shared_->stop, *shared_->board).Go();
  shared_->Finish(report);
  return report;
}

void QorUpdater::StopDownload() { shared_->stop = true; }

bool QorUpdater::running() const {
  std::lock_guard<std::mutex> hold(shared_->lock);
  return shared_->running;
}

void QorUpdater::Shutdown() {
  std::unique_lock<std::mutex> hold(shared_->lock);
  if (shared_->shut_down) return;
  shared_->shut_down = true;
  shared_->stop = true;
  shared_->done.wait_for(hold, std::chrono::seconds(2), [this] { return !shared_->running; });
  hold.unlock();
  Logger().log("Downloader thread Stopped");
}
