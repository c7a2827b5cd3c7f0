#include "cli/progress_line.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/logger.h"
#include "cli/terminal_text.h"

ProgressLine::ProgressLine(bool terminal) : terminal_(terminal) {
  Logger().set_sink([this](std::string_view line) { Log(line); });
}

void ProgressLine::Log(std::string_view line) {
  std::string text = ConvertColourCodes(line, terminal_);
  std::lock_guard<std::mutex> hold(mutex_);
  ClearLocked();
  text.push_back('\n');
  std::fwrite(text.data(), 1, text.size(), stderr);
}

ProgressLine::~ProgressLine() {
  Logger().set_sink(nullptr);
  std::lock_guard<std::mutex> hold(mutex_);
  ClearLocked();
}

void ProgressLine::Draw(float fill, std::string_view label) {
  if (!terminal_) return;
  constexpr int kWidth = 24;
  const int filled = std::clamp(int(std::lround(double(fill) * kWidth)), 0, kWidth);
  std::string line = "\r[";
  line.append(size_t(filled), '#');
  line.append(size_t(kWidth - filled), '.');
  line += "] ";
  line += label;
  line += "\033[K";
  std::lock_guard<std::mutex> hold(mutex_);
  if (paused_) return;
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
  shown_ = true;
}

void ProgressLine::Line(const std::string& text) {
  std::lock_guard<std::mutex> hold(mutex_);
  ClearLocked();
  std::fprintf(stderr, "%s\n", Printable(text).c_str());
}

void ProgressLine::Pause(bool paused) {
  std::lock_guard<std::mutex> hold(mutex_);
  paused_ = paused;
  ClearLocked();
}

void ProgressLine::ClearLocked() {
  if (!shown_) return;
  std::fputs("\r\033[K", stderr);
  shown_ = false;
}
