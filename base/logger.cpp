// The logger: formatting into a bounded line, the file in sync or normal mode,
// the start header, critical errors, and the colour codes for a terminal.
#include "base/logger.h"


#include <cstdarg>  // Required for: va_list
#include <cstdlib>  // Required for: _Exit()

#include "base/version.h"

namespace {

// Formats into `line` (kLineCapacity bytes). A longer text is cut at 1023
// bytes, and a UTF-8 character the cut would split is dropped whole.
std::string_view FormatLine(char* line, const char* format, va_list args) {
  int n = std::vsnprintf(line, QorLogger::kLineCapacity, format, args);
  if (n < 0) {
    line[0] = '\0';
    return {};
  }
  size_t len = size_t(n);
  if (len < QorLogger::kLineCapacity) return {line, len};
  len = QorLogger::kLineCapacity - 1;
  size_t lead = len;
  size_t continuation = 0;
  while (continuation < 3 && lead > 0 && (uint8_t(line[lead - 1]) & 0xC0) == 0x80) {
    --lead;
    ++continuation;
  }
  if (lead > 0) {
    uint8_t c = uint8_t(line[lead - 1]);
    size_t need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    if (c >= 0xC0 && need > continuation + 1) len = lead - 1;
  }
  line[len] = '\0';
  return {line, len};
}

const char* ModeName(int32_t mode) { return mode == 1 ? "Sync every write" : "Normal"; }

}  // namespace

QorLogger::~QorLogger() {
  if (file_) std::fclose(file_);
}

void QorLogger::set_file_name(std::string name) {
  std::lock_guard<std::mutex> hold(mutex_);
  if (file_) {
    std::fclose(file_);
    file_ = nullptr;
    file_open_ = false;
  }
  file_name_ = std::move(name);
}

std::string QorLogger::file_name() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return file_name_;
}

int32_t QorLogger::sync_mode() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return sync_mode_;
}

bool QorLogger::OpenLocked() {
  if (!file_ && !file_name_.empty()) {
    file_ = std::fopen(file_name_.c_str(), "a+");
    file_open_ = file_ != nullptr;
  }
  return file_open_;
}

namespace {
thread_local QorLogger::Sink* t_thread_sink = nullptr;
}  // namespace

QorLogger::Sink* QorLogger::set_thread_sink(Sink* sink) {
  Sink* previous = t_thread_sink;
  t_thread_sink = sink;
  return previous;
}

void QorLogger::WriteLocked(std::string_view line) {
  lines_written_.fetch_add(1, std::memory_order_relaxed);
  if (t_thread_sink && *t_thread_sink)
    (*t_thread_sink)(line);
  else if (sink_)
    sink_(line);
  if (!OpenLocked()) return;  // dropped; the next line tries again
  std::fwrite(line.data(), 1, line.size(), file_);
  std::fputc('\n', file_);
  if (sync_mode_ == 1) {
    std::fclose(file_);
    file_ = nullptr;
    file_open_ = false;
  } else {
    // Kept open, but each line reaches the file, so a crash keeps the lines
    // that led to it.
    std::fflush(file_);
  }
}

bool QorLogger::set_sync_mode(int32_t mode) {
  if (mode != 0 && mode != 1) return false;
  char line[kLineCapacity];
  std::snprintf(line, sizeof line, "Logging Mode Changed: %s", ModeName(mode));
  std::lock_guard<std::mutex> hold(mutex_);
  sync_mode_ = mode;
  WriteLocked(line);
  return true;
}

void QorLogger::write_header() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  write_header(local);
}

void QorLogger::write_header(const std::tm& t) {
  char line[kLineCapacity];
  std::lock_guard<std::mutex> hold(mutex_);
  if (!OpenLocked()) return;
  std::snprintf(line, sizeof line, "\n*** Application Started (Version %s) : %i/%i/%i %i:%i:%i ***\n",
                kVantorVersion, t.tm_mday, t.tm_mon + 1, t.tm_year + 1900, t.tm_hour, t.tm_min,
                t.tm_sec);
  WriteLocked(line);
  std::snprintf(line, sizeof line, "Logging Mode: %s", ModeName(sync_mode_));
  WriteLocked(line);
}

void QorLogger::Write(std::string_view line, bool to_panel) {
  std::lock_guard<std::mutex> hold(mutex_);
  if (to_panel && model_log_attached_) model_log_lines_.emplace_back(line);
  WriteLocked(line);
}

void QorLogger::log(const char* format, ...) {
  char line[kLineCapacity];
  va_list args;
  va_start(args, format);
  std::string_view text = FormatLine(line, format, args);
  va_end(args);
  Write(text, false);
}

