// The animation writers: the XANIM_EXPORT text reads back as the tools'
// own files read (the same reader takes a source file of the mod tools),
// names that would break it are refused; a glTF animation passes the
// Khronos validator and broken keys are refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "export/animation_frames.h"
#include "export/gdt_writer.h"
#include "export/model_exports.h"
#include "tests/export/xanim_export_text.h"
#include "tests/model/model_test_support.h"
#include "tests/support/command.h"
#include "tools/fixture/sample_tree.h"

namespace {

TEST(XanimExportTest, WritesTheToolsLayoutAndReadsBackWithinItsPrecision) {
  // The reader is the tools' layout: one of their files reads whole.
  const std::string tools = model_test::SamplesDir() + "/cod4-xanim/xanim_export/viewmodels/M16/m16_fire.XANIM_EXPORT";
  if (std::filesystem::exists(tools)) {
    XanimExportData theirs;
    ASSERT_TRUE(xanim_text::Read(tools, theirs));
    EXPECT_EQ(theirs.parts.size(), 78u);
    EXPECT_EQ(theirs.frames.size(), 6u);
    EXPECT_EQ(theirs.frame_rate, 30);
  }
  XanimExportData data;
  data.source = "raw/xanim/test_anim";
  data.parts = {"tag_origin", "j_arm"};
  data.frame_rate = 24;
  for (int f = 0; f < 3; ++f) {
    std::vector<XanimExportPart>& frame = data.frames.emplace_back(2);
    frame[1].offset[0] = 1.23456f * float(f);
    frame[1].axes[0][0] = 0.70711f, frame[1].axes[0][1] = -0.70711f;
  }
  data.notes = {{"start", 0}, {"fire", 2}};
  model_test::TempDir dir;
  const std::string path = dir.Sub("test_anim.XANIM_EXPORT");
  ASSERT_EQ(WriteXanimExport(path, data), err::kSuccess);
  XanimExportData back;
  ASSERT_TRUE(xanim_text::Read(path, back));
  EXPECT_EQ(back.parts, data.parts);
  EXPECT_EQ(back.frame_rate, 24);
  ASSERT_EQ(back.frames.size(), 3u);
  EXPECT_NEAR(back.frames[2][1].offset[0], 2.4691f, 1e-4);
  EXPECT_NEAR(back.frames[2][1].axes[0][1], -0.7071f, 1e-4);
  ASSERT_EQ(back.notes.size(), 2u);
  EXPECT_EQ(back.notes[1].name, "fire");
  EXPECT_EQ(back.notes[1].frame, 2);

  data.notes[0].name = "say \"hi\"";
  EXPECT_EQ(WriteXanimExport(dir.Sub("quoted"), data), err::kFileNotValid);
  EXPECT_FALSE(std::filesystem::exists(dir.Sub("quoted")));
}

// The keys of a GDT file's first entry, in order.
std::vector<std::string> FirstEntryKeys(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> keys;
  std::string line;
  std::smatch m;
  while (std::getline(in, line) && line.find('}') == std::string::npos)
    if (std::regex_search(line, m, std::regex(R"re(^\s*"(\w+)" ")re"))) keys.push_back(m[1]);
  return keys;
}

// Our "xanim.gdf" entry holds the fields of the mod tools' own entries.
TEST(XanimExportTest, TheGdtEntryHoldsTheToolsFields) {
  const std::string tools = model_test::SamplesDir() + "/cod4-xanim/xanim_export/xanim_viewmodel.gdt";
  if (!std::filesystem::exists(tools)) GTEST_SKIP() << "no ../shared/samples";
  model_test::TempDir dir;
  GdtWriter gdt;
  ASSERT_EQ(gdt.Open(dir.Sub("anims")), err::kSuccess);
  gdt.WriteAnimation("viewmodel_m16_fire", {"m16_fire.XANIM_EXPORT", "viewmodel_m16.XMODEL_EXPORT", false, "relative"});
  ASSERT_EQ(gdt.Close(), err::kSuccess);
  EXPECT_EQ(FirstEntryKeys(dir.Sub("anims.gdt")), FirstEntryKeys(tools));
}

// A frame that animates no bone is the model's own pose, as the
// XMODEL_EXPORT of the model states its bones (offsets and axes).
TEST(XanimExportTest, AFrameWithoutKeysIsTheModelsPoseAsItsXmodelExportHasIt) {
  model_test::TempDir dir;
  Xmodel model;
  ASSERT_EQ(model_test::WriteAndLoadSurfaces(dir.path(), fixture::MakeSoldierModel("soldier", Cod4), model, Cod4),
            err::kSuccess);
  ASSERT_EQ(ExportXE(model, dir.Sub("xe")), err::kSuccess);
  std::ifstream xe(dir.Sub("xe/soldier_lod0.XMODEL_EXPORT"));
  std::vector<XanimExportPart> bones;
  std::string line;
  while (std::getline(xe, line)) {
    float v[3];
    if (line.starts_with("BONE ") && line.find('"') == std::string::npos && std::getline(xe, line) &&
        std::sscanf(line.c_str(), "OFFSET %f, %f, %f", &v[0], &v[1], &v[2]) == 3) {
      XanimExportPart& p = bones.emplace_back();
      std::copy(v, v + 3, p.offset);
      for (int axis = 0; axis < 3 && std::getline(xe, line);)
        if (std::sscanf(line.c_str(), "%*c %f, %f, %f", &v[0], &v[1], &v[2]) == 3 && line[0] != 'S')
          std::copy(v, v + 3, p.axes[axis++]);
    }
  }
  const ModelSkeleton skeleton = SkeletonOf(model);
  AnimBinding binding;
  binding.Bind(skeleton.names, skeleton.bind_pose, {}, false);
  const XanimExportData frames = XanimFrames(model, skeleton, {"still", "", 1, 30, {}, &binding});
  ASSERT_EQ(frames.frames.size(), 1u);
  ASSERT_EQ(frames.frames[0].size(), bones.size());
  for (size_t b = 0; b < bones.size(); ++b)
    for (int k = 0; k < 3; ++k) {
      EXPECT_NEAR(frames.frames[0][b].offset[k], bones[b].offset[k], 1e-4) << b;
      for (int axis = 0; axis < 3; ++axis) EXPECT_NEAR(frames.frames[0][b].axes[axis][k], bones[b].axes[axis][k], 1e-4) << b;
    }
}

TEST(GltfAnimationTest, TheAnimationIsValidAndBrokenKeysAreRefused) {
  model_test::TempDir dir;
  Xmodel model;
  ASSERT_EQ(model_test::WriteAndLoadSurfaces(dir.path(), fixture::MakeSoldierModel("soldier", Cod4), model, Cod4),
            err::kSuccess);
  GltfAnimation a;
  a.name = "soldier_wave";
  a.channels.push_back({3, true, {0.0f, 0.5f, 1.0f}, {0, 0, 0, 1, 0, 0, 0.3826834f, 0.9238795f, 0, 0, 0, 1}});
  a.channels.push_back({1, false, {0.0f, 1.0f}, {0, 0, 40, 0, 0, 42}});
  a.markers = {{"wave_start", 0.25f}};
  ExportWritten written;
  ASSERT_EQ(ExportGLTF(model, dir.Sub("out"), false, &written, false, &a), err::kSuccess);
  ASSERT_EQ(ExportGLTF(model, dir.Sub("out"), true, &written, false, &a), err::kSuccess);
  std::ifstream json(dir.Sub("out/soldier_wave.gltf"));
  std::stringstream text;
  text << json.rdbuf();
  EXPECT_NE(text.str().find("\"animations\":[{\"name\":\"soldier_wave\""), std::string::npos);
  EXPECT_NE(text.str().find("\"notetracks\":[{\"name\":\"wave_start\""), std::string::npos);
  int status = 0;
  const std::string report = test_support::RunCommand(
      "bash '" + std::string(VANTOR_SOURCE_DIR) + "/tests/export/gltf/validate.sh' '" + dir.Sub("out/soldier_wave.gltf") +
          "' '" + dir.Sub("out/soldier_wave.glb") + "' 2>&1",
      &status);
  EXPECT_EQ(status, 0) << report;

  a.channels[0].times[2] = 0.5f;  // not increasing
  EXPECT_EQ(ExportGLTF(model, dir.Sub("bad"), true, nullptr, false, &a), err::kFileNotValid);
  a.channels[0].times[2] = 1.0f;
  a.channels[1].bone = 99;  // no such bone
  EXPECT_EQ(ExportGLTF(model, dir.Sub("bad"), true, nullptr, false, &a), err::kFileNotValid);
  EXPECT_FALSE(std::filesystem::exists(dir.Sub("bad/soldier_wave.glb")));
}

}  // namespace
