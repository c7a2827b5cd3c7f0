// org.freedesktop.Notifications.Notify without waiting: a plain notice wants
// no reply; a notice with a button is answered with its id later, taken up
// by Dispatch, which then matches the desktop's ActionInvoked to it.
#include "platform/notifications.h"

#include <cstdint>

#include "base/utf8_text.h"
#include "platform/dbus_session.h"

namespace platform {
namespace {

constexpr const char* kNotifyName = "org.freedesktop.Notifications";
constexpr const char* kNotifyPath = "/org/freedesktop/Notifications";
constexpr const char* kNotifyMatch = "type='signal',interface='org.freedesktop.Notifications'";
constexpr const char* kActionKey = "vantor_action";
constexpr int32_t kNoticeTimeoutMs = 10000;
// Buttons of notices the desktop never reports closed are dropped oldest
// first past this many.
constexpr size_t kMaxButtons = 32;

template <typename Map>
void Bound(Map& map) {
  while (map.size() > kMaxButtons) map.erase(map.begin());
}

}  // namespace

Notifier::~Notifier() {
  // Whatever the socket takes now; a notice never holds up the exit.
  if (connection_ != nullptr) dbus_connection_read_write(connection_, 0);
  CloseSessionBus(connection_);
}

bool Notifier::ShowNotice(const std::string& title, const std::string& text, NoticeAction action) {
  if (connection_ != nullptr && !dbus_connection_get_is_connected(connection_)) {
    CloseSessionBus(connection_);
    connection_ = nullptr;
    listening_ = false;
    by_serial_.clear();
    by_id_.clear();
  }
  if (connection_ == nullptr) connection_ = OpenSessionBus();
  if (connection_ == nullptr) return false;
  const bool button = bool(action.run);
  if (button && !listening_) {
    // Without an error to fill, this does not wait for the bus's answer.
    dbus_bus_add_match(connection_, kNotifyMatch, nullptr);
    listening_ = true;
  }

  DBusMessage* call = dbus_message_new_method_call(kNotifyName, kNotifyPath, kNotifyName, "Notify");
  if (call == nullptr) return false;
  if (!button) dbus_message_set_no_reply(call, TRUE);
  // susssasa{sv}i: app name, id to replace (none), icon, summary, body,
  // actions (key, label pairs), hints, time-out.
  DBusMessageIter iter, array;
  dbus_message_iter_init_append(call, &iter);
  const uint32_t replaces = 0;
  AppendString(&iter, "Vantor");
  dbus_message_iter_append_basic(&iter, DBUS_TYPE_UINT32, &replaces);
  AppendString(&iter, "vantor");
  AppendString(&iter, CutUtf8(ValidUtf8(title), kNoticeTitleChars));
  AppendString(&iter, CutUtf8(ValidUtf8(text), kNoticeTextChars));
  dbus_message_iter_open_container(&iter, DBUS_TYPE_ARRAY, "s", &array);
  if (button) {
    AppendString(&array, kActionKey);
    AppendString(&array, CutUtf8(ValidUtf8(action.label), kNoticeTitleChars));
  }
  dbus_message_iter_close_container(&iter, &array);
  dbus_message_iter_open_container(&iter, DBUS_TYPE_ARRAY, "{sv}", &array);
  dbus_message_iter_close_container(&iter, &array);
  dbus_message_iter_append_basic(&iter, DBUS_TYPE_INT32, &kNoticeTimeoutMs);
  dbus_uint32_t serial = 0;
  const bool sent = dbus_connection_send(connection_, call, &serial);
  dbus_message_unref(call);
  if (sent && button) {
    by_serial_[serial] = std::move(action.run);
    Bound(by_serial_);
  }
  Dispatch();
  return sent;
}

void Notifier::Take(DBusMessage* message) {
  const int type = dbus_message_get_type(message);
  if (type == DBUS_MESSAGE_TYPE_METHOD_RETURN || type == DBUS_MESSAGE_TYPE_ERROR) {
    auto it = by_serial_.find(dbus_message_get_reply_serial(message));
    if (it == by_serial_.end()) return;
    dbus_uint32_t id = 0;
    if (type == DBUS_MESSAGE_TYPE_METHOD_RETURN &&
        dbus_message_get_args(message, nullptr, DBUS_TYPE_UINT32, &id, DBUS_TYPE_INVALID)) {
      by_id_[id] = std::move(it->second);
      Bound(by_id_);
    }
    by_serial_.erase(it);
    return;
  }
  dbus_uint32_t id = 0;
  if (dbus_message_is_signal(message, kNotifyName, "ActionInvoked")) {
    const char* key = nullptr;
    if (!dbus_message_get_args(message, nullptr, DBUS_TYPE_UINT32, &id, DBUS_TYPE_STRING, &key,
                               DBUS_TYPE_INVALID))
      return;
    auto it = by_id_.find(id);
    if (it == by_id_.end() || std::string(key) != kActionKey) return;
    const std::function<void()> run = it->second;  // may show another notice
    run();
  } else if (dbus_message_is_signal(message, kNotifyName, "NotificationClosed")) {
    if (dbus_message_get_args(message, nullptr, DBUS_TYPE_UINT32, &id, DBUS_TYPE_INVALID)) by_id_.erase(id);
  }
}

void Notifier::Dispatch() {
  if (connection_ == nullptr) return;
  dbus_connection_read_write(connection_, 0);
  while (DBusMessage* message = dbus_connection_pop_message(connection_)) {
    Take(message);
    dbus_message_unref(message);
  }
}

}  // namespace platform
