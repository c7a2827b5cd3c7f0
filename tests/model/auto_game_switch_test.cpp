// The COD 4 / COD 5 layout check on slot 0: a file read with the wrong one
// of the two layouts names an xmodelsurfs file that does not exist, while
// the name one byte off does. The user is asked; yes switches the layout for
// this one model.
#include <gtest/gtest.h>

#include <bit>

#include "tests/model/model_test_support.h"

namespace {

using namespace model_test;

// Yes reads the other layout for this one load; no keeps the active one.
// Read as COD 5 a COD 4 slot-0 name loses its first character. Read as
// COD 4 a COD 5 name gains a leading byte, the last byte of the distance:
// nothing for 0 (the name reads empty), 'C' for 500, a control character
// (no file name) for a tiny distance.
TEST(AutoGameSwitch, TheOtherLayoutIsAskedForAndReadForThisLoadOnly) {
  struct Case {
    GameVersion written, active;
    float distance;
    bool yes;
    ErrorCode result;
    GameVersion layout;
    const char* slot0;
  };
  const float tiny = std::bit_cast<float>(0x01000000u);
  const Case cases[] = {{Cod4, Cod5, 0, true, err::kSuccess, Cod4, "crate_lod0"},
                        {Cod4, Cod5, 0, false, err::kFileNotFound, Cod5, "rate_lod0"},
                        {Cod5, Cod4, 0, true, err::kSuccess, Cod5, "crate_lod0"},
                        {Cod5, Cod4, 500, true, err::kSuccess, Cod5, "crate_lod0"},
                        {Cod5, Cod4, tiny, true, err::kSuccess, Cod5, "crate_lod0"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "written " << c.written << " distance " << c.distance << " yes " << c.yes);
    TempDir dir;
    ScriptedAnswerer answer(c.yes);
    fixture::ModelFiles files = fixture::MakePropModel("crate", c.written);
    files.xmodel.lods[0].distance = c.distance;
    Xmodel m;
    ASSERT_EQ(WriteAndLoad(dir.path(), files, m, c.active), c.result);
    ASSERT_EQ(answer.asked(), 1u);
    EXPECT_NE(answer.texts[0].find(c.written == Cod4 ? "switch to COD4" : "switch to COD5"), std::string::npos);
    EXPECT_EQ(std::make_pair(m.layout, m.game), std::make_pair(c.layout, c.active));
    EXPECT_EQ(m.lod_names[0], c.slot0);
    if (!c.yes) continue;
    ASSERT_EQ(m.lod_distances.size(), 4u);  // a misread slot-0 distance is gone
    EXPECT_EQ(m.lod_distances[0], c.distance);
    EXPECT_EQ(m.LoadSurface(), err::kSuccess);
    ASSERT_EQ(m.LoadxmodelFull(m.path), err::kSuccess);
    EXPECT_EQ(std::make_pair(answer.asked(), m.game), std::make_pair(size_t(2), c.active));  // asked again
  }
}

// Files of the active game's own layout, and Black Ops files under either
// game (whose check would fire here if it ran), are never questioned.
TEST(AutoGameSwitch, NativeAndBlackOpsFilesAreNeverQuestioned) {
  for (auto [written, game] : {std::pair{Cod4, Cod4}, {Cod5, Cod5}, {BO, Cod4}, {BO, Cod5}}) {
    SCOPED_TRACE(testing::Message() << "written " << written << " game " << game);
    TempDir dir;
    ScriptedAnswerer yes(true);
    fixture::ModelFiles files = fixture::MakePropModel("crate", written);
    if (written == BO) files.surfs_file_names = {"missing_on_purpose"};
    Xmodel m;
    EXPECT_EQ(WriteAndReadXmodel(dir.path(), files, m, game), err::kSuccess);
    EXPECT_EQ(yes.asked(), 0u);
    EXPECT_EQ(m.layout, written);
  }
}

}  // namespace
