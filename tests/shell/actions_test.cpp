// The settings menus' actions, the game switch with its model list, the
// model hand-off and the hotkeys, with every hook recorded.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "jobs/qor_loader.h"
#include "jobs/xmodel_threaded.h"
#include "platform/fs_paths.h"
#include "shell/actions.h"
#include "shell/hotkeys.h"
#include "base/list_source.h"
#include "tests/shell/shell_test_support.h"

namespace {

using Texts = std::vector<std::string>;

struct ActionsTest : testing::Test {
  shell_test::LogCapture log;
  test_support::TempDir dir;
  QorSettings settings;
  ListSource view;
  QorLoader loader{view};
  Texts errors, messages, titles, commands, texts, checked;
  std::vector<std::pair<std::string, uint32_t>> jobs;
  std::vector<GameVersion> games;
  std::vector<float> scales;
  QorActions actions{settings, loader, {
      .show_error = [this](const std::string& t) { errors.push_back(t); },
      .show_message = [this](const std::string& t) { messages.push_back(t); },
      .run_commands = [this](const std::string& t) { commands.push_back(t); },
      .set_text = [this](const std::string& n, const std::string& t) { texts.push_back(n + "=" + t); },
      .set_title = [this](const std::string& t) { titles.push_back(t); },
      .set_model_game = [this](GameVersion g) { games.push_back(g); },
      .add_job = [this](const std::string& p, uint32_t f) { jobs.emplace_back(p, f); },
      .set_model_scale = [this](float s) { scales.push_back(s); },
      .set_frame_caps = nullptr,
      .check_images = [this](const std::string& r) { checked.push_back(r); }}};

