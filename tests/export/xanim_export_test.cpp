// The XANIM_EXPORT writer: what it writes reads back as the tools' own files
// read (the same reader takes a source file of the mod tools), and names
// that would break the text are refused.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/export/xanim_export_text.h"
#include "tests/model/model_test_support.h"

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

}  // namespace
