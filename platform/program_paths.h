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
// The hicolor icon theme holding "NxN/apps/vantor.png": the data folder's
// icons/hicolor in a build, share/icons/hicolor beside share/vantor once
// installed; "" when neither exists.
std::string IconThemeFolder(const std::string& data_folder);
// Where "Log.txt" is written: "" (the current folder) unless the current
// folder is the home folder or cannot be written (a start from the
// desktop's menu); then $XDG_STATE_HOME/vantor (~/.local/state/vantor),
// created when missing. "" too when that cannot be made.
std::string LogFolder();
// Where the program keeps what it can always make again (the model facts
// of the search box): $XDG_CACHE_HOME/vantor (an absolute one), else
// ~/.cache/vantor, created when missing; "" when that cannot be made.
std::string CacheFolder();
// The user's home: $HOME, else the password database's entry; "" when
// neither gives one.
std::string HomeFolder();
}  // namespace platform
