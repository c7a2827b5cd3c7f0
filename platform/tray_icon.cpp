// StatusNotifierItem over libdbus. The item lives at "/StatusNotifierItem"
// under the name "org.kde.StatusNotifierItem-<pid>-1"; the watcher is told
// that name, and hosts then read the properties below and the menu.
#include "platform/tray_icon.h"

#include <unistd.h>  // Required for: getpid()

#include <chrono>
#include <cstring>
#include <string_view>

#include "platform/dbus_session.h"
#include "platform/tray_menu.h"

namespace platform {
namespace {

constexpr const char* kItemPath = "/StatusNotifierItem";
constexpr const char* kItemInterface = "org.kde.StatusNotifierItem";
constexpr const char* kWatcherName = "org.kde.StatusNotifierWatcher";
constexpr const char* kWatcherPath = "/StatusNotifierWatcher";
constexpr int kRegisterTimeoutMs = 2000;

constexpr const char* kItemProperties[] = {
    "Category",          "Id",                  "Title",          "Status",
    "WindowId",          "IconName",            "IconPixmap",     "OverlayIconName",
    "OverlayIconPixmap", "AttentionIconName",   "AttentionIconPixmap",
    "AttentionMovieName", "ToolTip",            "ItemIsMenu",     "Menu",
    "IconThemePath"};

// a(iiay): the picture as one pixmap of big-endian ARGB32, or none when the
// caller gave none (or a size that does not match its pixels).
void AppendPixmaps(DBusMessageIter* iter, const TrayPixmap* pixmap) {
  DBusMessageIter array, item, bytes;
  dbus_message_iter_open_container(iter, DBUS_TYPE_ARRAY, "(iiay)", &array);
  if (pixmap != nullptr && pixmap->width > 0 && pixmap->height > 0 &&
      pixmap->argb.size() == static_cast<size_t>(pixmap->width) * pixmap->height) {
    std::vector<unsigned char> data;
    data.reserve(pixmap->argb.size() * 4);
    for (uint32_t p : pixmap->argb) {
      data.insert(data.end(), {static_cast<unsigned char>(p >> 24), static_cast<unsigned char>(p >> 16),
                               static_cast<unsigned char>(p >> 8), static_cast<unsigned char>(p)});
    }
    const int32_t width = pixmap->width, height = pixmap->height;
    const unsigned char* first = data.data();
    dbus_message_iter_open_container(&array, DBUS_TYPE_STRUCT, nullptr, &item);
    dbus_message_iter_append_basic(&item, DBUS_TYPE_INT32, &width);
    dbus_message_iter_append_basic(&item, DBUS_TYPE_INT32, &height);
    dbus_message_iter_open_container(&item, DBUS_TYPE_ARRAY, "y", &bytes);
    dbus_message_iter_append_fixed_array(&bytes, DBUS_TYPE_BYTE, &first,
                                         static_cast<int>(data.size()));
    dbus_message_iter_close_container(&item, &bytes);
    dbus_message_iter_close_container(&array, &item);
  }
  dbus_message_iter_close_container(iter, &array);
}

void AppendVariantPixmaps(DBusMessageIter* iter, const TrayPixmap* pixmap) {
  DBusMessageIter variant;
  dbus_message_iter_open_container(iter, DBUS_TYPE_VARIANT, "a(iiay)", &variant);
  AppendPixmaps(&variant, pixmap);
  dbus_message_iter_close_container(iter, &variant);
}

// (sa(iiay)ss): icon name, icon, title, description; only the title is used.
void AppendVariantToolTip(DBusMessageIter* iter, const std::string& tip) {
  DBusMessageIter variant, tool_tip;
  dbus_message_iter_open_container(iter, DBUS_TYPE_VARIANT, "(sa(iiay)ss)", &variant);
  dbus_message_iter_open_container(&variant, DBUS_TYPE_STRUCT, nullptr, &tool_tip);
  AppendString(&tool_tip, "");
  AppendPixmaps(&tool_tip, nullptr);
  AppendString(&tool_tip, tip);
  AppendString(&tool_tip, "");
  dbus_message_iter_close_container(&variant, &tool_tip);
  dbus_message_iter_close_container(iter, &variant);
}

void EmitItemSignal(DBusConnection* connection, const char* name) {
  DBusMessage* signal = dbus_message_new_signal(kItemPath, kItemInterface, name);
  dbus_connection_send(connection, signal, nullptr);
  dbus_message_unref(signal);
}

}  // namespace

TrayIcon::~TrayIcon() { Close(); }

bool TrayIcon::Create(TrayConfig config) {
  if (connection_ != nullptr) return true;
  connection_ = OpenSessionBus();
  if (connection_ == nullptr) return false;
  config_ = std::move(config);
  alternate_ = false;
  removed_ = false;

  // Step 1: a desktop without a watcher has no tray to show the item in.
  DBusError error;
  dbus_error_init(&error);
  if (!dbus_bus_name_has_owner(connection_, kWatcherName, &error)) {
    dbus_error_free(&error);
    Close();
    return false;
  }

  // Step 2: the item, its menu, and news of the watcher coming and going.
  static const DBusObjectPathVTable item_table = {nullptr, &TrayIcon::OnItemMessage, nullptr,
                                                  nullptr, nullptr, nullptr};
  static const DBusObjectPathVTable menu_table = {nullptr, &TrayIcon::OnMenuMessage, nullptr,
                                                  nullptr, nullptr, nullptr};
  if (!dbus_connection_register_object_path(connection_, kItemPath, &item_table, this) ||
      !dbus_connection_register_object_path(connection_, kTrayMenuPath, &menu_table, this) ||
      !dbus_connection_add_filter(connection_, &TrayIcon::OnBusSignal, this, nullptr)) {
    Close();
    return false;
  }
  dbus_bus_add_match(connection_,
                     "type='signal',sender='org.freedesktop.DBus',interface='org.freedesktop.DBus',"
                     "member='NameOwnerChanged',arg0='org.kde.StatusNotifierWatcher'",
                     &error);
  dbus_error_free(&error);

  // Step 3: the well-known name hosts expect; the unique name still works
  // for a watcher if another item of this process holds it.
  bus_name_ = "org.kde.StatusNotifierItem-" + std::to_string(getpid()) + "-1";
  if (dbus_bus_request_name(connection_, bus_name_.c_str(), DBUS_NAME_FLAG_DO_NOT_QUEUE, &error) !=
      DBUS_REQUEST_NAME_REPLY_PRIMARY_OWNER) {
    dbus_error_free(&error);
    bus_name_ = dbus_bus_get_unique_name(connection_);
  }

  // Step 4: register, answering the host's calls meanwhile (some watchers
  // read the item before they reply).
  DBusPendingCall* pending = SendRegistration();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kRegisterTimeoutMs);
  while (pending != nullptr && !dbus_pending_call_get_completed(pending) &&
         std::chrono::steady_clock::now() < deadline &&
         dbus_connection_read_write_dispatch(connection_, 50)) {
  }
  bool registered = false;
  if (pending != nullptr) {
    if (DBusMessage* reply = dbus_pending_call_steal_reply(pending)) {
      registered = dbus_message_get_type(reply) == DBUS_MESSAGE_TYPE_METHOD_RETURN;
      dbus_message_unref(reply);
    }
    dbus_pending_call_cancel(pending);
    dbus_pending_call_unref(pending);
  }
  if (!registered) {
    Close();
    return false;
  }
  commands_.clear();  // nothing the user clicked before the icon existed
  EmitTrayMenuLayoutUpdated(connection_);
  dbus_connection_read_write(connection_, 0);
  return true;
}

