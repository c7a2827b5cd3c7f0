// The program's command words over a headless toolkit: the jobs they queue
// (with the export settings of the moment; none without a model), the donation
// prompt on the third export, settings saved and reset, the mouse diagrams.
#include <gtest/gtest.h>

#include <vector>

#include "shell/screens/layout.h"
#include "gui/qor_gui.h"
#include "jobs/xmodel_threaded.h"
#include "shell/command_words.h"
#include "shell/settings.h"
#include "tests/shell/shell_test_support.h"

namespace {

// A headless toolkit over a scratch settings store, and the words' hooks.
struct CommandWords : testing::Test {
  shell_test::TempDir store;
  NullDraw2D draw;
  MaterialStore materials{nullptr};
  double now = 0;
  CommandProcessor commands{[this] { return now; }};
  QorGUI gui{draw, materials, commands, [this] { return now; }};
  QorSettings settings;
  ProgramWords words;
  CommandWords() {
    gui.SetBoxTextArea({0, 0, 2000, 100, kAnchorFixed});
    words.gui = &gui;
    words.settings = &settings;
  }
};

TEST_F(CommandWords, JobsDonationSettingsAndPages) {
  gui.AddStaticMenu("donate_menu", {}, {}, false);
  gui.AddStaticMenu("error_menu", {}, {}, false);
  gui.AddStaticMenu("Settings_hotkeys_mouse_maya", {}, {}, false);
  gui.AddStaticMenu("Settings_hotkeys_mouse_assView", {}, {}, true);

  std::vector<uint32_t> jobs;
  std::vector<std::string> pages;
  int scans = 0;
  bool model = true;
  words.has_model = [&] { return model; };
  words.queue_job = [&](uint32_t flags) { jobs.push_back(flags); };
  words.run_iwd_scan = [&] { ++scans; };
  words.open_page = [&](const std::string& url) { pages.push_back(url); };
  RegisterProgramWords(commands, words);

  settings.export_images = false;
  commands.RunCommand("export_ma; export_obj");
  EXPECT_FALSE(gui.FindMenu("donate_menu")->visible);
  settings.export_images = true;  // a check box changed: the next job carries it
  commands.RunCommand("export_XE; view_tags; dump_GDT; run_iwd_scan");
  EXPECT_EQ(jobs, (std::vector<uint32_t>{job::kExportMA, job::kExportOBJ, job::kExportXE | job::kMoveImages,
                                         0x184, job::kDumpGDT}));
  EXPECT_EQ(scans, 1);
  EXPECT_TRUE(gui.FindMenu("donate_menu")->visible);  // the third counted export
  EXPECT_TRUE(settings.donate.shown);
  QorSettings reread;
  reread.Load();
  EXPECT_EQ(reread.donate, settings.donate);  // saved at once
  jobs.clear();
  commands.RunCommand("export_gltf; export_glb");  // they move no images
  EXPECT_EQ(jobs, (std::vector<uint32_t>{job::kExportGLTF, job::kExportGLB}));

  settings.mouse_style = 0;
  commands.RunCommand("set_mouse_cntrl_display; pay_pal_donate; save nothing");
  EXPECT_TRUE(gui.FindMenu("Settings_hotkeys_mouse_maya")->visible);
  EXPECT_FALSE(gui.FindMenu("Settings_hotkeys_mouse_assView")->visible);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_NE(pages[0].find("/donate.php"), std::string::npos);

  commands.RunCommand("reset_settings");
  EXPECT_TRUE(gui.FindMenu("error_menu")->visible);
  EXPECT_NE(gui.error_text().find("Settings Have been cleared"), std::string::npos);

  // Without a model the exports, the GDT and the tags say so in the error
  // box, queue nothing and do not move the donation counter.
  model = false;
  jobs.clear();
  const int32_t count = settings.donate.count;
  for (const char* word : {"export_ma", "export_obj", "export_XE", "export_gltf", "dump_GDT", "view_tags"}) {
    gui.ShowError("-");
    commands.RunCommand(word);
    EXPECT_EQ(gui.error_text(), "No Xmodel Loaded") << word;
  }
  EXPECT_TRUE(jobs.empty());
  EXPECT_EQ(settings.donate.count, count);
}

// The update menu: its download button starts the download, and closing
// the menu (its Cancel, or Close) stops one that runs.
TEST_F(CommandWords, UpdateMenuCancelStopsTheDownload) {
  BuildDialogsLayout(gui, settings);
  int started = 0, stopped = 0;
  words.download_update = [&] { ++started; };
  words.stop_update_download = [&] { ++stopped; };
  RegisterProgramWords(commands, words);

  commands.RunCommand("open update_menu;");
  EXPECT_TRUE(gui.FindMenu("update_menu_download")->visible);
  commands.RunCommand("download_update; close update_menu_download; open update_menu_cancel;");
  EXPECT_EQ(started, 1);
  EXPECT_TRUE(gui.FindMenu("update_menu_cancel")->visible);
  now += 2000;  // the menu's fade is over
  gui.Render(60);
  commands.RunCommand("close update_menu;");  // the Cancel button
  EXPECT_EQ(stopped, 1);
  EXPECT_FALSE(gui.FindMenu("update_menu_cancel")->visible);
}

}  // namespace
