// Shared by the exporter tests: a scratch folder per test (named with the
// pid, as other developers run the same tests at once), write-then-load of a
// fixture model, file reading, a printf helper for the expected texts, the
// CR LF conversion of the files' text mode, a snapshot proving the model is
// left untouched, and running an external checker.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>  // Required for: getpid()

#include "model/xmodel.h"
#include "tests/support/files.h"
#include "tools/fixture/fixture_writer.h"

namespace export_test {

namespace fs = std::filesystem;

using test_support::ReadText;

// printf into a string, for texts built from the formats the files are
// defined with.
inline std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
inline std::string Printf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out(size_t(n > 0 ? n : 0), '\0');
  std::vsnprintf(out.data(), out.size() + 1, format, args);
  va_end(args);
  return out;
}

// What a text-mode write puts on disk: every "\n" as "\r\n".
inline std::string OnDisk(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// Every line feed is preceded by a carriage return.
inline ::testing::AssertionResult EveryLineEndIsCrLf(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
      return ::testing::AssertionFailure() << "bare LF at byte " << i;
  return ::testing::AssertionSuccess();
}

// The lines of a file, CR LF ends removed.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line)) {
    while (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// Everything an export could touch in the model's data, byte for byte.
struct ModelSnapshot {
  explicit ModelSnapshot(const Xmodel& m) : scale(m.scale), bones(m.bones), lods(m.lods) {}

  ::testing::AssertionResult Same(const Xmodel& m) const {
    if (std::memcmp(&scale, &m.scale, sizeof scale) != 0) return ::testing::AssertionFailure() << "scale changed";
    if (bones.size() != m.bones.size() || lods.size() != m.lods.size())
      return ::testing::AssertionFailure() << "list sizes changed";
    for (size_t i = 0; i < bones.size(); ++i)
      if (bones[i].name != m.bones[i].name || bones[i].parent != m.bones[i].parent ||
          std::memcmp(bones[i].position, m.bones[i].position, sizeof bones[i].position) != 0 ||
          std::memcmp(bones[i].rotation, m.bones[i].rotation, sizeof bones[i].rotation) != 0)
        return ::testing::AssertionFailure() << "bone " << i << " changed";
    for (size_t l = 0; l < lods.size(); ++l) {
      const XmodelLod& a = lods[l];
      const XmodelLod& b = m.lods[l];
      if (a.obj_index_base != b.obj_index_base || a.materials != b.materials ||
          a.unique_materials != b.unique_materials || a.surfaces.size() != b.surfaces.size())
        return ::testing::AssertionFailure() << "level " << l << " changed";
      for (size_t s = 0; s < a.surfaces.size(); ++s) {
        const XmodelSurface& x = a.surfaces[s];
        const XmodelSurface& y = b.surfaces[s];
        if (x.vertices.size() != y.vertices.size() || x.triangles != y.triangles ||
            std::memcmp(x.vertices.data(), y.vertices.data(), x.vertices.size() * sizeof(XmodelVertex)) != 0)
          return ::testing::AssertionFailure() << "surface " << s << " of level " << l << " changed";
      }
    }
    return ::testing::AssertionSuccess();
  }

  float scale;
  std::vector<XmodelBone> bones;
  std::vector<XmodelLod> lods;
};

// Runs a shell command; its standard output, and its exit status in `status`.
inline std::string RunCommand(const std::string& command, int* status = nullptr) {
  std::string out;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) {
    if (status) *status = -1;
    return out;
  }
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
  int rc = ::pclose(pipe);
  if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  return out;
}

inline bool HaveProgram(const std::string& name) {
  int status = 0;
  RunCommand("command -v " + name + " >/dev/null 2>&1", &status);
  return status == 0;
}

// A folder of its own per test, and a model written there and loaded
// through its surfaces.
class ExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::path(::testing::TempDir()) / ("vantor_exp_" + std::to_string(::getpid()) + "_" +
                                             info->test_suite_name() + "_" + info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  // Writes the model's files under the test folder and loads it.
  void Load(const fixture::ModelFiles& files, float scale = 1.0f) {
    std::string path = fixture::WriteModel((dir_ / "game").string(), files);
    ASSERT_FALSE(path.empty());
    model_.game = files.xmodel.layout;
    model_.scale = scale;
    ASSERT_EQ(model_.LoadxmodelFull(path), err::kSuccess);
    ASSERT_EQ(model_.LoadSurface(), err::kSuccess);
  }

  std::string Out() const { return (dir_ / "out").string(); }
  fs::path OutFile(const std::string& name) const { return dir_ / "out" / name; }

  fs::path dir_;
  Xmodel model_;
};

}  // namespace export_test
