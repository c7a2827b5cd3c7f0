// Where the program's own files are: the folder of the executable, and the
// data folder beside it (or the installed one), never the current directory.
#pragma once

#include <string>

namespace platform {
std::string ProgramFolder();
// The folder holding "shaders/", "images/", "Fonts/" and "sounds/".
std::string DataFolder();
// Where "Running Directory" outputs go (the exported, GDTs and Tags
// folders): the program's folder when the user may write there, else the
// user's data folder ($XDG_DATA_HOME/vantor, or ~/.local/share/vantor),
// created when missing. An installed program's folder is not writable.
std::string RunningFolder();
// The user's home: $HOME, else the password database's entry; "" when
// neither gives one.
std::string HomeFolder();
}  // namespace platform
