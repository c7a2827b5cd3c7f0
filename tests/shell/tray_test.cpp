// The tray menu's commands as the window runs them, and a tray that cannot
// be made (a tray that is off: tests/window/tray_window_test.sh).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/tray_menu.h"
#include "shell/settings.h"
#include "shell/tray.h"
#include "tests/shell/shell_test_support.h"
#include "tests/support/scoped_env.h"

namespace {

TEST(Tray, MenuCommandsRunTheirActionsAndUnsetRootsSaySo) {
  shell_test::LogCapture log;
  // No session bus: the icon fails and says so, the commands still map.
  test_support::ScopedEnv no_bus("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
  QorSettings& s = Settings();
  const QorSettings saved = s;
  s.create_tray_icon = true;
  s.Cod4Path = "/games/cod4";
  s.Cod5Path = "Set Path";
  s.export_folder = "Running Directory";
  int quits = 0;
  std::vector<std::string> commands, messages, folders;
  TrayActions actions;
  actions.quit = [&] { ++quits; };
  actions.run_commands = [&](const std::string& c) { commands.push_back(c); };
  actions.show_message = [&](const std::string& t) { messages.push_back(t); };
  actions.open_folder = [&](const std::string& f) { folders.push_back(f); };
  QorTray tray;
  EXPECT_FALSE(tray.Create("/nonexistent/data", "/opt/vantor", actions));
  EXPECT_TRUE(log.Contains("Tray Icon Failed to init"));
  EXPECT_TRUE(s.create_tray_icon);  // the failure is this run's, not the stored choice
  for (int id : {platform::kTrayAbout, platform::kTrayOpenCod4Root, platform::kTrayOpenCod5Root,
                 platform::kTrayOpenCodBoRoot, platform::kTrayOpenOutput, platform::kTrayOpenRunningDir,
                 platform::kTrayExit, 32773})
    tray.RunCommand(id);
  EXPECT_EQ(commands, std::vector<std::string>{"open about_menu;"});
  EXPECT_EQ(folders, (std::vector<std::string>{"/games/cod4", "/opt/vantor", "/opt/vantor"}));
  EXPECT_EQ(messages, (std::vector<std::string>{"Cod5 Path Is Not Set", "Cod BO Path Is Not Set"}));
  EXPECT_EQ(quits, 1);
  s = saved;
}

}  // namespace
