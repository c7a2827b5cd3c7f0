// The copy pass: every ".iwi" entry of every archive in "main" into
// "raw/images", archives in list order, entries in central-directory order,
// images already present skipped. Runs on the pass thread; the counters go
// to the shared progress under the lock, one entry at a time.
#include <algorithm>     // Required for: min()
#include <cerrno>
#include <charconv>      // Required for: to_chars()
#include <cstdint>
#include <system_error>  // Required for: generic_category()

#include "base/logger.h"
#include "imaging/image_codes.h"  // Required for: img::kCantOpen, img::kPermission
#include "imaging/image_folder.h"
#include "imaging/iwd_archive.h"
#include "imaging/iwd_entry_name.h"
#include "jobs/iwd_utils.h"
#include "platform/atomic_file.h"
#include "platform/clock.h"

namespace {

std::string ArchiveProgressText(uint32_t index, uint32_t count) {
  char buf[32];
  char* at = std::to_chars(buf, buf + 12, index).ptr;
  *at++ = '/';
  at = std::to_chars(at, buf + sizeof buf, count).ptr;
  return std::string(buf, at);
}

constexpr double kPublishMs = 4;

bool IsPermissionError(int err) { return err == EACCES || err == EPERM || err == EROFS; }

}  // namespace

void QorIWDUtils::RunPass(PassPaths paths) {
  double start = platform::NowMsPrecise();
  // The pass works on its own copy of the paths: a new root set meanwhile
  // does not move it.
  std::vector<std::string> archives = ListArchives(paths.main_path);
  uint32_t count = uint32_t(archives.size());
  {
    std::lock_guard<std::mutex> hold(lock);
    progress_.archive_count = count;
    PublishLocked();
  }

  ImageFolderIndex index(paths.images_path);
  std::vector<uint8_t> buffer;
  PassEnd end = PassEnd::kDone;
  for (uint32_t i = 0; i < count && end == PassEnd::kDone; ++i) {
    if (cancel.load()) {
      end = PassEnd::kCancelled;
      break;
    }
    {
      // One step under the lock, so a reader never sees the new archive
      // with the old one's counters.
      std::lock_guard<std::mutex> hold(lock);
      progress_.progress_text = ArchiveProgressText(i + 1, count);
      progress_.archive_index = i + 1;
      progress_.archive_name = archives[i];
      progress_.entries_seen = progress_.entries_skipped = progress_.entries_copied = 0;
      progress_.entries_refused = progress_.entries_failed = 0;
      progress_.archive_entries_done = progress_.archive_entries = 0;
      PublishLocked();
    }
    end = CopyArchive(paths.main_path + "/" + archives[i], archives[i], index, buffer);
  }

  // A finished pass leaves the panel open on its result until the user
  // closes it (Cancel closes it itself).
  if (end == PassEnd::kPermission) {
    PostMessage("Can't move IWI's due to file permissions.\n\nPlease retart the program as administrator.",
                "close iwd_images_menu;");
  }

  IwdProgress done;
  {
    std::lock_guard<std::mutex> hold(lock);
    progress_.running = false;
    progress_.ended = true;
    progress_.cancelled = end == PassEnd::kCancelled;
    progress_.permission_failure = end == PassEnd::kPermission;
    PublishLocked();
    done = progress_;
  }
  Logger().log("IWDToImages:: %s^7: %u of %u archives, %u iwis moved, %u skipped, %u refused, %u failed (%.1f ms)",
               end == PassEnd::kDone ? "^2Done" : end == PassEnd::kCancelled ? "^5Cancelled" : "^1Stopped",
               unsigned(done.archive_index), unsigned(done.archive_count), unsigned(done.total_copied),
               unsigned(done.total_skipped), unsigned(done.total_refused), unsigned(done.total_failed),
               platform::NowMsPrecise() - start);
  {
    std::lock_guard<std::mutex> hold(lock);
    running_.store(false);
  }
  pass_done_.notify_all();
}

