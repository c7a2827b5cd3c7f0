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

struct Recorded {
  int quits = 0;
  std::vector<std::string> commands, messages, folders;
  TrayActions Actions() {
    TrayActions a;
    a.quit = [this] { ++quits; };
    a.run_commands = [this](const std::string& c) { commands.push_back(c); };
    a.show_message = [this](const std::string& t) { messages.push_back(t); };
    a.open_folder = [this](const std::string& f) { folders.push_back(f); };
    return a;
  }
};

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
  Recorded r;
  QorTray tray;
  EXPECT_FALSE(tray.Create("/nonexistent/data", "/opt/vantor", r.Actions()));
  EXPECT_TRUE(log.Contains("Tray Icon Failed to init"));
  EXPECT_TRUE(s.create_tray_icon);  // the failure is this run's, not the stored choice
  for (int id : {platform::kTrayAbout, platform::kTrayOpenCod4Root, platform::kTrayOpenCod5Root,
                 platform::kTrayOpenCodBoRoot, platform::kTrayOpenOutput, platform::kTrayOpenRunningDir,
                 platform::kTrayExit, 32773})
    tray.RunCommand(id);
  EXPECT_EQ(r.commands, std::vector<std::string>{"open about_menu;"});
  EXPECT_EQ(r.folders, (std::vector<std::string>{"/games/cod4", "/opt/vantor", "/opt/vantor"}));
  EXPECT_EQ(r.messages, (std::vector<std::string>{"Cod5 Path Is Not Set", "Cod BO Path Is Not Set"}));
  EXPECT_EQ(r.quits, 1);
  s = saved;
}

}  // namespace
