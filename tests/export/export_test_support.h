// Shared by the exporter tests: a scratch folder per test, write-then-load
// of a fixture model, and file reading.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "model/xmodel.h"
#include "tests/support/command.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"
#include "tools/fixture/fixture_writer.h"

namespace export_test {

namespace fs = std::filesystem;

using test_support::HaveProgram;
using test_support::ReadText;
using test_support::RunCommand;

// A folder of its own per test, and a model written there ("game") and
// loaded through its surfaces.
class ExportTest : public ::testing::Test {
 protected:
  void Load(const fixture::ModelFiles& files, float scale = 1.0f) {
    std::string path = fixture::WriteModel(dir_.Sub("game"), files);
    ASSERT_FALSE(path.empty());
    model_.game = files.xmodel.layout;
    model_.scale = scale;
    ASSERT_EQ(model_.LoadxmodelFull(path), err::kSuccess);
    ASSERT_EQ(model_.LoadSurface(), err::kSuccess);
  }

  std::string Out() const { return dir_.Sub("out"); }
  fs::path OutFile(const std::string& name) const { return fs::path(Out()) / name; }

  test_support::TempDir dir_{"vantor_exp"};
  Xmodel model_;
};

}  // namespace export_test
