// The update download, when the user asks for it from the update menu: the
// manifest over a checked connection, then the update script and archive
// into a private temporary folder, each checked against the manifest's
// size and SHA-256, the archive unpacked there through the ZIP reader's
// guards, and only then the script started to put the files in place once
// the program has exited. Anything short of that runs nothing and removes
// what was fetched. Progress goes to "download_progress"; the update menu's
// Cancel stops a running download.
#pragma once

#include <memory>
#include <string>

#include "base/notice_board.h"
#include "update/qor_downloader.h"

struct UpdateDownloadRequest {
  std::string server;          // "http(s)://host[:port]"; "" sends nothing
  std::string program_folder;  // what the update replaces
  bool hand_off = true;        // false: stop once the update is unpacked
  QorDownloadLimits limits;
};

enum class UpdateDownloadOutcome {
  kNoServer,    // nothing sent
  kPackaged,    // the program's folder is not ours to write: nothing sent
  kInsecure,    // the server is neither https nor this computer: nothing sent
  kFailed,      // a download or a check failed; nothing kept
  kStopped,     // Cancel; nothing kept
  kVerified,    // checked and unpacked, not handed over (hand_off false)
  kHandedOver,  // the script runs and waits for the program to exit
  kBusy,        // another download runs, or the update was already handed over
};

struct UpdateDownloadReport {
  UpdateDownloadOutcome outcome = UpdateDownloadOutcome::kFailed;
  std::string unpacked;  // the unpacked update (kVerified, kHandedOver)
  std::string error;     // why it failed
};

class QorUpdater {
 public:
  explicit QorUpdater(NoticeBoard& board = Board());
  ~QorUpdater();

  // Runs the download on the downloader thread; false when one runs already
  // or an update was already handed over in this run.
  bool StartUpdateDownload(UpdateDownloadRequest request);
  // The same on the calling thread (the command line).
  UpdateDownloadReport Run(const UpdateDownloadRequest& request);
  // Ends a running download at its next chunk.
  void StopDownload();
  bool running() const;
  // At exit, once: stops the download, waits for its thread for at most two
  // seconds and logs "Downloader thread Stopped".
  void Shutdown();

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
};
