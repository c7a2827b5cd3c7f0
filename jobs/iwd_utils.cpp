// The mover's object: paths, the image check and its counter thread, the
// archive list, starting and stopping the copy pass, and what the main
// thread reads. The pass itself is in jobs/iwd_to_images.cpp.
#include "jobs/iwd_utils.h"

#include <algorithm>   // Required for: sort()
#include <charconv>    // Required for: to_chars()
#include <chrono>      // Required for: milliseconds
#include "base/logger.h"
#include "imaging/iwd_entry_name.h"
#include "imaging/iwd_list.h"
#include "platform/folder_list.h"
#include "platform/fs_paths.h"

namespace {

std::string Decimal(uint32_t v) {
  char buf[16];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

}  // namespace

float IwdProgress::Fraction() const {
  if (archive_count == 0) return running ? 0.0f : 1.0f;
  if (!running) return float(archive_index) / float(archive_count);
  double done = archive_index > 0 ? archive_index - 1 : 0;
  if (archive_entries > 0) done += std::min(1.0, double(archive_entries_done) / archive_entries);
  return float(std::min(1.0, done / archive_count));
}

std::string IwdProgress::IwiProgressText() const {
  return "\n\n" + Decimal(entries_copied) + "\n\n" + Decimal(entries_skipped);
}

std::string IwdProgress::ResultText() const {
  if (!ended) return "";
  return Decimal(total_copied) + " moved, " + Decimal(total_skipped) + " skipped, " +
         Decimal(total_refused + total_failed) + " failed";
}

QorIWDUtils::~QorIWDUtils() {
  cancel.store(true);
  std::lock_guard<std::mutex> hold(thread_lock_);
  if (count_thread_.joinable()) count_thread_.join();
  if (pass_thread_.joinable()) pass_thread_.join();
}

// ------------------------------------------------------------ paths

void QorIWDUtils::SetPathsLocked(const std::string& new_root) {
  root = platform::NormalizePath(new_root);
  if (root.empty() || root.back() != '/') root += '/';
  // The folders as they exist, matched without case like every lookup.
  std::string images = root + "raw/images", main = root + "main";
  images_path = platform::ResolveExisting(images).value_or(images);
  main_path = platform::ResolveExisting(main).value_or(main);
}

void QorIWDUtils::SetRoot(const std::string& new_root) {
  std::lock_guard<std::mutex> hold(lock);
  SetPathsLocked(new_root);
}

std::string QorIWDUtils::images_folder() const {
  std::lock_guard<std::mutex> hold(lock);
  return images_path;
}

std::string QorIWDUtils::main_folder() const {
  std::lock_guard<std::mutex> hold(lock);
  return main_path;
}

// ------------------------------------------------------------ the image check

void QorIWDUtils::CheckForImages(const std::string& new_root) {
  if (new_root.empty() || !platform::FolderExists(new_root)) {
    Logger().log("CheckForImages:: in-valid Path");
    return;
  }
  std::string images, main;
  {
    std::lock_guard<std::mutex> hold(lock);
    SetPathsLocked(new_root);
    images = images_path;
    main = main_path;
    last_count_.reset();
  }
  if (!platform::FolderExists(images) || !platform::FolderExists(main)) {
    Logger().log("CheckForImages:: Could not find 'main' / 'raw/images'");
    return;
  }
  std::lock_guard<std::mutex> hold(thread_lock_);
  if (count_thread_.joinable()) count_thread_.join();
  count_thread_ = std::thread([this] { DirectoryCount(); });
}

void QorIWDUtils::WaitForCheck() {
  std::lock_guard<std::mutex> hold(thread_lock_);
  if (count_thread_.joinable()) count_thread_.join();
}

std::optional<uint32_t> QorIWDUtils::last_count() const {
  std::lock_guard<std::mutex> hold(lock);
  return last_count_;
}

uint32_t QorIWDUtils::DirectoryCount() {
  std::string folder = images_folder();
  uint32_t count = 0;
  int err = platform::ListFolder(folder, [&count](std::string_view name, bool) {
    // An image still being written (or left by a killed pass) is not one.
    if (name.find(".iwi") != std::string_view::npos && !name.ends_with(kPartialSuffix)) ++count;
  });
  if (err) Logger().log("DirectoryCount:: Error: %u", unsigned(err));
  {
    std::lock_guard<std::mutex> hold(lock);
    last_count_ = count;
  }
  ImageCheck(count);
  return count;
}

bool QorIWDUtils::ImageCheck(uint32_t count) {
  if (count >= iwd::kCompleteImageCount) return false;
  PostMessage("", "open iwd_images_menu;");
  std::string folder = images_folder();
  Logger().log(
      "ImageCheck:: 'raw/images' looks incomplete with only: '%i iwis' suggested user to run IWDToImages, "
      "Path: '%s'",
      int(count), folder.c_str());
  std::lock_guard<std::mutex> hold(lock);
  asked_ = true;
  menu_flags = {true, true};
  return true;
}

bool QorIWDUtils::asked() const {
  std::lock_guard<std::mutex> hold(lock);
  return asked_;
}

bool QorIWDUtils::menu_offered() const {
  std::lock_guard<std::mutex> hold(lock);
  return menu_flags[0] && menu_flags[1];
}

// ------------------------------------------------------------ the archive list

std::vector<std::string> QorIWDUtils::IWDList() { return ListArchives(main_folder()); }

std::vector<std::string> QorIWDUtils::ListArchives(const std::string& folder) {
  int err = 0;
  std::vector<std::string> names = ListIwdArchives(folder, err);
  if (err) Logger().log("IWDList:: Error: %u", unsigned(err));
  return names;
}

// ------------------------------------------------------------ the pass and the main thread

bool QorIWDUtils::IWDToImages() {
  std::lock_guard<std::mutex> hold(thread_lock_);
  if (running_.load()) return false;
  PassPaths paths;
  {
    std::lock_guard<std::mutex> hold_state(lock);
    if (root.empty()) return false;
    paths = {root, images_path, main_path};
    IwdProgress fresh;
    fresh.running = true;
    progress_ = fresh;
    reports_.clear();
    PublishLocked();
  }
  if (pass_thread_.joinable()) pass_thread_.join();  // finished: running_ is clear
  cancel.store(false);
  running_.store(true);
  pass_thread_ = std::thread([this, paths = std::move(paths)]() mutable { RunPass(std::move(paths)); });
  return true;
}

void QorIWDUtils::WaitForPass() {
  std::lock_guard<std::mutex> hold(thread_lock_);
  if (pass_thread_.joinable()) pass_thread_.join();
}

bool QorIWDUtils::WaitForPassFor(int ms) {
  std::unique_lock<std::mutex> hold(lock);
  return pass_done_.wait_for(hold, std::chrono::milliseconds(ms), [this] { return !running_.load(); });
}

void QorIWDUtils::Reset() {
  if (running_.load()) return;
  std::lock_guard<std::mutex> hold(lock);
  progress_ = IwdProgress{};
  asked_ = false;
  menu_flags = {false, false};
  last_count_.reset();
  reports_.clear();
  PublishLocked();
}

IwdProgress QorIWDUtils::Progress() const {
  std::lock_guard<std::mutex> hold(lock);
  return progress_;
}

void QorIWDUtils::PostMessage(std::string text, std::string command) {
  if (!text.empty()) board_.ShowError(std::move(text));
  board_.PostCommand(std::move(command));
}

void QorIWDUtils::PublishLocked() {
  const IwdProgress& p = progress_;
  std::string totals = "copied " + Decimal(p.total_copied) + "  skipped " + Decimal(p.total_skipped);
  if (p.total_refused) totals += "  refused " + Decimal(p.total_refused);
  if (p.total_failed) totals += "  failed " + Decimal(p.total_failed);
  // Before the first archive the bar is empty, whatever Fraction() makes
  // of an archive count still 0.
  const float fill = p.running || p.archive_index > 0 ? p.Fraction() : 0.0f;
  board_.Publish({{{iwd::kArchiveText, p.progress_text},
                   {iwd::kImagesText, p.IwiProgressText()},
                   {iwd::kArchiveNameText, p.archive_name},
                   {iwd::kPassText, std::move(totals)},
                   {iwd::kResultText, p.ResultText()}},
                  {{iwd::kProgressName, fill}}});
}

std::vector<IwdArchiveReport> QorIWDUtils::TakeArchiveReports() {
  std::lock_guard<std::mutex> hold(lock);
  std::vector<IwdArchiveReport> out;
  out.swap(reports_);
  return out;
}

void QorIWDUtils::Count(uint32_t IwdProgress::*archive_field, uint32_t IwdProgress::*total_field) {
  std::lock_guard<std::mutex> hold(lock);
  ++(progress_.*archive_field);
  ++(progress_.*total_field);
}

QorIWDUtils& IWDUtils() {
  static QorIWDUtils* utils = new QorIWDUtils;
  return *utils;
}
