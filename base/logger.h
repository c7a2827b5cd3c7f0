// The program's diary: one process-wide logger writing "Log.txt" (plain
// lines, warnings, model-log lines, critical errors) and feeding the GUI's
// "Xmodel Log" list and, on the command line, standard error. Lines keep their
// colour codes (^1 red ... ^7 white); every thread logs, one line at a time.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#define VANTOR_PRINTF(format_index, first_arg) \
  __attribute__((format(printf, format_index, first_arg)))

class QorLogger {
 public:
  // The formatting buffer of one line: at most kLineCapacity - 1 characters
  // are kept, longer lines are cut.
  static constexpr size_t kLineCapacity = 1024;

  // Receives every line that is logged (after the warning and model-log
  // switches), under the logger's lock: it must not log itself.
  using Sink = std::function<void(std::string_view line)>;

  QorLogger() = default;
  ~QorLogger();
  QorLogger(const QorLogger&) = delete;
  QorLogger& operator=(const QorLogger&) = delete;

  // "Log.txt" at start-up, relative to the current directory. An empty name
  // writes no file (the sink still gets every line).
  void set_file_name(std::string name);
  std::string file_name() const;

  // 1 = "Sync every write" (closed after every line), 0 = "Normal" (open until
  // close()). Logs "Logging Mode Changed: %s". Any other mode: false, no change.
  bool set_sync_mode(int32_t mode);
  int32_t sync_mode() const;

  // The start-of-run header, with the local time or a given one.
  void write_header();
  void write_header(const std::tm& local_time);

  void log(const char* format, ...) VANTOR_PRINTF(2, 3);
  // "------ WARNING: " and the text, unless warnings are suppressed; kept
  // in the "Xmodel Log" list too.
  void warning(const char* format, ...) VANTOR_PRINTF(2, 3);
  // Written like log() and kept in the "Xmodel Log" list whatever the
  // model-log switch: failures and notices the user has to see, not only
  // the file.
  void log_to_panel(const char* format, ...) VANTOR_PRINTF(2, 3);
  // Only while the model log is on; also appended to the attached list.
  void model_log(const char* format, ...) VANTOR_PRINTF(2, 3);

  // Shows "Qor_Fen - Critical Error" with the message, logs
  // "------------ ERROR: " and the message, and ends the process with code 1.
  [[noreturn]] void critical_error(std::string_view message);

  // The text of an image load/convert result code.
  static std::string error_text(int32_t code);

  // Shutdown: closes the file if it is open.
  void close();

  // The two settings the logger consults ("log_supress_warnings" and
  // "log_xmodel"); the settings store pushes them here.
  void set_supress_warnings(bool on) { supress_warnings_.store(on); }
  void set_log_xmodel(bool on) { log_xmodel_.store(on); }
  bool supress_warnings() const { return supress_warnings_.load(); }
  bool log_xmodel() const { return log_xmodel_.load(); }

  // The "Xmodel Log" menu's lines. The GUI attaches the list when it builds the
  // menu; from then on model-log lines, warnings and log_to_panel lines are
  // kept in it.
  void attach_model_log();
  std::vector<std::string> model_log_lines() const;
  size_t model_log_size() const;
  void clear_model_log();

  // Lines written so far, any thread (the window redraws when the log moves).
  uint64_t lines_written() const { return lines_written_.load(std::memory_order_relaxed); }

  void set_sink(Sink sink);
  // Lines logged on the calling thread go to `sink` instead of the sink
  // above while it is set (the file still gets them); null puts the thread
  // back. Lets several workers run at once and each keep its model's lines
  // together. Returns the thread's previous one.
  static Sink* set_thread_sink(Sink* sink);
  // Runs first in critical_error (the shell destroys the splash there).
  void set_critical_error_hook(std::function<void()> hook);
  // Shows a critical error to the user (the program sets the desktop's
  // message box); without one the error goes to the log only.
  using CriticalBox = std::function<void(std::string_view title, std::string_view text)>;
  void set_critical_box(CriticalBox box);

 private:
  bool OpenLocked();
  void WriteLocked(std::string_view line);
  // One formatted line to the file and the sink; `to_panel` also hands it
  // to the log panel's list while one is attached.
  void Write(std::string_view line, bool to_panel);

  mutable std::mutex mutex_;  // every write, the file and the model-log list
  std::string file_name_;
  int32_t sync_mode_ = 0;
  FILE* file_ = nullptr;
  bool file_open_ = false;
  bool model_log_attached_ = false;
  std::vector<std::string> model_log_lines_;
  std::atomic<bool> supress_warnings_{false};  // "log_supress_warnings" default 0
  std::atomic<bool> log_xmodel_{true};         // "log_xmodel" default 1
  std::atomic<uint64_t> lines_written_{0};
  Sink sink_;
  std::function<void()> critical_error_hook_;
  CriticalBox critical_box_;
};

// The program's logger. Never destroyed, so threads still running at exit can
// log safely.
QorLogger& Logger();

// The line with its colour codes turned into ANSI terminal colours (`ansi`,
// which also makes other control characters harmless) or removed.
std::string ConvertColourCodes(std::string_view line, bool ansi);

// Echoes every line to standard error: ANSI colours when `ansi` (standard
// error is a terminal), plain text otherwise.
void InstallStderrSink(QorLogger& logger, bool ansi);
