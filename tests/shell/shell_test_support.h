// Shared by the registry, logger, settings and actions tests: a scratch
// folder per test, whole-file reads, stored values as bytes, and a capture
// of the program logger's lines.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>   // Required for: ranges::sort(), ranges::any_of()
#include <cstdint>
#include <filesystem>  // Required for: directory_iterator
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/logger.h"
#include "tests/support/files.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace shell_test {

// A fresh folder per test (tests/support/temp_dir.h); VANTOR_CONFIG_DIR
// points at it while it lives.
class TempDir : public test_support::TempDir {
 public:
  TempDir() : test_support::TempDir("vantor_shell"), config_dir_("VANTOR_CONFIG_DIR", path()) {}

  // Names of the files in the folder, sorted.
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(path())) names.push_back(e.path().filename().string());
    std::ranges::sort(names);
    return names;
  }

 private:
  test_support::ScopedEnv config_dir_;
};

using test_support::ReadText;
using test_support::WriteText;

// Values as the settings store holds them: a little-endian dword, a string
// with its NUL.
using Bytes = std::vector<uint8_t>;
inline Bytes Dword(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }
inline Bytes Sz(const std::string& s) { return Bytes(s.c_str(), s.c_str() + s.size() + 1); }

// Collects every line of the program logger while it lives and restores the
// logger's switches afterwards.
class LogCapture {
 public:
  LogCapture() {
    Logger().set_sink([this](std::string_view line) { std::lock_guard hold(*mutex_); lines_.emplace_back(line); });
  }
  ~LogCapture() {
    Logger().set_sink(nullptr);
    Logger().set_supress_warnings(false);
    Logger().set_log_xmodel(true);
  }

  std::vector<std::string> lines() const { std::lock_guard hold(*mutex_); return lines_; }
  bool Contains(std::string_view part) const {
    return std::ranges::any_of(lines(), [&](const std::string& line) { return line.find(part) != std::string::npos; });
  }
  std::string Joined() const {
    std::string all;
    for (const std::string& line : lines()) all += line + "\n";
    return all;
  }

 private:
  // On the heap: the thread checker forgets a lock whose memory is freed,
  // but not one on a stack frame that a later test reuses for a lock of its
  // own, which it would then take for this one (a false lock-order report).
  std::unique_ptr<std::mutex> mutex_ = std::make_unique<std::mutex>();
  std::vector<std::string> lines_;
};

}  // namespace shell_test
