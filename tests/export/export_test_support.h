// Shared by the exporter tests: a scratch folder per test (named with the
// pid, as other developers run the same tests at once), write-then-load of a
// fixture model, file reading, and a snapshot proving the model is left
// untouched.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>  // Required for: getpid()

#include "model/xmodel.h"
#include "tests/support/command.h"
#include "tests/support/files.h"
#include "tools/fixture/fixture_writer.h"

namespace export_test {

namespace fs = std::filesystem;

using test_support::HaveProgram;
using test_support::ReadText;
using test_support::RunCommand;

// Everything an export could touch in the model's data, byte for byte.
struct ModelSnapshot {
  static std::string Bytes(const Xmodel& m) {
    std::string out(reinterpret_cast<const char*>(&m.scale), sizeof m.scale);
    auto raw = [&out](const auto& x) { out.append(reinterpret_cast<const char*>(&x), sizeof x); };
    for (const XmodelBone& b : m.bones) out += b.name + '\0', raw(b.position), raw(b.rotation), raw(b.parent);
    for (const XmodelLod& l : m.lods) {
      raw(l.obj_index_base);
      for (const auto* names : {&l.materials, &l.unique_materials})
        for (const std::string& name : *names) out += name + '\0';
      for (const XmodelSurface& s : l.surfaces) {
        out.append(reinterpret_cast<const char*>(s.vertices.data()), s.vertices.size() * sizeof(XmodelVertex));
        out.append(reinterpret_cast<const char*>(s.triangles.data()), s.triangles.size() * sizeof(uint16_t));
      }
    }
    return out;
  }
  explicit ModelSnapshot(const Xmodel& m) : bytes(Bytes(m)) {}
  bool Same(const Xmodel& m) const { return bytes == Bytes(m); }
  std::string bytes;
};

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
