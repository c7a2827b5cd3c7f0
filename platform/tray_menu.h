// The tray icon's menu as the desktop reads it: com.canonical.dbusmenu on
// "/MenuBar". A fixed tree ("About..", the "Open" submenu, "Exit") whose leaf
// item ids are the window's command ids, so a click hands back the command.
#pragma once

#include <dbus/dbus.h>  // Required for: DBusConnection, DBusMessage

#include <vector>

namespace platform {

inline constexpr const char* kTrayMenuPath = "/MenuBar";

// Command ids of the tray menu, handled by the main window.
inline constexpr int kTrayExit = 32771;
inline constexpr int kTrayAbout = 32772;
inline constexpr int kTrayOpenOutput = 32774;
inline constexpr int kTrayOpenCod5Root = 32775;
inline constexpr int kTrayOpenCodBoRoot = 32777;
inline constexpr int kTrayOpenRunningDir = 32778;
inline constexpr int kTrayOpenCod4Root = 32780;

// Answers one call on "/MenuBar" (the menu's methods and properties). The
// command ids of clicked entries are appended to `clicked`; the caller runs
// them once the message is done.
DBusHandlerResult HandleTrayMenuMessage(DBusConnection* connection, DBusMessage* message,
                                        std::vector<int>& clicked);

// Tells hosts to (re)read the whole menu.
void EmitTrayMenuLayoutUpdated(DBusConnection* connection);

}  // namespace platform
