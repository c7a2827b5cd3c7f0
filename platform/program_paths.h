// Where the program's own files are: the folder of the executable, and the
// data folder beside it (or the installed one), never the current directory.
#pragma once

#include <string>

namespace platform {
std::string ProgramFolder();
// The folder holding "shaders/", "images/", "Fonts/" and "sounds/".
std::string DataFolder();
// The user's home: $HOME, else the password database's entry; "" when
// neither gives one.
std::string HomeFolder();
}  // namespace platform
