// The COD 4 / COD 5 layout check on slot 0: a file read with the wrong one
// of the two layouts names an xmodelsurfs file that does not exist, while
// the name one byte off does. The user is asked; yes switches the layout for
// this one model.
#include <gtest/gtest.h>

#include <bit>

#include "model/xmodel.h"
#include "tests/model/model_test_support.h"
#include "tools/fixture/fixture_writer.h"

namespace {

using model_test::ScriptedAnswerer;
using model_test::TempDir;
using model_test::WriteAndLoad;

std::string Question(const std::string& game) {
  return "It looks like this model is a " + game + " Xmodel\nDo you want to switch to " + game +
         " Loader just for this Xmodel?\n\n* You can disable this check in settings.";
}

TEST(AutoGameSwitch, Cod4FileUnderCod5AnsweredYesReadsCod4LayoutForThisModelOnly) {
  TempDir dir;
  ScriptedAnswerer yes(true);
  Xmodel m;
  ASSERT_EQ(WriteAndLoad(dir.path(), fixture::MakePropModel("ported_crate", Cod4), m, Cod5),
            err::kSuccess);
  ASSERT_EQ(yes.asked(), 1u);
  EXPECT_EQ(std::make_pair(yes.titles[0], yes.texts[0]), std::make_pair(std::string("Auto Game Switcher"), Question("COD4")));
  EXPECT_EQ(std::make_pair(m.layout, m.game), std::make_pair(Cod4, Cod5));
  EXPECT_EQ(m.lod_names[0], "ported_crate_lod0");
  ASSERT_EQ(m.lod_distances.size(), 4u);  // the misread slot-0 distance is gone
  EXPECT_EQ(m.LoadSurface(), err::kSuccess);
  // Asked again on the next load: the switch holds for one load only.
  ASSERT_EQ(m.LoadxmodelFull(m.path), err::kSuccess);
  EXPECT_EQ(yes.asked(), 2u);
  EXPECT_EQ(m.game, Cod5);
}

TEST(AutoGameSwitch, AnsweringNoKeepsTheActiveLayout) {
  TempDir dir;
  ScriptedAnswerer no(false);
  Xmodel m;
  // Read as COD 5 the name loses its first character, so the parts file of
  // that name is missing.
  EXPECT_EQ(WriteAndLoad(dir.path(), fixture::MakePropModel("ported_crate", Cod4), m, Cod5),
            err::kFileNotFound);
  EXPECT_EQ(no.asked(), 1u);
  EXPECT_EQ(m.layout, Cod5);
  EXPECT_EQ(m.lod_names[0], "orted_crate_lod0");
}

TEST(AutoGameSwitch, Cod5FileUnderCod4IsDetectedAndSwitchedOnYes) {
  // Read as COD 4 the slot-0 name gains a leading byte, the last byte of the
  // distance: nothing at all for 0 (the name reads empty), 'C' for 500, a
  // control character (no file name) for a tiny distance.
  for (float distance : {0.0f, 500.0f, std::bit_cast<float>(0x01000000u)}) {
    SCOPED_TRACE(distance);
    TempDir dir;
    ScriptedAnswerer yes(true);
    fixture::ModelFiles files = fixture::MakePropModel("waw_crate", Cod5);
    files.xmodel.lods[0].distance = distance;
    Xmodel m;
    ASSERT_EQ(WriteAndLoad(dir.path(), files, m, Cod4), err::kSuccess);
    ASSERT_EQ(yes.asked(), 1u);
    EXPECT_EQ(yes.texts[0], Question("COD5"));
    EXPECT_EQ(std::make_pair(m.layout, m.game), std::make_pair(Cod5, Cod4));
    EXPECT_EQ(m.lod_names[0], "waw_crate_lod0");
    EXPECT_EQ(m.lod_distances[0], distance);
  }
}

// Files of the active game's own layout, and Black Ops files under either
// game (whose check would fire here if it ran), are never questioned.
TEST(AutoGameSwitch, NativeAndBlackOpsFilesAreNeverQuestioned) {
  for (GameVersion written : {Cod4, Cod5, BO}) {
    for (GameVersion game : {Cod4, Cod5}) {
      if (written != BO && written != game) continue;
      SCOPED_TRACE(testing::Message() << "written " << written << " game " << game);
      TempDir dir;
      ScriptedAnswerer yes(true);
      fixture::ModelFiles files = fixture::MakePropModel("crate", written);
      if (written == BO) files.surfs_file_names = {"missing_on_purpose"};
      Xmodel m;
      std::string path = fixture::WriteModel(dir.path(), files);
      m.game = game;
      ASSERT_TRUE(m.SetPath(path));
      EXPECT_EQ(m.LoadXmodel(), err::kSuccess);
      EXPECT_EQ(yes.asked(), 0u);
      EXPECT_EQ(m.layout, written);
    }
  }
}

}  // namespace
