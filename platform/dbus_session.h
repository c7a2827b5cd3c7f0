// The session bus for the desktop pieces (tray icon, notices): a private
// connection each, so nothing else in the process can block or dispatch it,
// plus the few message-writing helpers they share.
#pragma once

#include <dbus/dbus.h>  // Required for: DBusConnection, DBusMessageIter

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace platform {

// A private connection to the session bus (what dbus_bus_get_private gives,
// with the address looked up anew each time), or null when there is none.
// Never autolaunches a bus and never exits the process when the bus goes
// away.
DBusConnection* OpenSessionBus();

// Closes and drops a connection from OpenSessionBus; null is fine.
void CloseSessionBus(DBusConnection* connection);

// Writes text through ValidUtf8, so a string never aborts the process.
void AppendString(DBusMessageIter* iter, const std::string& text);

// A variant holding one basic value ('s', 'b', 'i', 'u' or 'o').
void AppendVariantString(DBusMessageIter* iter, const std::string& text);
void AppendVariantPath(DBusMessageIter* iter, const char* path);
void AppendVariantBool(DBusMessageIter* iter, bool value);
void AppendVariantInt(DBusMessageIter* iter, int32_t value);
void AppendVariantUint(DBusMessageIter* iter, uint32_t value);

// Opens a{sv} entry `key`: append its value with one AppendVariant* on
// `entry`, then CloseDictEntry.
void OpenDictEntry(DBusMessageIter* dict, DBusMessageIter* entry, const char* key);
void CloseDictEntry(DBusMessageIter* dict, DBusMessageIter* entry);

// Replies to `message` with an error unless the sender asked for no reply.
void ReplyError(DBusConnection* connection, DBusMessage* message, const char* name,
                const char* text);
// Sends the (possibly empty) `reply`, taking ownership; null is ignored.
void SendReply(DBusConnection* connection, DBusMessage* message, DBusMessage* reply);

// Answers org.freedesktop.DBus.Properties Get and GetAll for `interface`,
// whose properties are `names`; `append` writes one of them as a variant.
// Set is refused: every property here is read-only.
using PropertyWriter = std::function<void(DBusMessageIter* iter, std::string_view name)>;
DBusHandlerResult AnswerProperties(DBusConnection* connection, DBusMessage* message,
                                   const char* interface, std::span<const char* const> names,
                                   const PropertyWriter& append);

}  // namespace platform