DBusPendingCall* TrayIcon::SendRegistration() {
  DBusMessage* call = dbus_message_new_method_call(kWatcherName, kWatcherPath, kWatcherName,
                                                   "RegisterStatusNotifierItem");
  const char* name = bus_name_.c_str();
  dbus_message_append_args(call, DBUS_TYPE_STRING, &name, DBUS_TYPE_INVALID);
  DBusPendingCall* pending = nullptr;
  if (!dbus_connection_send_with_reply(connection_, call, &pending, kRegisterTimeoutMs)) {
    pending = nullptr;
  }
  dbus_message_unref(call);
  return pending;
}

void TrayIcon::SetIcon(bool alternate) {
  if (connection_ == nullptr || removed_) return;
  alternate_ = alternate;
  EmitItemSignal(connection_, "NewIcon");
}

void TrayIcon::Dispatch() {
  if (connection_ == nullptr || removed_) return;
  // read_write with no time-out moves what the socket has now and returns.
  if (!dbus_connection_read_write(connection_, 0)) return;
  while (dbus_connection_dispatch(connection_) == DBUS_DISPATCH_DATA_REMAINS) {
  }
  dbus_connection_read_write(connection_, 0);  // the replies just queued
  RunCommands();
}

void TrayIcon::RunCommands() {
  // Commands run after dispatching: one may remove the icon.
  std::vector<int> commands;
  commands.swap(commands_);
  for (int command : commands) {
    if (config_.on_command) config_.on_command(command);
  }
}

