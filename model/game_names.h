// The games' names: what the command line takes for a game, and how a
// report names one.
#pragma once

#include <optional>
#include <string>

// "cod4" | "cod5" | "bo" (also "COD 4"-like spellings) to a GameVersion.
std::optional<int> ParseGameName(const std::string& text);
const char* GameShortName(int game);  // "cod4", "cod5", "bo", "?"
const char* GameLongName(int game);   // "COD 4", "COD 5", "COD Black Ops"
