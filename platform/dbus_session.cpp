// Private session-bus connections and the message helpers around them.
#include "platform/dbus_session.h"

#include <sys/stat.h>  // Required for: stat()

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "base/utf8_text.h"

namespace platform {
namespace {

// The session bus's address: the environment's, else the per-user socket a
// desktop session provides; empty when neither exists. Read on every open:
// libdbus's own lookup caches the first address it saw for the life of the
// process and autolaunches dbus-launch on an X display when there is none.
std::string SessionBusAddress() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address != nullptr) return address;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime == nullptr || runtime[0] == '\0') return {};
  const std::string socket = std::string(runtime) + "/bus";
  struct stat info {};
  if (stat(socket.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode)) return {};
  return "unix:path=" + socket;
}

void AppendVariantBasic(DBusMessageIter* iter, int type, const char* signature,
                        const void* value) {
  DBusMessageIter variant;
  dbus_message_iter_open_container(iter, DBUS_TYPE_VARIANT, signature, &variant);
  dbus_message_iter_append_basic(&variant, type, value);
  dbus_message_iter_close_container(iter, &variant);
}

}  // namespace

DBusConnection* OpenSessionBus() {
  const std::string address = SessionBusAddress();
  if (address.empty()) return nullptr;
  DBusError error;
  dbus_error_init(&error);
  DBusConnection* connection = dbus_connection_open_private(address.c_str(), &error);
  if (connection == nullptr) {
    dbus_error_free(&error);
    return nullptr;
  }
  dbus_connection_set_exit_on_disconnect(connection, false);
  if (!dbus_bus_register(connection, &error)) {
    dbus_error_free(&error);
    CloseSessionBus(connection);
    return nullptr;
  }
  return connection;
}

void CloseSessionBus(DBusConnection* connection) {
  if (connection == nullptr) return;
  dbus_connection_close(connection);
  dbus_connection_unref(connection);
}

void AppendString(DBusMessageIter* iter, const std::string& text) {
  const std::string valid = ValidUtf8(text);
  const char* chars = valid.c_str();
  dbus_message_iter_append_basic(iter, DBUS_TYPE_STRING, &chars);
}

void AppendVariantString(DBusMessageIter* iter, const std::string& text) {
  const std::string valid = ValidUtf8(text);
  const char* chars = valid.c_str();
  AppendVariantBasic(iter, DBUS_TYPE_STRING, "s", &chars);
}

void AppendVariantPath(DBusMessageIter* iter, const char* path) {
  AppendVariantBasic(iter, DBUS_TYPE_OBJECT_PATH, "o", &path);
}

void AppendVariantBool(DBusMessageIter* iter, bool value) {
  const dbus_bool_t b = value ? TRUE : FALSE;
  AppendVariantBasic(iter, DBUS_TYPE_BOOLEAN, "b", &b);
}

void AppendVariantInt(DBusMessageIter* iter, int32_t value) {
  AppendVariantBasic(iter, DBUS_TYPE_INT32, "i", &value);
}

void AppendVariantUint(DBusMessageIter* iter, uint32_t value) {
  AppendVariantBasic(iter, DBUS_TYPE_UINT32, "u", &value);
}

void OpenDictEntry(DBusMessageIter* dict, DBusMessageIter* entry, const char* key) {
  dbus_message_iter_open_container(dict, DBUS_TYPE_DICT_ENTRY, nullptr, entry);
  dbus_message_iter_append_basic(entry, DBUS_TYPE_STRING, &key);
}

void CloseDictEntry(DBusMessageIter* dict, DBusMessageIter* entry) {
  dbus_message_iter_close_container(dict, entry);
}

void ReplyError(DBusConnection* connection, DBusMessage* message, const char* name,
                const char* text) {
  if (dbus_message_get_no_reply(message)) return;
  SendReply(connection, message, dbus_message_new_error(message, name, text));
}

void SendReply(DBusConnection* connection, DBusMessage* message, DBusMessage* reply) {
  if (reply == nullptr) return;
  if (!dbus_message_get_no_reply(message)) dbus_connection_send(connection, reply, nullptr);
  dbus_message_unref(reply);
}

DBusHandlerResult AnswerProperties(DBusConnection* connection, DBusMessage* message,
                                   const char* interface, std::span<const char* const> names,
                                   const PropertyWriter& append) {
  const char* asked_interface = nullptr;
  const char* name = nullptr;
  DBusError error;
  dbus_error_init(&error);
  if (dbus_message_is_method_call(message, DBUS_INTERFACE_PROPERTIES, "GetAll")) {
    if (!dbus_message_get_args(message, &error, DBUS_TYPE_STRING, &asked_interface,
                               DBUS_TYPE_INVALID)) {
      dbus_error_free(&error);
      ReplyError(connection, message, DBUS_ERROR_INVALID_ARGS, "GetAll takes an interface");
      return DBUS_HANDLER_RESULT_HANDLED;
    }
    DBusMessage* reply = dbus_message_new_method_return(message);
    DBusMessageIter iter, dict, entry;
    dbus_message_iter_init_append(reply, &iter);
    dbus_message_iter_open_container(&iter, DBUS_TYPE_ARRAY, "{sv}", &dict);
    // An empty interface means every interface of the object.
    if (asked_interface[0] == '\0' || std::strcmp(asked_interface, interface) == 0) {
      for (const char* property : names) {
        OpenDictEntry(&dict, &entry, property);
        append(&entry, property);
        CloseDictEntry(&dict, &entry);
      }
    }
    dbus_message_iter_close_container(&iter, &dict);
    SendReply(connection, message, reply);
    return DBUS_HANDLER_RESULT_HANDLED;
  }
  if (dbus_message_is_method_call(message, DBUS_INTERFACE_PROPERTIES, "Get")) {
    if (!dbus_message_get_args(message, &error, DBUS_TYPE_STRING, &asked_interface,
                               DBUS_TYPE_STRING, &name, DBUS_TYPE_INVALID)) {
      dbus_error_free(&error);
      ReplyError(connection, message, DBUS_ERROR_INVALID_ARGS, "Get takes an interface and a name");
      return DBUS_HANDLER_RESULT_HANDLED;
    }
    const bool known = std::any_of(names.begin(), names.end(), [&](const char* property) {
      return std::strcmp(property, name) == 0;
    });
    if (!known || (asked_interface[0] != '\0' && std::strcmp(asked_interface, interface) != 0)) {
      ReplyError(connection, message, DBUS_ERROR_UNKNOWN_PROPERTY, "No such property");
      return DBUS_HANDLER_RESULT_HANDLED;
    }
    DBusMessage* reply = dbus_message_new_method_return(message);
    DBusMessageIter iter;
    dbus_message_iter_init_append(reply, &iter);
    append(&iter, name);
    SendReply(connection, message, reply);
    return DBUS_HANDLER_RESULT_HANDLED;
  }
  if (dbus_message_is_method_call(message, DBUS_INTERFACE_PROPERTIES, "Set")) {
    ReplyError(connection, message, DBUS_ERROR_PROPERTY_READ_ONLY, "Read-only property");
    return DBUS_HANDLER_RESULT_HANDLED;
  }
  return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
}

}  // namespace platform
