#include "shell/tray.h"

#include "base/logger.h"
#include "imaging/png_file.h"
#include "platform/notifications.h"
#include "platform/program_paths.h"
#include "platform/tray_icon.h"
#include "platform/tray_menu.h"
#include "shell/settings.h"

QorTray::QorTray() = default;
QorTray::~QorTray() = default;

namespace {

platform::TrayPixmap Pixmap(const std::string& file) {
  platform::TrayPixmap pixmap;
  int32_t w = 0, h = 0;
  if (ReadPngArgb(file, w, h, pixmap.argb)) {
    pixmap.width = w;
    pixmap.height = h;
  }
  return pixmap;
}

}  // namespace

bool QorTray::Create(const std::string& data_dir, const std::string& running_dir, TrayActions actions) {
  actions_ = std::move(actions);
  running_dir_ = running_dir;
  notices_ = Settings().create_tray_icon;
  if (!notices_) return false;
  platform::TrayConfig config;
  config.tip = "QorFen Vantor";
  // The build's data folder holds the theme; an installed copy finds it
  // under share/icons.
  const std::string theme = platform::IconThemeFolder(data_dir);
  config.icon = Pixmap(theme + "/32x32/apps/vantor.png");
  config.alternate_icon = Pixmap(theme + "/48x48/apps/vantor.png");
  config.icon_theme_path = theme.empty() ? data_dir + "/icons" : theme.substr(0, theme.rfind('/'));
  config.on_command = [this](int id) { RunCommand(id); };
  icon_ = std::make_unique<platform::TrayIcon>();
  active_ = icon_->Create(std::move(config));
  if (active_) {
    Logger().log("Tray Icon Created");
  } else {
    // For this run only: the stored choice is the user's, not this desktop's.
    Logger().warning("Tray Icon Failed to init");
    icon_.reset();
  }
  return active_;
}

void QorTray::RunCommand(int id) {
  const QorSettings& s = Settings();
  auto open_root = [this](const std::string& root, const char* game) {
    if (root == "Set Path") {
      if (actions_.show_message) actions_.show_message(std::string(game) + " Path Is Not Set");
    } else if (actions_.open_folder) {
      actions_.open_folder(root);
    }
  };
  switch (id) {
    case platform::kTrayExit:
      if (actions_.quit) actions_.quit();
      break;
    case platform::kTrayAbout:
      if (actions_.run_commands) actions_.run_commands("open about_menu;");
      break;
    case platform::kTrayOpenOutput:
      if (actions_.open_folder)
        actions_.open_folder(s.export_folder == "Running Directory" ? running_dir_ : s.export_folder);
      break;
    case platform::kTrayOpenCod4Root: open_root(s.Cod4Path, "Cod4"); break;
    case platform::kTrayOpenCod5Root: open_root(s.Cod5Path, "Cod5"); break;
    case platform::kTrayOpenCodBoRoot: open_root(s.BOPath, "Cod BO"); break;
    case platform::kTrayOpenRunningDir:
      if (actions_.open_folder) actions_.open_folder(running_dir_);
      break;
    default: break;
  }
}

void QorTray::Dispatch() {
  if (icon_) icon_->Dispatch();
  if (notifier_) notifier_->Dispatch();
}

void QorTray::Balloon(const std::string& title, const std::string& text, const std::string& folder) {
  if (!notices_) return;
  if (!notifier_) notifier_ = std::make_unique<platform::Notifier>();
  platform::NoticeAction action;
  if (!folder.empty() && actions_.open_folder) {
    action.label = "Open Folder";
    action.run = [this, folder] { actions_.open_folder(folder); };
  }
  notifier_->ShowNotice(title, text, std::move(action));
}

void QorTray::SetAlternateIcon() {
  if (icon_) icon_->SetIcon(true);
}

void QorTray::Remove() {
  if (!icon_) return;
  if (icon_->Remove()) {
    Logger().log("TrayIcon Removed");
  } else {
    Logger().warning("Failed To Remove TrayIcon");
  }
  icon_.reset();
  active_ = false;
}