  void FinishList() {
    for (int i = 0; i < 5000 && loader.loading(); ++i) {
      loader.Refresh();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  // A game root with raw/xmodel holding the given model files.
  std::string GameRoot(const std::string& name, const Texts& models) {
    const std::string root = dir.Sub(name);
    std::filesystem::create_directories(root + "/raw/xmodel");
    for (const std::string& m : models) shell_test::WriteText(root + "/raw/xmodel/" + m, "");
    return root;
  }
};

TEST_F(ActionsTest, FrameCapsScaleAndChoicesTakeOnlyValuesWithinTheirLimits) {
  for (const char* text : {"30", "abc", "60x", "99999999999", ""}) actions.SetActiveFps(text);
  EXPECT_EQ(settings.fps_active, 60);
  actions.SetActiveFps("31");
  EXPECT_EQ(settings.fps_active, 31);
  EXPECT_TRUE(log.Contains("ActiveFPS set to: 31"));
  actions.SetInactiveFps("10");
  EXPECT_EQ(settings.fps_sleepy, 30);
  actions.SetInactiveFps("11");
  EXPECT_EQ(settings.fps_sleepy, 11);
  EXPECT_TRUE(log.Contains("InactiveFPS set to: 11"));

  for (const char* text : {"2.5cm", "inf", "0", "999"}) actions.SetModelScale(text);
  const std::string nan = "Model Scale: Not a valid float", out = "Model Scale: Please enter\n a scale between 0-999";
  EXPECT_EQ(errors, (Texts{nan, nan, out, out}));
  EXPECT_FLOAT_EQ(settings.export_scale_new, 2.54f);
  actions.SetModelScale(" 1.5 ");
  actions.SetModelScale("1.5");  // unchanged: not handed over again
  EXPECT_EQ(scales, std::vector<float>{1.5f});
  EXPECT_TRUE(log.Contains("XmodelScale SetTo: 1.50"));

  // The choices take only the values of their lists.
  EXPECT_TRUE(actions.SetMouseStyle(1));
  EXPECT_EQ(commands.back(), "open Settings_hotkeys_mouse_assView; force_close Settings_hotkeys_mouse_maya;");
  EXPECT_FALSE(actions.SetMouseStyle(2));
  EXPECT_EQ(settings.mouse_style, 1);
  EXPECT_TRUE(actions.SetExportAsTga(1));
  EXPECT_FALSE(actions.SetExportAsTga(7));
  EXPECT_EQ(settings.export_img_as_tga, 1);
  actions.SetGridColour(1.0f, 0.5f, 0.0f);
  EXPECT_EQ(settings.color_grid, 0x00007FFFu);
}

TEST_F(ActionsTest, FoldersAreCheckedBeforeTheyAreStoredAndClearedFoldersMeanTheProgramsOwn) {
  const std::string no_raw = dir.Sub("not_a_game");
  std::filesystem::create_directory(no_raw);
  EXPECT_FALSE(actions.SetGameRoot(0, no_raw));
  EXPECT_EQ(errors.back(),
            "No 'raw' folder found make sure you select the root cod4 directory and have mod tools installed.");
  EXPECT_FALSE(actions.SetGameRoot(2, no_raw));
  EXPECT_EQ(errors.back(),
            "No 'raw' folder found make sure you select the root cod BO directory and have mod tools installed.");
  EXPECT_EQ(settings.Cod4Path, "Set Path");

  const std::string root = dir.Sub("game");
  std::filesystem::create_directories(root + "/Raw");  // the games' folders come in any case
  EXPECT_TRUE(actions.SetGameRoot(1, root));
  EXPECT_EQ(settings.Cod5Path, root);
  EXPECT_EQ(texts.back(), "output_cod5=" + root);
  EXPECT_EQ(checked, Texts{root});

  // A folder the store would cut short is refused.
  const std::string deep = dir.Sub(std::string(250, 'd'));
  std::filesystem::create_directories(deep + "/raw");
  EXPECT_FALSE(actions.SetGameRoot(1, deep));
  EXPECT_NE(errors.back().find("too long"), std::string::npos);
  EXPECT_EQ(settings.Cod5Path, root);
  EXPECT_FALSE(actions.SetExportFolder(""));  // a cancelled browse
  EXPECT_TRUE(actions.SetExportFolder(root));
  actions.ClearExportFolder();
  actions.ClearGdtFolder();
  actions.ClearGameRoot(1);
  EXPECT_EQ(settings.export_folder, "Running Directory");
  EXPECT_EQ(settings.export_folder_GDT, "Running Directory");
  EXPECT_EQ(settings.Cod5Path, "Set Path");
  EXPECT_EQ(texts.back(), "output_cod5=Set Path");
}

TEST_F(ActionsTest, SwitchingGamesListsModelsForTheWorkerAndRefusesWhatCannotBeListed) {
  settings.Cod4Path = GameRoot("cod4", {"viewmodel_m16", "weapon_ak47"});
  settings.BOPath = GameRoot("bo", {"t5_model"});
  settings.Cod5Path = dir.Sub("cod5_without_raw");
  std::filesystem::create_directory(settings.Cod5Path);

  EXPECT_FALSE(actions.SetActiveGame(3));
  EXPECT_EQ(errors.back(), "Unkown Game selected in dropbox.");
  ASSERT_TRUE(actions.SetActiveGame(0));
  EXPECT_EQ(titles, Texts{settings.Cod4Path});
  EXPECT_EQ(games, std::vector<GameVersion>{Cod4});
  EXPECT_FALSE(actions.SetActiveGame(2));  // still listing
  EXPECT_TRUE(log.Contains("User tried to switch active game while list is still loading."));
  actions.LoadModel("Loading: 0");  // the status line is not a model
  FinishList();
  EXPECT_EQ(loader.names().size(), 2u);

  // A game whose list cannot start changes neither the game nor the readers.
  EXPECT_FALSE(actions.SetActiveGame(1));
  EXPECT_EQ(errors.back(), "Xmodel List: '" + settings.Cod5Path + "/raw/xmodel' is not a valid path");
  EXPECT_EQ(settings.active_game, 0);
  EXPECT_EQ(games.size(), 1u);
  // The same root again is not listed again, unless its listing failed.
  EXPECT_TRUE(actions.SetActiveGame(0));
  EXPECT_EQ(titles.size(), 1u);
  actions.ListFinished(false);
  ASSERT_TRUE(actions.SetActiveGame(0));
  EXPECT_EQ(titles.size(), 2u);
  FinishList();
  actions.LoadModel("viewmodel_m16");
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0], std::make_pair(loader.folder() + "viewmodel_m16", job::kOpenModel));
  EXPECT_TRUE(log.Contains("Passing Xmodel: 'viewmodel_m16' to background loader"));

