// Shared by the IWD mover tests: a scratch game root per test (its name
// holds the pid: other developers run the same tests at the same time),
// archives from the fixture writer, tree listings and file reads.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>  // Required for: getpid()

#include <cstdlib>     // Required for: mkdtemp()
#include <filesystem>  // Required for: recursive_directory_iterator, remove_all()
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "imaging/iwd_utils.h"
#include "tools/fixture/iwd_writer.h"

namespace iwd_test {

class TempRoot {
 public:
  TempRoot() {
    std::string pattern = testing::TempDir() + "vantor_iwd_" + std::to_string(::getpid()) + "_XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (::mkdtemp(buf.data())) path_ = buf.data();
    EXPECT_FALSE(path_.empty()) << "mkdtemp failed under " << testing::TempDir();
  }
  ~TempRoot() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TempRoot(const TempRoot&) = delete;
  TempRoot& operator=(const TempRoot&) = delete;

  const std::string& path() const { return path_; }
  std::string Sub(const std::string& rel) const { return path_ + "/" + rel; }
  std::string images() const { return Sub("raw/images"); }

  // main/<name> from a description.
  void Archive(const std::string& name, const fixture::IwdDesc& desc) const {
    ASSERT_TRUE(fixture::WriteIwdFile(Sub("main/" + name), desc));
  }
  void MakeImagesFolder() const { std::filesystem::create_directories(images()); }

 private:
  std::string path_;
};

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// Every regular file under `dir`, by path relative to it, with its bytes.
inline std::map<std::string, std::vector<uint8_t>> Tree(const std::string& dir) {
  std::map<std::string, std::vector<uint8_t>> out;
  std::error_code ec;
  for (std::filesystem::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file()) out[std::filesystem::relative(it->path(), dir).string()] = ReadBytes(it->path());
  return out;
}

// The pending message the mover left on its board since the last call: the
// command posted and the error-box text that came with it ("" for none).
struct IwdMessage {
  std::string text;
  std::string command;
};
inline std::optional<IwdMessage> TakeMessage(NoticeBoard& board) {
  BoardSnapshot view;
  board.Drain(view);
  if (view.commands.empty()) return std::nullopt;
  EXPECT_EQ(view.commands.size(), 1u);
  EXPECT_LE(view.errors.size(), 1u);
  return IwdMessage{view.errors.empty() ? "" : view.errors.back(), view.commands.back()};
}

// Runs a whole pass over `root` and waits for it.
inline IwdProgress RunPass(QorIWDUtils& utils, const std::string& root) {
  utils.SetRoot(root);
  EXPECT_TRUE(utils.IWDToImages());
  utils.WaitForPass();
  return utils.Progress();
}

}  // namespace iwd_test