void QorLogger::warning(const char* format, ...) {
  if (supress_warnings_.load()) return;
  static constexpr std::string_view kPrefix = "------ WARNING: ";
  char line[kPrefix.size() + kLineCapacity];
  kPrefix.copy(line, kPrefix.size());
  va_list args;
  va_start(args, format);
  std::string_view text = FormatLine(line + kPrefix.size(), format, args);
  va_end(args);
  const std::string_view whole(line, kPrefix.size() + text.size());
  Write(whole, true);
}

void QorLogger::log_to_panel(const char* format, ...) {
  char line[kLineCapacity];
  va_list args;
  va_start(args, format);
  std::string_view text = FormatLine(line, format, args);
  va_end(args);
  Write(text, true);
}

void QorLogger::model_log(const char* format, ...) {
  if (!log_xmodel_.load()) return;
  char line[kLineCapacity];
  va_list args;
  va_start(args, format);
  std::string_view text = FormatLine(line, format, args);
  va_end(args);
  Write(text, true);
}

void QorLogger::critical_error(std::string_view message) {
  std::function<void()> hook;
  CriticalBox box;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    hook = critical_error_hook_;
    box = critical_box_;
  }
  if (hook) hook();
  if (box) box("Qor_Fen - Critical Error", message);
  {
    std::lock_guard<std::mutex> hold(mutex_);
    std::string line = "------------ ERROR: ";
    line += message;
    WriteLocked(line);
    if (file_) std::fflush(file_);
  }
  std::fflush(nullptr);
  // Not exit(): other threads are still running, and the destructors of the
  // objects they use must not run under them. Nothing is saved.
  std::_Exit(1);
}

std::string QorLogger::error_text(int32_t code) {
  switch (code) {
    case 0: return "Unknown Error";
    case 5: return "Can't OpenFile";
    case 6: return "File Handel failed due to permissions, please run program as admin";
    case 8: return "File already loaded";
    case 10: return "Unknown DDS Error";
    case 12: return "Format Error";
    case 13: return "COMP size error";
    case 20: return "Unknown image format";
    default: return "Error Number: " + std::to_string(code);
  }
}

void QorLogger::close() {
  std::lock_guard<std::mutex> hold(mutex_);
  if (file_) std::fclose(file_);
  file_ = nullptr;
  file_open_ = false;
}

void QorLogger::attach_model_log() {
  std::lock_guard<std::mutex> hold(mutex_);
  model_log_attached_ = true;
}

std::vector<std::string> QorLogger::model_log_lines() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return model_log_lines_;
}

size_t QorLogger::model_log_size() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return model_log_lines_.size();
}

void QorLogger::clear_model_log() {
  std::lock_guard<std::mutex> hold(mutex_);
  model_log_lines_.clear();
}

void QorLogger::set_sink(Sink sink) {
  std::lock_guard<std::mutex> hold(mutex_);
  sink_ = std::move(sink);
}

void QorLogger::set_critical_error_hook(std::function<void()> hook) {
  std::lock_guard<std::mutex> hold(mutex_);
  critical_error_hook_ = std::move(hook);
}

void QorLogger::set_critical_box(CriticalBox box) {
  std::lock_guard<std::mutex> hold(mutex_);
  critical_box_ = std::move(box);
}

QorLogger& Logger() {
  static QorLogger* logger = new QorLogger;
  return *logger;
}

// ---------------------------------------------------------------------------
// Colour codes on a terminal
// ---------------------------------------------------------------------------

namespace {

// The ANSI sequence of each colour code; nullptr = not a code.
const char* AnsiColour(char digit) {
  switch (digit) {
    case '0': return "\033[0m";          // white: the terminal's own colour
    case '1': return "\033[31m";         // red
    case '2': return "\033[32m";         // green
    case '3': return "\033[34m";         // blue
    case '4': return "\033[38;5;208m";   // orange
    case '5': return "\033[38;5;117m";   // light blue
    case '7': return "\033[0m";          // white
    default: return nullptr;             // "^6" and the rest are plain text
  }
}

}  // namespace

std::string ConvertColourCodes(std::string_view line, bool ansi) {
  std::string out;
  out.reserve(line.size() + 16);
  bool coloured = false;
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (c == '^' && i + 1 < line.size()) {
      if (const char* seq = AnsiColour(line[i + 1])) {
        if (ansi) {
          out += seq;
          coloured = line[i + 1] != '0' && line[i + 1] != '7';
        }
        ++i;
        continue;
      }
    }
    // Names inside lines come from game files: on a terminal their control
    // characters must not become escape sequences.
    if (ansi && ((uint8_t(c) < 0x20 && c != '\n' && c != '\t') || c == 0x7f)) c = '?';
    out.push_back(c);
  }
  if (coloured) out += "\033[0m";
  return out;
}

void InstallStderrSink(QorLogger& logger, bool ansi) {
  logger.set_sink([ansi](std::string_view line) {
    std::string text = ConvertColourCodes(line, ansi);
    text.push_back('\n');
    std::fwrite(text.data(), 1, text.size(), stderr);
  });
}