QorIWDUtils::PassEnd QorIWDUtils::CopyArchive(const std::string& archive_path, const std::string& name,
                                              ImageFolderIndex& index, std::vector<uint8_t>& buffer) {
  IwdArchiveReport report;
  report.name = name;
  PassEnd end = PassEnd::kDone;

  IwdArchive archive;
  if (!archive.Open(archive_path)) {
    Logger().warning("IWDToImages:: '%s' is not a readable ZIP archive", PrintableEntryName(name).c_str());
    report.opened = false;
  } else {
    if (archive.overlapping_entries() > 0)
      Logger().warning("IWDToImages:: '%s' has %u entries whose data overlaps another entry's; they are not moved",
                       PrintableEntryName(name).c_str(), unsigned(std::min<uint64_t>(archive.overlapping_entries(), UINT32_MAX)));
    {
      std::lock_guard<std::mutex> hold(lock);
      progress_.archive_entries = uint32_t(std::min<uint64_t>(archive.announced_entries(), UINT32_MAX));
      PublishLocked();
    }
    IwdStep step = archive.First();
    uint32_t entries = 0;
    // The panel reads the board once a frame: the counters go to it after
    // a 16th entry that ends kPublishMs or more after the last went, and at
    // the archive's end. (Publishing after every entry was a sixth of a
    // second pass over present images.)
    double published = platform::NowMsPrecise();
    for (; step == IwdStep::kEntry; step = archive.Next()) {
      if (cancel.load()) {
        end = PassEnd::kCancelled;
        break;
      }
      EntryEnd entry = CopyEntry(archive, name, index, buffer);
      ++entries;
      // The clock is read every 16th entry: a present image takes well
      // under a microsecond, about what reading the clock costs.
      const double now = entries % 16 == 0 ? platform::NowMsPrecise() : published;
      {
        std::lock_guard<std::mutex> hold(lock);
        progress_.archive_entries_done = entries;
        if (now - published >= kPublishMs) {
          PublishLocked();  // the entry's counters came just before
          published = now;
        }
      }
      if (entry == EntryEnd::kPermission) {
        end = PassEnd::kPermission;
        break;
      }
    }
    {
      std::lock_guard<std::mutex> hold(lock);
      PublishLocked();
    }
    if (step == IwdStep::kBroken)
      Logger().warning("IWDToImages:: the entry list of '%s' is broken after %u entries",
                       PrintableEntryName(name).c_str(), unsigned(entries));
  }

  std::lock_guard<std::mutex> hold(lock);
  report.seen = progress_.entries_seen;
  report.skipped = progress_.entries_skipped;
  report.copied = progress_.entries_copied;
  report.refused = progress_.entries_refused;
  report.failed = progress_.entries_failed;
  reports_.push_back(std::move(report));
  return end;
}

QorIWDUtils::EntryEnd QorIWDUtils::CopyEntry(IwdArchive& archive, const std::string& archive_name,
                                             ImageFolderIndex& index, std::vector<uint8_t>& buffer) {
  IwdEntryInfo info;
  if (!archive.Info(info)) {
    Logger().warning("IWDToImages:: an entry of '%s' could not be read", PrintableEntryName(archive_name).c_str());
    return EntryEnd::kIgnored;
  }
  if (!IsIwiEntryName(info.name)) return EntryEnd::kIgnored;
  Count(&IwdProgress::entries_seen, &IwdProgress::total_seen);

  auto refuse = [&](const char* why) {
    Logger().warning("Copy IWI Error: '%s' in '%s' not moved: %s", PrintableEntryName(info.name).c_str(),
                     PrintableEntryName(archive_name).c_str(), why);
    Count(&IwdProgress::entries_refused, &IwdProgress::total_refused);
    return EntryEnd::kRefused;
  };
  auto fail = [&](int err) {
    if (IsPermissionError(err) || err == ENOENT || err == ENOTDIR) {
      ImageResult code = IsPermissionError(err) ? img::kPermission : img::kCantOpen;
      Logger().warning("Copy IWI Error: %s", QorLogger::error_text(code).c_str());
    } else {
      Logger().warning("Copy IWI Error: '%s' could not be written: %s", PrintableEntryName(info.name).c_str(),
                       std::generic_category().message(err).c_str());
    }
    Count(&IwdProgress::entries_failed, &IwdProgress::total_failed);
    return IsPermissionError(err) ? EntryEnd::kPermission : EntryEnd::kFailed;
  };

  // Where it would go; a name that leaves raw/images goes nowhere.
  std::optional<std::string> target = IwdImageTarget(info.name);
  if (!target) return refuse("its name leaves raw/images");
  if (index.InLinkedFolder(*target)) return refuse("its folder in raw/images is a symbolic link");
  // Already there (before any decompression, so a second pass only
  // walks the entry list).
  if (index.Contains(*target)) {
    Count(&IwdProgress::entries_skipped, &IwdProgress::total_skipped);
    return EntryEnd::kPresent;
  }
  // Facts that cannot be true are refused before anything is made.
  if (IwdRead check = archive.Check(info); check != IwdRead::kOk) return refuse(IwdReadText(check));

  // Decompress into a file that takes its name only once every
  // byte is in and checked.
  std::string path;
  if (int err = index.PrepareTarget(*target, path); err != 0) return fail(err);
  platform::AtomicFile out;
  if (int err = out.Open(path, std::string(kPartialSuffix)); err != 0) return fail(err);
  IwdRead read = archive.Extract(info, buffer, [&out](const uint8_t* data, size_t size) {
    return out.Write(data, size);
  });
  if (read == IwdRead::kSinkFailed) {
    int err = out.write_error();
    out.Abandon();
    return fail(err ? err : EIO);
  }
  if (read != IwdRead::kOk) {
    out.Abandon();
    return refuse(IwdReadText(read));
  }
  int err = out.Commit();
  if (err != 0 && err != EEXIST) return fail(err);
  index.Add(*target);
  if (err == EEXIST) {  // written by someone else meanwhile: theirs stays
    Count(&IwdProgress::entries_skipped, &IwdProgress::total_skipped);
    return EntryEnd::kPresent;
  }
  Count(&IwdProgress::entries_copied, &IwdProgress::total_copied);
  return EntryEnd::kWritten;
}
