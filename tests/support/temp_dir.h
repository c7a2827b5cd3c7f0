// A fresh folder under the test temp dir for one test, removed with
// everything in it. Its name holds the process id: other developers run the
// same tests on the same machine at the same time.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>  // Required for: getpid()

#include <cstdlib>     // Required for: mkdtemp()
#include <filesystem>  // Required for: remove_all()
#include <string>

namespace test_support {

class TempDir {
 public:
  explicit TempDir(const std::string& prefix = "vantor") {
    std::string pattern = testing::TempDir() + prefix + "_" + std::to_string(::getpid()) + "_XXXXXX";
    if (::mkdtemp(pattern.data())) path_ = pattern;
    EXPECT_FALSE(path_.empty()) << "mkdtemp failed under " << testing::TempDir();
  }
  ~TempDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string Sub(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace test_support
