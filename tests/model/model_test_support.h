// Shared by the model tests: a scratch folder per test, a scripted answer to
// the auto game switch question, and one-call write-then-load helpers over
// the fixture writer.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/xmodel.h"
#include "platform/question.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"
#include "tools/fixture/fixture_writer.h"

namespace model_test {

using test_support::TempDir;

// Answers the auto game switch question from a script and records it.
// Installed for the lifetime of the object.
struct ScriptedAnswerer : platform::QuestionAnswerer {
  explicit ScriptedAnswerer(bool yes) : answer(yes) { platform::SetQuestionAnswerer(this); }
  ~ScriptedAnswerer() override { platform::SetQuestionAnswerer(nullptr); }
  bool AskYesNo(std::string_view, std::string_view text) override {
    texts.emplace_back(text);
    return answer;
  }
  size_t asked() const { return texts.size(); }

  const bool answer;
  std::vector<std::string> texts;
};

using test_support::SamplesDir;

// A simple quad: four vertices on bone `bone`, two triangles.
inline fixture::SurfsSurface Quad(int16_t bone = 0) {
  fixture::SurfsSurface s;
  for (int i = 0; i < 4; ++i) {
    fixture::SurfsVertex& v = s.vertices.emplace_back();
    v.u = v.position[0] = float(i & 1);
    v.v = v.position[1] = float(i >> 1);
    v.position[2] = float(i) * 0.5f;
    v.primary_bone = bone;
  }
  s.triangles = {{0, 1, 3}, {0, 3, 2}};
  s.bone_table = fixture::ShortTable(4, uint16_t(bone));
  return s;
}

// A model named "fixture_test" whose level 0 holds `surfaces` (one material
// name each) over a chain of `bones` bones, all in `layout`.
inline fixture::ModelFiles ModelWithSurfaces(GameVersion layout, std::vector<fixture::SurfsSurface> surfaces,
                                             int bones = 4) {
  fixture::ModelFiles m = fixture::MakePropModel("fixture_test", layout);
  m.surfs[0].surfaces = std::move(surfaces);
  m.xmodel.materials[0].names.assign(m.surfs[0].surfaces.size(), "mtl_fixture_test");
  for (int b = 1; b < bones; ++b)
    m.parts.bones.push_back({.name = "j_bone_" + std::to_string(b), .parent = uint8_t(b - 1), .position = {1.0f}});
  return m;
}

// Writes `files` under `root` and runs LoadxmodelFull with `game` active.
inline ErrorCode WriteAndLoad(const std::string& root, const fixture::ModelFiles& files, Xmodel& m,
                              GameVersion game) {
  std::string path = fixture::WriteModel(root, files);
  EXPECT_FALSE(path.empty()) << "could not write " << files.name << " under " << root;
  m.game = game;
  return m.LoadxmodelFull(path);
}

// Writes `files` under `root` and reads only the xmodel file (SetPath and
// LoadXmodel) with `game` active.
inline ErrorCode WriteAndReadXmodel(const std::string& root, const fixture::ModelFiles& files,
                                    Xmodel& m, GameVersion game) {
  std::string path = fixture::WriteModel(root, files);
  EXPECT_FALSE(path.empty()) << "could not write " << files.name << " under " << root;
  m.game = game;
  EXPECT_TRUE(m.SetPath(path)) << path;
  return m.LoadXmodel();
}

// The full load and then level 0's surfaces; the result of the surface read.
inline ErrorCode WriteAndLoadSurfaces(const std::string& root, const fixture::ModelFiles& files,
                                      Xmodel& m, GameVersion game) {
  ErrorCode full = WriteAndLoad(root, files, m, game);
  EXPECT_EQ(full, err::kSuccess) << ErrorText(full);
  if (full != err::kSuccess) return full;
  return m.LoadSurface();
}

}  // namespace model_test