bool TrayIcon::Remove() {
  if (removed_) return true;
  if (connection_ == nullptr) return false;
  // Closing the connection takes the item off the bus whatever else fails;
  // releasing the name first lets the watcher drop it at once.
  if (dbus_connection_get_is_connected(connection_)) {
    DBusError error;
    dbus_error_init(&error);
    dbus_bus_release_name(connection_, bus_name_.c_str(), &error);
    dbus_error_free(&error);
    dbus_connection_flush(connection_);
  }
  Close();
  removed_ = true;
  return true;
}

void TrayIcon::Close() {
  if (connection_ == nullptr) return;
  // The objects and the filter go with the connection: a closed connection
  // dispatches nothing, so none of them is called with this object again.
  CloseSessionBus(connection_);
  connection_ = nullptr;
}

DBusHandlerResult TrayIcon::OnItemMessage(DBusConnection* connection, DBusMessage* message,
                                          void* self) {
  auto* tray = static_cast<TrayIcon*>(self);
  if (dbus_message_get_type(message) != DBUS_MESSAGE_TYPE_METHOD_CALL) {
    return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
  }
  if (dbus_message_has_interface(message, DBUS_INTERFACE_PROPERTIES)) {
    const TrayConfig& c = tray->config_;
    const bool alt = tray->alternate_;
    return AnswerProperties(connection, message, kItemInterface, kItemProperties,
                            [&](DBusMessageIter* iter, std::string_view name) {
      if (name == "Category") return AppendVariantString(iter, "ApplicationStatus");
      if (name == "Id") return AppendVariantString(iter, "vantor");
      if (name == "Title") return AppendVariantString(iter, "Vantor");
      if (name == "Status") return AppendVariantString(iter, "Active");
      if (name == "WindowId") return AppendVariantInt(iter, 0);
      if (name == "IconName") return AppendVariantString(iter, alt ? c.alternate_icon_name : c.icon_name);
      if (name == "IconPixmap") return AppendVariantPixmaps(iter, alt ? &c.alternate_icon : &c.icon);
      if (name == "ToolTip") return AppendVariantToolTip(iter, c.tip);
      if (name == "ItemIsMenu") return AppendVariantBool(iter, false);
      if (name == "Menu") return AppendVariantPath(iter, kTrayMenuPath);
      if (name == "IconThemePath") return AppendVariantString(iter, c.icon_theme_path);
      if (name.ends_with("Pixmap")) return AppendVariantPixmaps(iter, nullptr);
      AppendVariantString(iter, "");  // the overlay, attention and movie names
    });
  }
  const char* interface = dbus_message_get_interface(message);
  if (interface != nullptr && std::strcmp(interface, kItemInterface) != 0) {
    return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
  }
  // Activate is the primary (left) click: the menu's default entry.
  // ContextMenu, SecondaryActivate and Scroll do nothing: hosts show the
  // menu from the Menu property themselves.
  if (dbus_message_has_member(message, "Activate")) tray->commands_.push_back(kTrayAbout);
  if (dbus_message_has_member(message, "Activate") || dbus_message_has_member(message, "ContextMenu") ||
      dbus_message_has_member(message, "SecondaryActivate") ||
      dbus_message_has_member(message, "Scroll")) {
    SendReply(connection, message, dbus_message_new_method_return(message));
    return DBUS_HANDLER_RESULT_HANDLED;
  }
  return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
}

DBusHandlerResult TrayIcon::OnMenuMessage(DBusConnection* connection, DBusMessage* message,
                                          void* self) {
  return HandleTrayMenuMessage(connection, message, static_cast<TrayIcon*>(self)->commands_);
}

DBusHandlerResult TrayIcon::OnBusSignal(DBusConnection* connection, DBusMessage* message,
                                        void* self) {
  (void)connection;
  auto* tray = static_cast<TrayIcon*>(self);
  if (!dbus_message_is_signal(message, DBUS_INTERFACE_DBUS, "NameOwnerChanged")) {
    return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
  }
  const char *name = nullptr, *old_owner = nullptr, *new_owner = nullptr;
  DBusError error;
  dbus_error_init(&error);
  if (!dbus_message_get_args(message, &error, DBUS_TYPE_STRING, &name, DBUS_TYPE_STRING, &old_owner,
                             DBUS_TYPE_STRING, &new_owner, DBUS_TYPE_INVALID)) {
    dbus_error_free(&error);
    return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
  }
  // A panel that restarts forgets its items: tell the new watcher again.
  if (std::strcmp(name, kWatcherName) == 0 && new_owner[0] != '\0') {
    if (DBusPendingCall* pending = tray->SendRegistration()) dbus_pending_call_unref(pending);
  }
  return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
}

}  // namespace platform
