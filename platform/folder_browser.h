// Choosing a folder: the desktop's own folder dialog (zenity or kdialog, run
// as a child process on a helper thread so the window keeps drawing), or the
// window's path entry when neither is installed; and the folder the browse
// starts in. Nothing here logs: what is worth a log line comes back as text
// for the caller's log.
#pragma once

#include <sys/types.h>  // Required for: pid_t

#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace platform {

enum class FolderBrowserKind { kZenity, kKdialog, kInWindow };

// VANTOR_FOLDER_BROWSER ("zenity", "kdialog" or "entry") when set; otherwise
// zenity when it is on PATH, else kdialog, else the in-window entry. An
// unknown value is named in `warning` and the choice made as if it were
// unset; `warning` is "" otherwise.
FolderBrowserKind PickFolderBrowser(std::string& warning);

// The Wine prefix's "Program Files (x86)" (where the games' mod tools are
// installed), else the desktop folder, else the home folder; "" when none of
// them exists. `note` is the log line for a missing "Program Files (x86)",
// "" when it was found.
std::string BrowseStartFolder(std::string& note);

// One folder dialog at a time, owned by one thread (the window's): Start it,
// then Poll each frame until it hands over the answer.
class FolderDialog {
 public:
  // Answers longer than this (a path plus its line feed) are refused.
  static constexpr size_t kMaxAnswerBytes = 4096;

  FolderDialog() = default;
  ~FolderDialog();
  FolderDialog(const FolderDialog&) = delete;
  FolderDialog& operator=(const FolderDialog&) = delete;

  // Opens the dialog with `title` and `start_folder` (may be "") pre-selected.
  // False, with the reason in `error`, while another dialog is running, for
  // kInWindow (the window draws that one itself) or when the dialog program
  // cannot be started.
  bool Start(FolderBrowserKind kind, std::string title, std::string start_folder, std::string& error);

  // Never blocks. Once the dialog has ended: the chosen folder, or "" on
  // cancel or failure, exactly once; nullopt before that and afterwards.
  // With the answer, `warning` says what went wrong with the dialog ("" when
  // nothing did, or it was only cancelled); it is left alone otherwise.
  std::optional<std::string> Poll(std::string& warning);

  // From a successful Start until Poll has handed over the answer or Cancel.
  bool Running() const;

  // Ends the dialog (its program is killed) and drops its answer; returns
  // once the helper thread is gone.
  void Cancel();

 private:
  // What the helper thread reports, under `mutex_`.
  struct Outcome {
    bool done = false;
    bool reaped = false;  // the child is waited for: its pid may be reused
    std::string answer;
    std::string warning;  // for the caller's log
  };

  void Wait();
  void KillChild();
  void Finish();

  bool running_ = false;
  pid_t pid_ = -1;
  int out_fd_ = -1;         // read end of the child's standard output
  int cancel_fds_[2] = {-1, -1};  // written by Cancel to wake the helper thread
  std::thread thread_;
  mutable std::mutex mutex_;
  Outcome outcome_;
};

}  // namespace platform
