// Handing a file or folder to the desktop ("open", "explore"): xdg-open in
// the background. Without one it says so in the log; it never blocks.
#pragma once

#include <string>

#include <functional>

namespace platform {
bool OpenWithDesktop(const std::string& path);
// The same, for a caller that must tell the user when nothing opened it (no
// opener, or one that found no program for the file): `failed` runs then,
// on this thread when no opener starts, else on a thread of its own once
// the opener has ended.
void OpenWithDesktopOr(const std::string& path, std::function<void()> failed);
}
