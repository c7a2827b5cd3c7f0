// Handing a file or folder to the desktop ("open", "explore"): xdg-open in
// the background. Without one it says so in the log; it never blocks.
#pragma once

#include <string>

namespace platform {
bool OpenWithDesktop(const std::string& path);
}
