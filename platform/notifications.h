// Balloons on a Linux desktop: org.freedesktop.Notifications notices, sent
// without waiting for the desktop's answer. Independent of the tray icon, so
// notices show on desktops that have no tray. A notice may carry one button;
// its press comes back through Dispatch. Main thread only.
#pragma once

#include <dbus/dbus.h>  // Required for: DBusConnection

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace platform {

// Longest notice text and title, in characters.
inline constexpr size_t kNoticeTextChars = 256;
inline constexpr size_t kNoticeTitleChars = 64;

// A notice's button: `label` on it, `run` called from Dispatch when the
// user presses it. Without `run` the notice has no button.
struct NoticeAction {
  std::string label;
  std::function<void()> run;
};

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
  bool ShowNotice(const std::string& title, const std::string& text, NoticeAction action = {});

  // Sends what is still queued and takes what came in (the ids of notices
  // with a button, button presses); non-blocking. Call once per frame.
  void Dispatch();

 private:
  void Take(DBusMessage* message);

  DBusConnection* connection_ = nullptr;
  bool listening_ = false;  // the match rule for the desktop's signals is set
  // Buttons by the serial of their Notify call until the desktop answers
  // with the notice's id, then by that id until the notice closes.
  std::map<uint32_t, std::function<void()>> by_serial_;
  std::map<uint32_t, std::function<void()>> by_id_;
};

}  // namespace platform
