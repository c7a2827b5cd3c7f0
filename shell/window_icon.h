// The program's icon for its window, read from the hicolor theme the build
// makes and the install puts under share/icons.
#pragma once

#include <string>
#include <vector>

#include "platform/gl_window.h"

// Every size found, smallest first; none when the theme is missing.
std::vector<platform::WindowIconImage> ProgramIcons(const std::string& data_dir);
