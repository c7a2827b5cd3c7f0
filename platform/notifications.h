// Balloons on a Linux desktop: org.freedesktop.Notifications notices, sent
// without waiting for the desktop's answer. Independent of the tray icon, so
// notices show on desktops that have no tray. Main thread only.
#pragma once

#include <dbus/dbus.h>  // Required for: DBusConnection

#include <string>

namespace platform {

// Longest notice text and title, in characters.
inline constexpr size_t kNoticeTextChars = 256;
inline constexpr size_t kNoticeTitleChars = 64;

class Notifier {
 public:
  Notifier() = default;
  ~Notifier();
  Notifier(const Notifier&) = delete;
  Notifier& operator=(const Notifier&) = delete;

  // Queues one notice (shown for 10 seconds) and starts sending it. Any bytes
  // are accepted: the text is made valid UTF-8 and cut at a character
  // boundary. Opens the session bus on first use and again after it went
  // away. False when there is no session bus.
  bool ShowNotice(const std::string& title, const std::string& text);

  // Sends what is still queued and drops what came in; non-blocking. Call
  // once per frame.
  void Dispatch();

 private:
  DBusConnection* connection_ = nullptr;
};

}  // namespace platform
