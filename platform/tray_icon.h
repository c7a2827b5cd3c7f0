// The notification-area icon on a Linux desktop: a StatusNotifierItem on the
// session bus with its menu (platform/tray_menu.h). The desktop's watcher
// shows it; when the watcher (the panel) restarts, the item registers again.
// Main thread only: Dispatch() runs once per frame and never blocks.
#pragma once

#include <dbus/dbus.h>  // Required for: DBusConnection

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

// An icon picture: width * height pixels, 0xAARRGGBB each, rows top down.
struct TrayPixmap {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> argb;
};

struct TrayConfig {
  std::string tip = "QorFen Vantor";
  // Themed icon names; the pixmaps are shown by hosts that cannot find them.
  std::string icon_name = "vantor";
  std::string alternate_icon_name = "vantor";
  TrayPixmap icon;            // may be empty
  TrayPixmap alternate_icon;  // may be empty
  // Extra folder the host searches for the themed names (a build tree's
  // icons); empty for the installed ones.
  std::string icon_theme_path;
  // Gets the command id of a clicked menu entry, and kTrayAbout (the menu's
  // default entry) for a left click on the icon. Called from Dispatch().
  std::function<void(int command)> on_command;
};

class TrayIcon {
 public:
  TrayIcon() = default;
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Puts the icon on the session bus and registers it with the desktop's
  // watcher. False when there is no session bus or no watcher (the program
  // then runs without a tray icon). Waits at most about two seconds.
  bool Create(TrayConfig config);

  // Swaps to the alternate icon (true) or back to the normal one.
  void SetIcon(bool alternate);

  // Answers the desktop and runs clicked commands; non-blocking.
  void Dispatch();

  // Takes the icon off the desktop. True when it is gone (also when the bus
  // went away first), false when it was never created.
  bool Remove();

  bool created() const { return connection_ != nullptr; }

 private:
  static DBusHandlerResult OnItemMessage(DBusConnection* connection, DBusMessage* message,
                                         void* self);
  static DBusHandlerResult OnMenuMessage(DBusConnection* connection, DBusMessage* message,
                                         void* self);
  static DBusHandlerResult OnBusSignal(DBusConnection* connection, DBusMessage* message,
                                       void* self);
  DBusPendingCall* SendRegistration();
  void RunCommands();
  void Close();

  DBusConnection* connection_ = nullptr;
  TrayConfig config_;
  std::string bus_name_;
  bool alternate_ = false;
  bool removed_ = false;
  std::vector<int> commands_;  // clicked during one dispatch, run after it
};

}  // namespace platform
