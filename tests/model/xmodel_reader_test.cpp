// The xmodel file reader: header sizes of the three layouts, the level-of-
// detail slots, the collision block, the material names, and the switch to
// the Black Ops layout for version-62 files.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "tests/model/model_test_support.h"

namespace {

using namespace model_test;

// A model whose every byte is one a misplaced reader would misread: the
// bytes after the preset are 0xAA and the slots carry distinct distances.
fixture::ModelFiles Probe(GameVersion layout, const std::string& preset) {
  fixture::ModelFiles m = fixture::MakePropModel("probe", layout);
  m.xmodel.physics_preset = preset;
  m.xmodel.after_preset.assign(5, 0xAA);
  m.xmodel.lods = {{{125.5f, "probe_lod0"}, {600.0f, "lod1"}, {900.0f, ""}, {1200.0f, ""}}};
  return m;
}

TEST(XmodelReader, LoadXmodelAccepts65BytesAndRejects64) {
  // Slot "abcde" and material "m" make a COD 4 file of exactly 65 bytes.
  fixture::ModelFiles files = fixture::MakePropModel("abcde", Cod4);
  files.xmodel.lods[0].name = "abcde";
  files.xmodel.materials = {{{"m"}}};
  files.xmodel.min_size = 0;
  TempDir dir;
  Xmodel m;
  ASSERT_EQ(WriteAndReadXmodel(dir.path(), files, m, Cod4), err::kSuccess);
  EXPECT_EQ(m.file_size, 65);
  Xmodel cut;
  cut.game = Cod4;
  ASSERT_TRUE(cut.SetPath(m.path));
  const std::vector<uint8_t> bytes = fixture::WriteXmodel(files.xmodel);
  EXPECT_EQ(cut.LoadXmodelBytes(std::span(bytes).first(64)), err::kFileTooSmall);
}

TEST(XmodelReader, PresetAndTheLayoutsExtraBytesAreSkippedToSlotZero) {
  // An empty preset continues at 28 (COD 4), 29 (COD 5) or 37 (Black Ops):
  // the slot-0 distance and name only come out right from exactly there.
  // Black Ops puts a string of its own before the preset.
  for (GameVersion layout : {Cod4, Cod5, BO}) {
    for (const char* preset : {"", "wood_crate"}) {
      SCOPED_TRACE(testing::Message() << "layout " << layout << " preset '" << preset << "'");
      TempDir dir;
      fixture::ModelFiles files = Probe(layout, preset);
      if (layout == BO) files.xmodel.source_map = "p_probe_crate_01.map";
      Xmodel m;
      ASSERT_EQ(WriteAndReadXmodel(dir.path(), files, m, layout), err::kSuccess);
      EXPECT_EQ(m.source_map, layout == BO ? "p_probe_crate_01.map" : "");
      EXPECT_EQ(m.physics_preset, preset);
      EXPECT_EQ(m.lod_distances, (std::vector<float>{125.5f, 600.0f, 900.0f, 1200.0f}));
      EXPECT_EQ(m.lod_names[0], "probe_lod0");
      // Slot names of four characters or fewer are kept but not counted.
      EXPECT_EQ(std::make_tuple(m.lod_count, m.lod_names[1], m.lods.size()), std::make_tuple(1, "lod1", size_t(1)));
    }
  }
}

// A collision byte of 255 skips seven bytes whatever they hold (the count
// among them is not read); any other skips the surfaces by their counts.
// Then come the material names of each level in use.
TEST(XmodelReader, CollisionBlockIsSkippedToMaterialsPerLevelWithDistinctNamesInFirstOrder) {
  for (int lod : {-1, 1}) {
    SCOPED_TRACE(lod);
    TempDir dir;
    fixture::ModelFiles files = Probe(Cod4, "");
    if (lod < 0) {
      files.xmodel.collision_pad = {1, 2, 3};
      files.xmodel.collision_count = 1000;
    } else {
      files.xmodel.collision_lod = uint8_t(lod);
      files.xmodel.collision = {{0, 0x11}, {3, 0x22}};
    }
    files.xmodel.lods[1].name = "probe_lod1";
    files.xmodel.materials = {{{"mtl_a", "mtl_b", "mtl_a"}}, {{"mtl_c", "mtl_b"}}};
    Xmodel m;
    ASSERT_EQ(WriteAndReadXmodel(dir.path(), files, m, Cod4), err::kSuccess);
    EXPECT_EQ(m.collision_lod, lod);
    ASSERT_EQ(m.lods.size(), 2u);
    EXPECT_EQ(std::make_pair(int(m.lods[0].material_count), int(m.lods[0].unique_material_count)),
              std::make_pair(3, 2));
    EXPECT_EQ(m.lods[0].unique_materials, (std::vector<std::string>{"mtl_a", "mtl_b"}));
    EXPECT_EQ(m.lods[1].materials, (std::vector<std::string>{"mtl_c", "mtl_b"}));
    EXPECT_EQ(m.material_library.names, (std::vector<std::string>{"mtl_a", "mtl_b", "mtl_c"}));
  }
}

// The version decides the layout, not the active game nor the bytes: 62 is
// read as Black Ops under any game, 25 under Black Ops too; the active game
// is left as it was. With a COD 4 header under version 62 the Black Ops
// reader finds the preset byte inside the slot-0 distance (0) and starts the
// distance at 37, which is 9 bytes into the name at 32.
TEST(XmodelReader, VersionDecidesTheLayoutAndLeavesTheActiveGame) {
  struct Case {
    GameVersion written, active;
    int version;
    const char* slot0;
    const char* read_as;
  };
  const Case cases[] = {
      {BO, Cod4, 62, "probe_lod0", "probe_lod0"},
      {BO, Cod5, 62, "probe_lod0", "probe_lod0"},
      {Cod4, Cod4, 62, "probe_misread_lod0", "read_lod0"},
      {BO, BO, 25, "probe_lod0", "probe_lod0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "written " << c.written << " active " << c.active << " v" << c.version);
    TempDir dir;
    fixture::ModelFiles files = Probe(c.written, c.written == BO ? "metal" : "");
    files.xmodel.version = int16_t(c.version);
    files.xmodel.lods[0].name = c.slot0;
    if (c.written != BO) files.xmodel.lods[0].distance = 0;
    Xmodel m;
    ASSERT_EQ(WriteAndReadXmodel(dir.path(), files, m, c.active), err::kSuccess);
    EXPECT_EQ(m.layout, BO);
    EXPECT_EQ(m.game, c.active);
    EXPECT_EQ(m.lod_names[0], c.read_as);
    EXPECT_EQ(m.physics_preset, c.written == BO ? "metal" : "");
  }
}

// A bad version, a slot name that is not a plain file name (the parts and
// surfs files are opened by it; any slot counts, in use or not) and a name
// without its NUL within 1024 bytes end with their own code and leave the
// model unloaded (files cut short: truncation_test).
TEST(XmodelReader, BadVersionAndBadSlotNamesAreRefused) {
  struct Case {
    const char* what;
    std::function<void(fixture::XmodelDesc&)> change;
    ErrorCode result;
  };
  auto slot = [](size_t i, const char* name) { return [=](fixture::XmodelDesc& x) { x.lods[i].name = name; }; };
  auto long_slot1 = [](size_t length) {
    return [=](fixture::XmodelDesc& x) {
      x.lods[1].name = std::string(length, 'n');
      x.materials.push_back({{"mtl_lod1"}});  // slot 1 is now in use
    };
  };
  const Case cases[] = {
      {"version 26", [](fixture::XmodelDesc& x) { x.version = 26; }, err::kInvalidVersion},
      {"../../../x", slot(0, "../../../x"), err::kNameUnreadable},
      {"sub/probe_lod0", slot(0, "sub/probe_lod0"), err::kNameUnreadable},
      {"sub\\probe_lod0", slot(0, "sub\\probe_lod0"), err::kNameUnreadable},
      {"slot 1 ..", slot(1, ".."), err::kNameUnreadable},
      {"slot 3 /etc", slot(3, "/etc"), err::kNameUnreadable},
      {"probe..lod0", slot(0, "probe..lod0"), err::kSuccess},
      {"slot name of 1023", long_slot1(1023), err::kSuccess},
      {"slot name without its NUL within 1024", long_slot1(1024), err::kNameUnreadable},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    fixture::ModelFiles files = Probe(Cod4, "");
    c.change(files.xmodel);
    files.parts_file_name = "probe_lod0";
    files.surfs_file_names = {"probe_lod0"};
    Xmodel m;
    EXPECT_EQ(WriteAndReadXmodel(dir.path(), files, m, Cod4), c.result);
    EXPECT_EQ(m.xmodel_loaded, c.result == err::kSuccess);
  }
}

TEST(XmodelReader, RefusesBadGameOrderAndAModelWithoutLevels) {
  TempDir dir;
  Xmodel bad_game;
  EXPECT_EQ(WriteAndReadXmodel(dir.path(), Probe(Cod4, ""), bad_game, 7), err::kUnknown);
  EXPECT_FALSE(bad_game.xmodel_loaded);

  Xmodel unset;
  EXPECT_EQ(unset.LoadXmodel(), err::kFileNotValid);

  Xmodel twice;
  ASSERT_EQ(WriteAndReadXmodel(dir.path(), Probe(Cod4, ""), twice, Cod4), err::kSuccess);
  EXPECT_EQ(twice.LoadXmodel(), err::kAlreadyLoaded);

  // No slot in use: the xmodel reads, and the surface set-up refuses.
  fixture::ModelFiles none = Probe(Cod4, "");
  none.xmodel.lods[0].name = "lod0";
  none.xmodel.materials.clear();
  none.xmodel.min_size = 80;
  Xmodel empty;
  ASSERT_EQ(WriteAndReadXmodel(dir.path(), none, empty, Cod4), err::kSuccess);
  EXPECT_EQ(std::make_pair(empty.lod_count, empty.SetupSurfaces()), std::make_pair(0, err::kNoLods));
}

}  // namespace
