// The tray icon and desktop notices against a fake desktop (fake_desktop.py)
// on a private session bus: what a panel reads from the item and its menu,
// clicks coming back as commands, a panel restart, notices from hostile
// bytes, and a bus that goes away. Skips without dbus-run-session or python3-dbus.
// A notice's button in the window: tests/window/tray_window_test.sh.
#include <dbus/dbus.h>
#include <gtest/gtest.h>
#include <spawn.h>     // Required for: posix_spawnp()
#include <sys/wait.h>  // Required for: waitpid()
#include <unistd.h>    // Required for: usleep(), getpid()

#include <csignal>
#include <cstdio>  // Required for: snprintf()
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/dbus_session.h"
#include "base/utf8_text.h"
#include "platform/notifications.h"
#include "platform/tray_icon.h"
#include "platform/tray_menu.h"
#include "tests/support/command.h"
#include "tests/support/files.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

extern char** environ;

namespace {

using test_support::ReadText;

std::string Hex(const std::string& bytes) {
  std::string out;
  char two[3];
  for (unsigned char c : bytes) out.append(two, std::snprintf(two, sizeof two, "%02x", c));
  return out.empty() ? "-" : out;
}

std::string Repeat(const std::string& s, int n) { return n > 0 ? s + Repeat(s, n - 1) : ""; }

// Complete lines only: the fake may be half-way through one.
std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  const std::string text = ReadText(path);
  for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

// Polls `done`, running `pump` between tries; gives up after a bound that
// only a broken exchange reaches.
template <class Pump, class Done>
bool WaitFor(Pump pump, Done done) {
  for (int i = 0; i < 2000; ++i, ::usleep(10000))
    if (pump(), done()) return true;
  return false;
}

// dbus-run-session running fake_desktop.py; the session bus address of
// this process points at its bus while the object lives.
class FakeDesktop {
 public:
  FakeDesktop() : dir_("vantor_tray") {
    int status = 0;
    // Debian's python3-dbus belongs to /usr/bin/python3, not to whatever
    // python3 is first on PATH.
    test_support::RunCommand("/usr/bin/python3 -c 'import dbus, gi.repository.GLib' 2>/dev/null", &status);
    if (!test_support::HaveProgram("dbus-run-session") || status != 0) return;
    const char* argv[] = {"dbus-run-session", "--", "/usr/bin/python3",
                          VANTOR_SOURCE_DIR "/tests/platform/fake_desktop.py", dir_.path().c_str(), nullptr};
    // A group of its own: teardown can end the bus daemon too, should the
    // fake ever hang.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attr, 0);
    if (::posix_spawnp(&pid_, argv[0], nullptr, &attr, const_cast<char**>(argv), environ) != 0) pid_ = -1;
    posix_spawnattr_destroy(&attr);
    const std::string address_file = dir_.Sub("address");
    if (pid_ <= 0 || !WaitFor([] {}, [&] { return std::filesystem::exists(address_file); })) return;
    env_.emplace("DBUS_SESSION_BUS_ADDRESS", ReadText(address_file));
    control_ = platform::OpenSessionBus();
  }

  ~FakeDesktop() {
    if (control_ != nullptr) {
      Call("Quit");
      platform::CloseSessionBus(control_);
    }
    if (pid_ <= 0) return;
    int status = 0;
    for (int i = 0; i < 1000 && ::waitpid(pid_, &status, WNOHANG) == 0; ++i) ::usleep(10000);
    ::kill(-pid_, SIGKILL);  // whatever of the group is left
    ::waitpid(pid_, &status, 0);
  }

  bool running() const { return control_ != nullptr; }
  std::string File(const std::string& name) const { return dir_.Sub(name); }

  // One control call, answered at once (the fake's own calls to the item
  // are asynchronous).
  bool Call(const char* method, std::optional<int> arg = std::nullopt) {
    DBusMessage* call =
        dbus_message_new_method_call("org.vantor.FakeDesktop", "/Control", "org.vantor.FakeDesktop", method);
    if (arg) dbus_message_append_args(call, DBUS_TYPE_INT32, &*arg, DBUS_TYPE_INVALID);
    DBusMessage* reply = dbus_connection_send_with_reply_and_block(control_, call, 10000, nullptr);
    dbus_message_unref(call);
    if (reply != nullptr) dbus_message_unref(reply);
    return reply != nullptr;
  }

