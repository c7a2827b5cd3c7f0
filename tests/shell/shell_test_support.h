// Shared by the registry, logger and settings tests: a scratch folder per
// test, whole-file reads, and a capture of the program logger's lines.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>   // Required for: sort()
#include <cstdlib>     // Required for: mkdtemp(), setenv()
#include <filesystem>  // Required for: remove_all()
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "shell/logger.h"

namespace shell_test {

// A fresh folder under the test temp dir, removed with everything in it.
// VANTOR_CONFIG_DIR points at it while it lives.
class TempDir {
 public:
  TempDir() {
    std::string pattern = testing::TempDir() + "vantor_shell_XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (::mkdtemp(buf.data())) path_ = buf.data();
    EXPECT_FALSE(path_.empty()) << "mkdtemp failed under " << testing::TempDir();
    if (const char* old = std::getenv("VANTOR_CONFIG_DIR")) old_config_dir_ = old;
    had_config_dir_ = std::getenv("VANTOR_CONFIG_DIR") != nullptr;
    ::setenv("VANTOR_CONFIG_DIR", path_.c_str(), 1);
  }
  ~TempDir() {
    if (had_config_dir_) {
      ::setenv("VANTOR_CONFIG_DIR", old_config_dir_.c_str(), 1);
    } else {
      ::unsetenv("VANTOR_CONFIG_DIR");
    }
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string Sub(const std::string& name) const { return path_ + "/" + name; }

  // Names of the files in the folder, sorted.
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(path_))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string path_;
  std::string old_config_dir_;
  bool had_config_dir_ = false;
};

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

// Collects every line of the program logger while it lives and restores the
// logger's switches afterwards.
class LogCapture {
 public:
  LogCapture() {
    Logger().set_sink([this](std::string_view line) {
      std::lock_guard<std::mutex> hold(mutex_);
      lines_.emplace_back(line);
    });
  }
  ~LogCapture() {
    Logger().set_sink(nullptr);
    Logger().set_supress_warnings(false);
    Logger().set_log_xmodel(true);
  }

  std::vector<std::string> lines() const {
    std::lock_guard<std::mutex> hold(mutex_);
    return lines_;
  }
  bool Contains(std::string_view part) const {
    for (const std::string& line : lines())
      if (line.find(part) != std::string::npos) return true;
    return false;
  }
  std::string Joined() const {
    std::string all;
    for (const std::string& line : lines()) all += line + "\n";
    return all;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
};

}  // namespace shell_test
