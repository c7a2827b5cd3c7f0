// The compiled animation reader: the layout's forms read back (constant and
// keyed channels, frame lists of one and two bytes, the small and the wide
// translations, simple bones, looping, root motion, notes); every truncated
// prefix and every broken count refused with a code. (Every sample file of
// the three games read to its last byte: tests/cli/cli_anims.sh.)
#include <gtest/gtest.h>

#include "model/xanim.h"
#include "tools/fixture/xanim_writer.h"

namespace {

fixture::XanimDesc TwoBones(uint16_t frames) {
  fixture::XanimDesc d;
  d.frames = frames;
  d.flags = 2;  // root motion
  d.root_yaw.rotations = {{0, 0, 100}};
  d.root_translation.translations = {{0, 0, 0}, {0, 10, 0}};
  d.root_translation.frames = {0, uint16_t(frames - 1)};
  fixture::XanimBoneDesc origin;
  origin.name = "tag_origin";
  origin.rotation.rotations = {{0, 0, 0}};
  fixture::XanimBoneDesc arm;
  arm.name = "j_arm";
  arm.simple = true;
  for (uint16_t f = 0; f < frames; ++f) arm.rotation.rotations.push_back({0, 0, int16_t(f * 100)});
  arm.translation.translations = {{1, 2, 3}, {1, 2, 5}, {1, 4, 5}};
  arm.translation.frames = {0, 1, uint16_t(frames - 1)};
  arm.translation.small = frames < 100;
  d.bones = {origin, arm};
  d.notes = {{"fire", 1}};
  return d;
}

TEST(XanimReader, EveryFormReadsBack) {
  for (uint16_t frames : {4, 300}) {  // one- and two-byte frame lists
    Xanim a;
    ASSERT_EQ(ReadXanim(fixture::WriteXanim(TwoBones(frames)), a), err::kSuccess) << frames;
    ASSERT_EQ(a.bones.size(), 2u);
    EXPECT_TRUE(a.root_motion());
    EXPECT_EQ(a.root_translation.frames, (std::vector<uint16_t>{0, uint16_t(frames - 1)}));
    EXPECT_EQ(a.bones[0].rotation.values, (std::vector<float>{0, 0, 0, 1}));
    EXPECT_TRUE(a.bones[0].translation.values.empty());
    const XanimBone& arm = a.bones[1];
    EXPECT_TRUE(arm.simple);
    EXPECT_TRUE(arm.rotation.frames.empty());  // a key every frame
    ASSERT_EQ(arm.rotation.values.size(), size_t(frames) * 4);
    EXPECT_NEAR(arm.rotation.values[4 * 3 + 2], 300 / 32767.0, 1e-6);
    EXPECT_EQ(arm.translation.frames, (std::vector<uint16_t>{0, 1, uint16_t(frames - 1)}));
    ASSERT_EQ(arm.translation.values.size(), 9u);
    EXPECT_NEAR(arm.translation.values[5], 5, 0.01);
    EXPECT_NEAR(arm.translation.values[7], 4, 0.01);
    ASSERT_EQ(a.notes.size(), 1u);
    EXPECT_EQ(a.notes[0].name, "fire");
  }
  fixture::XanimDesc loop = TwoBones(4);
  loop.flags |= 1;  // five keyed frames: four keys now need their list
  Xanim a;
  EXPECT_NE(ReadXanim(fixture::WriteXanim(loop), a), err::kSuccess);
  loop.bones[1].rotation.rotations.push_back({0, 0, 0});
  ASSERT_EQ(ReadXanim(fixture::WriteXanim(loop), a), err::kSuccess);
  EXPECT_EQ(a.keyed_frames(), 5);
}

TEST(XanimReader, TruncatedAndBrokenFilesAreRefusedWithACode) {
  std::vector<uint8_t> bytes = fixture::WriteXanim(TwoBones(300));
  Xanim a;
  for (size_t n = 0; n < bytes.size(); ++n)
    EXPECT_NE(ReadXanim(std::span<const uint8_t>(bytes.data(), n), a), err::kSuccess) << n;
  bytes.push_back(0);
  EXPECT_EQ(ReadXanim(bytes, a), err::kFileNotValid);  // a byte past the notes
  struct Case {
    const char* what;
    void (*change)(fixture::XanimDesc&);
    ErrorCode want;
  } cases[] = {
      {"version", [](fixture::XanimDesc& d) { d.version = 18; }, err::kInvalidVersion},
      {"no bones", [](fixture::XanimDesc& d) { d.bones.clear(); }, err::kFileNotValid},
      {"keys past the frames", [](fixture::XanimDesc& d) { d.bones[1].translation.count = 60000; }, err::kFileNotValid},
      {"frame past the end", [](fixture::XanimDesc& d) { d.bones[1].translation.frames[2] = 400; }, err::kFileNotValid},
      {"frames out of order", [](fixture::XanimDesc& d) { d.bones[1].translation.frames[1] = 0; }, err::kFileNotValid},
      {"note past the end", [](fixture::XanimDesc& d) { d.notes[0].second = 999; }, err::kFileNotValid},
  };
  for (const Case& c : cases) {
    fixture::XanimDesc d = TwoBones(300);
    c.change(d);
    EXPECT_EQ(ReadXanim(fixture::WriteXanim(d), a), c.want) << c.what;
    EXPECT_TRUE(a.bones.empty()) << c.what;
  }
  EXPECT_EQ(LoadXanim("/nonexistent/walk", a), err::kFileNotFound);
}

}  // namespace