 private:
  test_support::TempDir dir_;
  pid_t pid_ = -1;
  std::optional<test_support::ScopedEnv> env_;
  DBusConnection* control_ = nullptr;
};

#define REQUIRE_FAKE_DESKTOP(desk) \
  if (!(desk).running()) GTEST_SKIP() << "no dbus-run-session, or /usr/bin/python3 lacks dbus / gi"

TEST(DbusText, EveryByteStringBecomesValidUtf8) {
  const std::string fffd = "\xEF\xBF\xBD";
  const struct { std::string in, out; } cases[] = {
      {"\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80", "\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80"},
      {"a\xC3", "a" + fffd},                             // cut short at the end
      {"\xE2\x82x", fffd + "x"},                         // cut short before an ASCII byte
      {"\xC0\xAF", fffd + fffd},                         // overlong
      {"\xE0\x80\xAF", fffd + fffd + fffd},              // overlong
      {"\xED\xA0\x80", fffd + fffd + fffd},              // surrogate
      {"\xF4\x90\x80\x80", fffd + fffd + fffd + fffd},  // past U+10FFFF
      {std::string("a\0b", 3), "a" + fffd + "b"},        // NUL would cut the string
  };
  for (const auto& c : cases) EXPECT_EQ(ValidUtf8(c.in), c.out) << Hex(c.in);
  // libdbus's own check is the judge: it is what would abort the process.
  // (Plain text, stray bytes and cuts on whole characters: the notices below.)
  std::mt19937 rng(59);
  for (int i = 0; i < 3000; ++i) {
    std::string bytes(rng() % 24, '\0');
    for (char& b : bytes) b = static_cast<char>(rng() % 4 == 0 ? rng() % 0x80 : 0x80 + rng() % 0x80);
    const std::string valid = ValidUtf8(bytes);
    ASSERT_TRUE(dbus_validate_utf8(valid.c_str(), nullptr)) << Hex(bytes);
    ASSERT_EQ(valid.find('\0'), std::string::npos) << Hex(bytes);
    ASSERT_EQ(ValidUtf8(valid), valid) << Hex(bytes);
  }
}

TEST(TrayIcon, PanelReadsItemAndMenuClicksRunCommandsARestartedPanelGetsItAgainAndTheBusMayGo) {
  auto desk = std::make_unique<FakeDesktop>();
  REQUIRE_FAKE_DESKTOP(*desk);
  std::vector<int> commands;
  platform::TrayConfig config;
  config.icon = {2, 1, {0x80FF0000u, 0xFF00FF00u}};
  config.alternate_icon_name = "vantor-busy";
  config.on_command = [&](int id) { commands.push_back(id); };
  platform::TrayIcon tray;
  ASSERT_TRUE(tray.Create(config));
  auto pump = [&] { tray.Dispatch(); };

  ASSERT_TRUE(WaitFor(pump, [&] { return std::filesystem::exists(desk->File("menu")); }));
  const std::string name = "org.kde.StatusNotifierItem-" + std::to_string(::getpid()) + "-1";
  EXPECT_EQ(ReadLines(desk->File("registrations")), std::vector<std::string>{name});
  const std::vector<std::string> item = ReadLines(desk->File("item"));
  for (const char* line : {"Category=ApplicationStatus", "Id=vantor", "Title=Vantor", "Status=Active",
                           "ToolTip=QorFen Vantor", "IconName=vantor", "Menu=/MenuBar", "ItemIsMenu=false",
                           "IconPixmap=2 1 80ff0000ff00ff00"})
    EXPECT_NE(std::find(item.begin(), item.end(), line), item.end()) << line;
  EXPECT_EQ(ReadText(desk->File("menu")),
            "32772 0 About..\n1 0 Open\n32774 1 Output Directory\n32780 1 Cod4 Root\n"
            "32775 1 Cod5 Root\n32777 1 Cod BO Root\n32778 1 Running Directory\n32771 0 Exit\n");

  // The "Open" submenu itself runs nothing; a left click is "About..".
  for (int entry : {platform::kTrayAbout, platform::kTrayExit, 1}) ASSERT_TRUE(desk->Call("Click", entry));
  ASSERT_TRUE(desk->Call("Activate"));
  ASSERT_TRUE(WaitFor(pump, [&] { return commands.size() >= 3; }));
  EXPECT_EQ(commands, (std::vector<int>{platform::kTrayAbout, platform::kTrayExit, platform::kTrayAbout}));

  tray.SetIcon(true);
  EXPECT_TRUE(WaitFor(pump, [&] { return ReadText(desk->File("icon_name")) == "vantor-busy"; }));

  for (const char* method : {"DropWatcher", "RestoreWatcher"}) ASSERT_TRUE(desk->Call(method));
  EXPECT_TRUE(WaitFor(pump, [&] { return ReadLines(desk->File("registrations")).size() == 2; }));
  EXPECT_EQ(ReadLines(desk->File("registrations")), (std::vector<std::string>{name, name}));
  EXPECT_FALSE(std::filesystem::exists(desk->File("errors"))) << ReadText(desk->File("errors"));

  // The bus goes away: that ends nothing but the icon, and a notice, once the
  // hang-up is seen, tries a new connection and fails.
  const std::string address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  platform::Notifier notifier;
  ASSERT_TRUE(notifier.ShowNotice("Vantor", "before"));
  desk.reset();
  test_support::ScopedEnv dead_bus("DBUS_SESSION_BUS_ADDRESS", address);
  EXPECT_TRUE(WaitFor([&] { pump(); notifier.Dispatch(); },
                      [&] { return !notifier.ShowNotice("Vantor", "after"); }));
  EXPECT_TRUE(tray.Remove()) << "the item went with the bus";
  EXPECT_TRUE(tray.Remove()) << "already removed";
  tray.Dispatch();
}

// (No session bus at all: tests/shell/tray_test.cpp, and the dead bus above.)
TEST(TrayIcon, WithoutAWatcherCreateFailsAndNoticesStillArriveAsValidCutUtf8) {
  FakeDesktop desk;
  REQUIRE_FAKE_DESKTOP(desk);
  ASSERT_TRUE(desk.Call("DropWatcher"));
  platform::TrayIcon tray;
  EXPECT_FALSE(tray.Create({}));
  tray.SetIcon(true);  // a tray that failed ignores the rest
  tray.Dispatch();
  EXPECT_FALSE(tray.Remove());

  const std::string e_acute = "\xC3\xA9", zhong = "\xE4\xB8\xAD", fffd = "\xEF\xBF\xBD";
  const struct { std::string title, text, sent_title, sent_text; } notices[] = {
      {"Exported \xFF\xFE OBJ", "\xFF\xFE" + Repeat(e_acute, 300), "Exported " + fffd + fffd + " OBJ",
       fffd + fffd + Repeat(e_acute, 254)},
      {Repeat(zhong, 70), Repeat("x", 256), Repeat(zhong, 64), Repeat("x", 256)},
      {"", "Screen Shot saved: 'QorVantor_screenshot.dds", "", "Screen Shot saved: 'QorVantor_screenshot.dds"},
  };
  platform::Notifier notifier;
  for (const auto& n : notices) ASSERT_TRUE(notifier.ShowNotice(n.title, n.text));
  ASSERT_TRUE(WaitFor([&] { notifier.Dispatch(); },
                      [&] { return ReadLines(desk.File("notices")).size() == std::size(notices); }));
  const std::vector<std::string> lines = ReadLines(desk.File("notices"));
  for (size_t i = 0; i < std::size(notices); ++i)
    EXPECT_EQ(lines[i], "Vantor vantor " + Hex(notices[i].sent_title) + " " + Hex(notices[i].sent_text) + " 10000");
}

}  // namespace
