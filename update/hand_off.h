// Starts the verified update script, detached: it outlives the program,
// waits for it to exit and then puts the new files in place. It runs as
//   /bin/sh SCRIPT PROGRAM_FOLDER UNPACKED_FOLDER PROGRAM_PID
// with its output in "handoff.log" beside the script.
#pragma once

#include <string>

namespace update {

// False when the script could not be started.
bool HandOff(const std::string& script, const std::string& program_folder, const std::string& unpacked);

}  // namespace update
