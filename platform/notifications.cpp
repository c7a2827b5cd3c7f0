// org.freedesktop.Notifications.Notify with no reply expected: the desktop's
// id for the notice is never needed, and waiting for it could stall a frame.
#include "platform/notifications.h"

#include <cstdint>

#include "platform/dbus_session.h"
#include "platform/dbus_text.h"

namespace platform {
namespace {

constexpr const char* kNotifyName = "org.freedesktop.Notifications";
constexpr const char* kNotifyPath = "/org/freedesktop/Notifications";
constexpr int32_t kNoticeTimeoutMs = 10000;

}  // namespace

Notifier::~Notifier() {
  // Whatever the socket takes now; a notice never holds up the exit.
  if (connection_ != nullptr) dbus_connection_read_write(connection_, 0);
  CloseSessionBus(connection_);
}

bool Notifier::ShowNotice(const std::string& title, const std::string& text) {
  if (connection_ != nullptr && !dbus_connection_get_is_connected(connection_)) {
    CloseSessionBus(connection_);
    connection_ = nullptr;
  }
  if (connection_ == nullptr) connection_ = OpenSessionBus();
  if (connection_ == nullptr) return false;

  DBusMessage* call = dbus_message_new_method_call(kNotifyName, kNotifyPath, kNotifyName, "Notify");
  if (call == nullptr) return false;
  dbus_message_set_no_reply(call, TRUE);
  // susssasa{sv}i: app name, id to replace (none), icon, summary, body,
  // actions, hints, time-out.
  DBusMessageIter iter, array;
  dbus_message_iter_init_append(call, &iter);
  const uint32_t replaces = 0;
  AppendString(&iter, "Vantor");
  dbus_message_iter_append_basic(&iter, DBUS_TYPE_UINT32, &replaces);
  AppendString(&iter, "vantor");
  AppendString(&iter, CutUtf8(ValidUtf8(title), kNoticeTitleChars));
  AppendString(&iter, CutUtf8(ValidUtf8(text), kNoticeTextChars));
  dbus_message_iter_open_container(&iter, DBUS_TYPE_ARRAY, "s", &array);
  dbus_message_iter_close_container(&iter, &array);
  dbus_message_iter_open_container(&iter, DBUS_TYPE_ARRAY, "{sv}", &array);
  dbus_message_iter_close_container(&iter, &array);
  dbus_message_iter_append_basic(&iter, DBUS_TYPE_INT32, &kNoticeTimeoutMs);
  const bool sent = dbus_connection_send(connection_, call, nullptr);
  dbus_message_unref(call);
  Dispatch();
  return sent;
}

void Notifier::Dispatch() {
  if (connection_ == nullptr) return;
  dbus_connection_read_write(connection_, 0);
  // Nothing is handled here; dispatching only frees what arrived.
  while (dbus_connection_dispatch(connection_) == DBUS_DISPATCH_DATA_REMAINS) {
  }
}

}  // namespace platform
