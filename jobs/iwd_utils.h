// The IWD image mover. The games ship their textures inside ".iwd"
// archives (ZIP files) in "main", while the mod tools and this program read
// loose ".iwi" files from "raw/images". QorIWDUtils checks whether that
// folder looks complete (on a counter thread), and on request copies every
// ".iwi" entry of every archive into it on a thread of its own, skipping
// images already there.
//
// What the GUI needs each frame goes to the mover's notice board: the named
// texts "iwd_progress_text", "iwi_progress_text" (and, for the command
// line's bar, "iwd_archive_name" and "iwd_pass_text"), the progress value
// "IWD_SCAN_progress", the posted commands ("open iwd_images_menu;",
// "close iwd_images_menu;") and the error-box text of a failed pass. The
// threads hold the lock only to update a few counters and publish them,
// never across file work.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/notice_board.h"

class ImageFolderIndex;
class IwdArchive;

namespace iwd {
// Below this many ".iwi" files "raw/images" looks incomplete.
inline constexpr uint32_t kCompleteImageCount = 2500;
}  // namespace iwd

// A copy of the shared counters.
struct IwdProgress {
  std::string progress_text;  // "<archive number>/<archive count>"
  std::string archive_name;   // the archive being copied
  uint32_t archive_index = 0;  // 1-based while copying; archive_count when done
  uint32_t archive_count = 0;
  // Entries of the current archive walked so far (of every kind) and how
  // many its central directory announces, for a bar that moves inside an
  // archive.
  uint32_t archive_entries_done = 0;
  uint32_t archive_entries = 0;
  // The archive being copied: ".iwi" entries met, already present, written,
  // refused (a name leaving "raw/images", a broken or lying entry) and
  // failed (the image could not be created or written).
  uint32_t entries_seen = 0;
  uint32_t entries_skipped = 0;
  uint32_t entries_copied = 0;
  uint32_t entries_refused = 0;
  uint32_t entries_failed = 0;
  // The same over the whole pass.
  uint32_t total_seen = 0;
  uint32_t total_skipped = 0;
  uint32_t total_copied = 0;
  uint32_t total_refused = 0;
  uint32_t total_failed = 0;
  bool running = false;
  bool ended = false;      // a pass has run to its end since the last reset
  bool cancelled = false;  // the last pass stopped on `cancel`
  bool permission_failure = false;  // the last pass ended on result 6

  // The "IWD_SCAN_progress" fill, 0 to 1: archives done out of
  // archive_count, the current one by its entries.
  float Fraction() const;
  // "iwi_progress_text": "\n\n<copied>\n\n<skipped>", beside the panel's
  // "Current IWD: \n\niwi's Moved: \n\niwi's Skipped: " label.
  std::string IwiProgressText() const;
  // "<moved> moved, <skipped> skipped, <failed> failed" over the whole
  // pass (refused entries count as failed) once it has ended, else "".
  std::string ResultText() const;
};

// What one archive gave, kept for the command line.
struct IwdArchiveReport {
  std::string name;
  uint32_t seen = 0, skipped = 0, copied = 0, refused = 0, failed = 0;
  bool opened = true;  // false: not a readable ZIP archive
};

// The names the mover publishes under.
namespace iwd {
inline constexpr const char* kArchiveText = "iwd_progress_text";  // "<archive number>/<archive count>"
inline constexpr const char* kImagesText = "iwi_progress_text";   // IwiProgressText()
inline constexpr const char* kArchiveNameText = "iwd_archive_name";
inline constexpr const char* kPassText = "iwd_pass_text";  // the pass totals, one line
inline constexpr const char* kResultText = "iwd_result_text";  // ResultText() once a pass has ended
inline constexpr const char* kProgressName = "IWD_SCAN_progress";
}  // namespace iwd

class QorIWDUtils {
 public:
  // `board` receives the mover's texts, progress and posted commands.
  explicit QorIWDUtils(NoticeBoard& board = Board()) : board_(board) {}
  ~QorIWDUtils();  // cancels a running pass and waits for both threads
  QorIWDUtils(const QorIWDUtils&) = delete;
  QorIWDUtils& operator=(const QorIWDUtils&) = delete;

