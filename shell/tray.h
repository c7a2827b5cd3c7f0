// The tray icon, its menu's commands and the balloons, as the window uses
// them: created at start-up when "create_tray_icon" is set, dispatched once
// a pass, removed at shutdown. A failed icon only disables it for this run
// (the stored setting stays as the user left it). Balloons go out as
// desktop notices, with or without a tray host, unless the setting is off.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace platform {
class TrayIcon;
class Notifier;
}  // namespace platform

struct TrayActions {
  std::function<void()> quit;
  std::function<void(const std::string& commands)> run_commands;
  std::function<void(const std::string& text)> show_message;  // the interface's message box
  std::function<void(const std::string& folder)> open_folder;
};

class QorTray {
 public:
  QorTray();
  ~QorTray();
  // Logs "Tray Icon Created", or the warning "Tray Icon Failed to init".
  bool Create(const std::string& data_dir, const std::string& running_dir, TrayActions actions);
  void Dispatch();
  // With a folder, the notice offers "Open Folder" on it.
  void Balloon(const std::string& title, const std::string& text, const std::string& folder = "");
  // The application message that swaps the icon.
  void SetAlternateIcon();
  // Logs "TrayIcon Removed" or the warning "Failed To Remove TrayIcon".
  void Remove();
  bool active() const { return active_; }
  // Runs a tray menu command (public for the tests).
  void RunCommand(int id);

 private:
  std::unique_ptr<platform::TrayIcon> icon_;
  std::unique_ptr<platform::Notifier> notifier_;
  TrayActions actions_;
  std::string running_dir_;
  bool active_ = false;   // the icon was created this run
  bool notices_ = false;  // "create_tray_icon" was set at start
};
