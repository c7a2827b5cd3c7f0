// com.canonical.dbusmenu over a fixed table. The tree never changes, so the
// layout revision is constant and AboutToShow never asks for a reload.
#include "platform/tray_menu.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/dbus_session.h"

namespace platform {
namespace {

constexpr const char* kMenuInterface = "com.canonical.dbusmenu";
constexpr uint32_t kRevision = 1;
constexpr int kRootId = 0;
constexpr int kOpenId = 1;  // the submenu itself runs no command

struct MenuEntry {
  int id;
  int parent;
  const char* label;
};

// In menu order; ids below 32768 are not commands.
constexpr MenuEntry kEntries[] = {
    {kTrayAbout, kRootId, "About.."},
    {kOpenId, kRootId, "Open"},
    {kTrayOpenOutput, kOpenId, "Output Directory"},
    {kTrayOpenCod4Root, kOpenId, "Cod4 Root"},
    {kTrayOpenCod5Root, kOpenId, "Cod5 Root"},
    {kTrayOpenCodBoRoot, kOpenId, "Cod BO Root"},
    {kTrayOpenRunningDir, kOpenId, "Running Directory"},
    {kTrayExit, kRootId, "Exit"},
};

const MenuEntry* FindEntry(int id) {
  for (const MenuEntry& entry : kEntries) {
    if (entry.id == id) return &entry;
  }
  return nullptr;
}

bool Exists(int id) { return id == kRootId || FindEntry(id) != nullptr; }

bool HasChildren(int id) {
  for (const MenuEntry& entry : kEntries) {
    if (entry.parent == id) return true;
  }
  return false;
}

bool IsCommand(int id) { return id >= 32768 && FindEntry(id) != nullptr; }

// `wanted` empty means every property.
bool Wanted(const std::vector<std::string>& wanted, const char* name) {
  if (wanted.empty()) return true;
  for (const std::string& w : wanted) {
    if (w == name) return true;
  }
  return false;
}

void AppendProperties(DBusMessageIter* iter, int id, const std::vector<std::string>& wanted) {
  DBusMessageIter dict, entry;
  dbus_message_iter_open_container(iter, DBUS_TYPE_ARRAY, "{sv}", &dict);
  const MenuEntry* item = FindEntry(id);
  if (item != nullptr && Wanted(wanted, "label")) {
    OpenDictEntry(&dict, &entry, "label");
    AppendVariantString(&entry, item->label);
    CloseDictEntry(&dict, &entry);
  }
  if (HasChildren(id) && Wanted(wanted, "children-display")) {
    OpenDictEntry(&dict, &entry, "children-display");
    AppendVariantString(&entry, "submenu");
    CloseDictEntry(&dict, &entry);
  }
  dbus_message_iter_close_container(iter, &dict);
}

// (ia{sv}av): the item, its properties and, `depth` levels down (-1: all),
// its children as variants.
void AppendLayout(DBusMessageIter* iter, int id, int depth, const std::vector<std::string>& wanted) {
  DBusMessageIter item, children, child;
  dbus_message_iter_open_container(iter, DBUS_TYPE_STRUCT, nullptr, &item);
  dbus_message_iter_append_basic(&item, DBUS_TYPE_INT32, &id);
  AppendProperties(&item, id, wanted);
  dbus_message_iter_open_container(&item, DBUS_TYPE_ARRAY, "v", &children);
  if (depth != 0) {
    for (const MenuEntry& entry : kEntries) {
      if (entry.parent != id) continue;
      dbus_message_iter_open_container(&children, DBUS_TYPE_VARIANT, "(ia{sv}av)", &child);
      AppendLayout(&child, entry.id, depth - 1, wanted);
      dbus_message_iter_close_container(&children, &child);
    }
  }
  dbus_message_iter_close_container(&item, &children);
  dbus_message_iter_close_container(iter, &item);
}

std::vector<std::string> ReadStrings(DBusMessageIter* iter) {
  std::vector<std::string> out;
  if (dbus_message_iter_get_arg_type(iter) != DBUS_TYPE_ARRAY) return out;
  DBusMessageIter array;
  dbus_message_iter_recurse(iter, &array);
  while (dbus_message_iter_get_arg_type(&array) == DBUS_TYPE_STRING) {
    const char* s = nullptr;
    dbus_message_iter_get_basic(&array, &s);
    out.emplace_back(s);
    dbus_message_iter_next(&array);
  }
  return out;
}

std::vector<int> ReadInts(DBusMessageIter* iter) {
  std::vector<int> out;
  if (dbus_message_iter_get_arg_type(iter) != DBUS_TYPE_ARRAY) return out;
  DBusMessageIter array;
  dbus_message_iter_recurse(iter, &array);
  while (dbus_message_iter_get_arg_type(&array) == DBUS_TYPE_INT32) {
    int32_t v = 0;
    dbus_message_iter_get_basic(&array, &v);
    out.push_back(v);
    dbus_message_iter_next(&array);
  }
  return out;
}

// One Event: only a click on a command entry does anything.
bool TakeEvent(int id, const char* event, std::vector<int>& clicked) {
  if (!Exists(id)) return false;
  if (std::strcmp(event, "clicked") == 0 && IsCommand(id)) clicked.push_back(id);
  return true;
}

void AnswerGetLayout(DBusConnection* connection, DBusMessage* message, DBusMessageIter* args) {
  int32_t parent = 0, depth = -1;
  if (dbus_message_iter_get_arg_type(args) == DBUS_TYPE_INT32) {
    dbus_message_iter_get_basic(args, &parent);
    dbus_message_iter_next(args);
  }
  if (dbus_message_iter_get_arg_type(args) == DBUS_TYPE_INT32) {
    dbus_message_iter_get_basic(args, &depth);
    dbus_message_iter_next(args);
  }
  const std::vector<std::string> wanted = ReadStrings(args);
  if (!Exists(parent)) {
    ReplyError(connection, message, DBUS_ERROR_INVALID_ARGS, "No such menu item");
    return;
  }
  DBusMessage* reply = dbus_message_new_method_return(message);
  DBusMessageIter iter;
  dbus_message_iter_init_append(reply, &iter);
  const uint32_t revision = kRevision;
  dbus_message_iter_append_basic(&iter, DBUS_TYPE_UINT32, &revision);
  AppendLayout(&iter, parent, depth, wanted);
  SendReply(connection, message, reply);
}

void AnswerGroupProperties(DBusConnection* connection, DBusMessage* message,
                           DBusMessageIter* args) {
  std::vector<int> ids = ReadInts(args);
  dbus_message_iter_next(args);
  const std::vector<std::string> wanted = ReadStrings(args);
  if (ids.empty()) {
    ids.push_back(kRootId);
    for (const MenuEntry& entry : kEntries) ids.push_back(entry.id);
  }
  DBusMessage* reply = dbus_message_new_method_return(message);
  DBusMessageIter iter, array, item;
  dbus_message_iter_init_append(reply, &iter);
  dbus_message_iter_open_container(&iter, DBUS_TYPE_ARRAY, "(ia{sv})", &array);
  for (int32_t id : ids) {
    if (!Exists(id)) continue;
    dbus_message_iter_open_container(&array, DBUS_TYPE_STRUCT, nullptr, &item);
    dbus_message_iter_append_basic(&item, DBUS_TYPE_INT32, &id);
    AppendProperties(&item, id, wanted);
    dbus_message_iter_close_container(&array, &item);
  }
  dbus_message_iter_close_container(&iter, &array);
  SendReply(connection, message, reply);
}

void AnswerEventGroup(DBusConnection* connection, DBusMessage* message, DBusMessageIter* args,
                      std::vector<int>& clicked) {
  std::vector<int32_t> errors;
  if (dbus_message_iter_get_arg_type(args) == DBUS_TYPE_ARRAY) {
    DBusMessageIter array, event;
    dbus_message_iter_recurse(args, &array);
    while (dbus_message_iter_get_arg_type(&array) == DBUS_TYPE_STRUCT) {
      dbus_message_iter_recurse(&array, &event);
      int32_t id = 0;
      const char* name = "";
      dbus_message_iter_get_basic(&event, &id);
      dbus_message_iter_next(&event);
      if (dbus_message_iter_get_arg_type(&event) == DBUS_TYPE_STRING) {
        dbus_message_iter_get_basic(&event, &name);
      }
      if (!TakeEvent(id, name, clicked)) errors.push_back(id);
      dbus_message_iter_next(&array);
    }
  }
  DBusMessage* reply = dbus_message_new_method_return(message);
  DBusMessageIter iter, array;
  dbus_message_iter_init_append(reply, &iter);
  dbus_message_iter_open_container(&iter, DBUS_TYPE_ARRAY, "i", &array);
  for (int32_t id : errors) dbus_message_iter_append_basic(&array, DBUS_TYPE_INT32, &id);
  dbus_message_iter_close_container(&iter, &array);
  SendReply(connection, message, reply);
}

constexpr const char* kMenuProperties[] = {"Version", "TextDirection", "Status", "IconThemePath"};

void AppendMenuProperty(DBusMessageIter* iter, std::string_view name) {
  if (name == "Version") {
    AppendVariantUint(iter, 3);
  } else if (name == "TextDirection") {
    AppendVariantString(iter, "ltr");
  } else if (name == "Status") {
    AppendVariantString(iter, "normal");
  } else {  // IconThemePath: none, the entries have no icons
    DBusMessageIter variant, array;
    dbus_message_iter_open_container(iter, DBUS_TYPE_VARIANT, "as", &variant);
    dbus_message_iter_open_container(&variant, DBUS_TYPE_ARRAY, "s", &array);
    dbus_message_iter_close_container(&variant, &array);
    dbus_message_iter_close_container(iter, &variant);
  }
}

}  // namespace

DBusHandlerResult HandleTrayMenuMessage(DBusConnection* connection, DBusMessage* message,
                                        std::vector<int>& clicked) {
  if (dbus_message_get_type(message) != DBUS_MESSAGE_TYPE_METHOD_CALL) {
    return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
  }
  if (dbus_message_has_interface(message, DBUS_INTERFACE_PROPERTIES)) {
    return AnswerProperties(connection, message, kMenuInterface, kMenuProperties,
                            AppendMenuProperty);
  }
  const char* interface = dbus_message_get_interface(message);
  if (interface != nullptr && std::strcmp(interface, kMenuInterface) != 0) {
    return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
  }
  const char* member = dbus_message_get_member(message);
  DBusMessageIter args;
  dbus_message_iter_init(message, &args);
  if (std::strcmp(member, "GetLayout") == 0) {
    AnswerGetLayout(connection, message, &args);
  } else if (std::strcmp(member, "GetGroupProperties") == 0) {
    AnswerGroupProperties(connection, message, &args);
  } else if (std::strcmp(member, "GetProperty") == 0) {
    int32_t id = 0;
    const char* name = "";
    DBusError error;
    dbus_error_init(&error);
    if (!dbus_message_get_args(message, &error, DBUS_TYPE_INT32, &id, DBUS_TYPE_STRING, &name,
                               DBUS_TYPE_INVALID)) {
      dbus_error_free(&error);
    }
    const MenuEntry* entry = FindEntry(id);
    if (entry == nullptr || std::strcmp(name, "label") != 0) {
      ReplyError(connection, message, DBUS_ERROR_INVALID_ARGS, "No such menu property");
    } else {
      DBusMessage* reply = dbus_message_new_method_return(message);
      DBusMessageIter iter;
      dbus_message_iter_init_append(reply, &iter);
      AppendVariantString(&iter, entry->label);
      SendReply(connection, message, reply);
    }
  } else if (std::strcmp(member, "Event") == 0) {
    int32_t id = -1;
    const char* event = "";
    if (dbus_message_iter_get_arg_type(&args) == DBUS_TYPE_INT32) {
      dbus_message_iter_get_basic(&args, &id);
      dbus_message_iter_next(&args);
      if (dbus_message_iter_get_arg_type(&args) == DBUS_TYPE_STRING) {
        dbus_message_iter_get_basic(&args, &event);
      }
    }
    if (TakeEvent(id, event, clicked)) {
      SendReply(connection, message, dbus_message_new_method_return(message));
    } else {
      ReplyError(connection, message, DBUS_ERROR_INVALID_ARGS, "No such menu item");
    }
  } else if (std::strcmp(member, "EventGroup") == 0) {
    AnswerEventGroup(connection, message, &args, clicked);
  } else if (std::strcmp(member, "AboutToShow") == 0) {
    DBusMessage* reply = dbus_message_new_method_return(message);
    const dbus_bool_t need_update = FALSE;
    dbus_message_append_args(reply, DBUS_TYPE_BOOLEAN, &need_update, DBUS_TYPE_INVALID);
    SendReply(connection, message, reply);
  } else if (std::strcmp(member, "AboutToShowGroup") == 0) {
    DBusMessage* reply = dbus_message_new_method_return(message);
    DBusMessageIter iter, array;
    dbus_message_iter_init_append(reply, &iter);
    for (int i = 0; i < 2; ++i) {  // updates needed, id errors: both empty
      dbus_message_iter_open_container(&iter, DBUS_TYPE_ARRAY, "i", &array);
      dbus_message_iter_close_container(&iter, &array);
    }
    SendReply(connection, message, reply);
  } else {
    return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
  }
  return DBUS_HANDLER_RESULT_HANDLED;
}

void EmitTrayMenuLayoutUpdated(DBusConnection* connection) {
  DBusMessage* signal = dbus_message_new_signal(kTrayMenuPath, kMenuInterface, "LayoutUpdated");
  const uint32_t revision = kRevision;
  const int32_t parent = kRootId;
  dbus_message_append_args(signal, DBUS_TYPE_UINT32, &revision, DBUS_TYPE_INT32, &parent,
                           DBUS_TYPE_INVALID);
  dbus_connection_send(connection, signal, nullptr);
  dbus_message_unref(signal);
}

}  // namespace platform