  // Sets `root`, `images_path` and `main_path` and, when both folders
  // exist, starts the count on the counter thread (DirectoryCount, then
  // ImageCheck). Logs why it stops otherwise. Returns at once.
  void CheckForImages(const std::string& root);
  // Waits for the count CheckForImages started (command line, tests).
  void WaitForCheck();
  // The last count, or nullopt when none has finished since CheckForImages.
  std::optional<uint32_t> last_count() const;

  // Counts the ".iwi" files of `images_path` and hands the count to
  // ImageCheck. Runs on the counter thread; callable directly.
  uint32_t DirectoryCount();
  // Below kCompleteImageCount: queues "open iwd_images_menu;", logs the
  // suggestion, sets `asked` and `menu_flags`, and returns true.
  bool ImageCheck(uint32_t count);

  // The archive names in `main_path` (names holding ".iwd"), sorted as
  // Windows lists them (case-insensitive name order), which is the order
  // they are copied in.
  std::vector<std::string> IWDList();

  // "run_iwd_scan": starts the copy pass on its own thread with the paths
  // set by the last CheckForImages (or SetRoot). False when a pass is
  // already running or no root is set.
  bool IWDToImages();
  // "cancel_iwd_scan": the pass stops before its next entry.
  void Cancel() { cancel.store(true); }
  // Waits for a running pass to end.
  void WaitForPass();
  // Waits at most `ms` milliseconds; true when no pass is running.
  bool WaitForPassFor(int ms);
  bool running() const { return running_.load(); }

  // Sets the paths without counting (the settings page's "Move IWD's Over"
  // hands over a game's root this way).
  void SetRoot(const std::string& root);
  // A new game root: clears the counters (and their texts and bar),
  // `asked` and `menu_flags`. Ignored while a pass runs.
  void Reset();

  IwdProgress Progress() const;
  // The per-archive reports since the last call.
  std::vector<IwdArchiveReport> TakeArchiveReports();

  bool asked() const;
  bool menu_offered() const;  // both `menu_flags`
  std::string images_folder() const;
  std::string main_folder() const;

  // Polled by the copy loop between entries and between archives. Lock-free,
  // so a signal handler may set it.
  std::atomic<bool> cancel{false};

 private:
  struct PassPaths {
    std::string root, images_path, main_path;
  };
  enum class PassEnd { kDone, kCancelled, kPermission };
  enum class EntryEnd { kIgnored, kRefused, kPresent, kWritten, kFailed, kPermission };

  void SetPathsLocked(const std::string& root);
  static std::vector<std::string> ListArchives(const std::string& main_path);
  // The pending message: `text` for the GUI's error box (none when empty),
  // then the GUI command to run.
  void PostMessage(std::string text, std::string command);
  // The counters as named texts and the bar, in one step; under `lock`.
  void PublishLocked();
  void RunPass(PassPaths paths);
  PassEnd CopyArchive(const std::string& archive_path, const std::string& name, ImageFolderIndex& index,
                      std::vector<uint8_t>& buffer);
  EntryEnd CopyEntry(IwdArchive& archive, const std::string& archive_name, ImageFolderIndex& index,
                     std::vector<uint8_t>& buffer);
  // One more in a per-archive counter and its pass total.
  void Count(uint32_t IwdProgress::*archive_field, uint32_t IwdProgress::*total_field);

  // Everything below is guarded by `lock`.
  mutable std::mutex lock;
  std::string root;
  std::string images_path;  // root + "raw/images"
  std::string main_path;    // root + "main"
  std::array<bool, 2> menu_flags = {false, false};
  bool asked_ = false;
  IwdProgress progress_;  // progress_text, the per-archive counters and the totals
  std::optional<uint32_t> last_count_;
  std::vector<IwdArchiveReport> reports_;

  std::atomic<bool> running_{false};
  std::condition_variable pass_done_;  // with `lock`, when running_ clears
  std::thread count_thread_;
  std::thread pass_thread_;
  std::mutex thread_lock_;  // starting and joining the threads
  NoticeBoard& board_;
};

// The program's mover. Never destroyed, so a pass still running at exit
// keeps a valid object.
QorIWDUtils& IWDUtils();