  // F1 from COD 4: COD 5 fails, Black Ops is next.
  actions.CycleGame();
  EXPECT_EQ(settings.active_game, 2);
  EXPECT_EQ(games.back(), BO);
  FinishList();
  // From Black Ops: COD 4 lists; a root that is not set says so first.
  settings.Cod4Path = "Set Path";
  actions.CycleGame();
  EXPECT_EQ(messages, Texts{"Directory Not Set"});
  EXPECT_EQ(settings.active_game, 2);
}

// A model file dropped onto the window loads from its own tree, whose list
// shows when it is a game's root; the readers start from the game its
// version names. Other files are refused.
TEST_F(ActionsTest, ADroppedModelLoadsWithTheGameOfItsTreeAndItsVersion) {
  settings.Cod4Path = GameRoot("cod4", {"viewmodel_m16"});
  settings.BOPath = GameRoot("bo", {}) + "/";
  const std::string bo_model = settings.BOPath + "raw/xmodel/t5_gun";
  shell_test::WriteText(bo_model, std::string("\x3e\x00", 2) + std::string(70, 'x'));  // version 62
  const std::string other = GameRoot("elsewhere", {});
  shell_test::WriteText(other + "/raw/xmodel/crate", std::string("\x19\x00", 2) + std::string(70, 'x'));  // 25
  ASSERT_TRUE(actions.SetActiveGame(0));
  FinishList();

  ASSERT_TRUE(actions.OpenDroppedModel(bo_model));
  EXPECT_EQ(settings.active_game, 2);
  EXPECT_EQ(titles.back(), settings.BOPath);
  EXPECT_EQ(games.back(), BO);
  EXPECT_EQ(jobs.back(), std::make_pair(platform::NormalizePath(bo_model), job::kOpenModel));
  FinishList();
  // A COD 4 or COD 5 model of no game's tree while Black Ops is active: the
  // COD 5 reader, whose switch takes a COD 4 model further.
  ASSERT_TRUE(actions.OpenDroppedModel(other + "\\raw\\xmodel\\crate"));
  EXPECT_EQ(settings.active_game, 2);
  EXPECT_EQ(games.back(), Cod5);
  EXPECT_EQ(jobs.back().first, other + "/raw/xmodel/crate");

  for (const std::string& path : {other + "/raw/crate", other + "/raw/xmodel/missing", settings.Cod4Path})
    EXPECT_FALSE(actions.OpenDroppedModel(path)) << path;
  EXPECT_EQ(errors.size(), 3u);
  EXPECT_EQ(errors.back(), "Not a model file (raw/xmodel/NAME): '" + settings.Cod4Path + "'");
  EXPECT_EQ(jobs.size(), 2u);
}

TEST(HotkeysTest, SlotsFireInTheirOrderOncePerPressAndOnlyFromTheirOwnArray) {
  KeyMap map = DefaultKeyMap();
  KeyArray down{}, chars{};
  down[0x70] = down[0x20] = 1;                // F1: the game cycle, Space: the model list
  chars['m'] = chars['t'] = chars['f'] = 1;  // export MA, tags, frame the model
  down['w'] = 1;                              // a key code is not the typed "w"
  std::vector<int> fired;
  RunHotkeys(map, down, chars, [&](int slot) { fired.push_back(slot); });
  EXPECT_EQ(fired, (std::vector<int>{kHotkeyCycleGame, kHotkeyModelList, kHotkeyFrameModel, kHotkeyExportMA,
                                     kHotkeyTags}));
  EXPECT_EQ(down[0x70] + down[0x20] + chars['m'] + chars['t'] + chars['f'], 0);
  EXPECT_EQ(down['w'], 1);
  fired.clear();
  RunHotkeys(map, down, chars, [&](int slot) { fired.push_back(slot); });
  EXPECT_TRUE(fired.empty());
  EXPECT_EQ(HotkeyCommand(kHotkeyExportXE), "export_XE;");
  EXPECT_EQ(HotkeySwitch(kHotkeyBones), &QorSettings::draw_bones);
}

}  // namespace
