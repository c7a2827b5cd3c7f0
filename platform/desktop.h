// Handing a file or folder to the desktop ("open", "explore"): xdg-open in
// the background; it never blocks. Without an opener the caller gets the
// text to log.
#pragma once

#include <string>

#include <functional>

namespace platform {
// "" once the opener has started, else why nothing opened `path`.
[[nodiscard]] std::string OpenWithDesktop(const std::string& path);
// The same, for a caller that must tell the user when nothing opened it.
// No opener: the reason is returned and `failed` does not run (the caller
// logs, then tells). An opener that finds no program for the file: "" is
// returned and `failed` runs on a thread of its own once the opener ends.
[[nodiscard]] std::string OpenWithDesktopOr(const std::string& path, std::function<void()> failed);
}
