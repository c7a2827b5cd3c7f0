// Command-line words: the command, its options and its positional words.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

struct CliArgs {
  std::string command;
  std::vector<std::string> positional;
  std::map<std::string, std::string> options;  // "--game" -> "cod4"; flags -> ""

  bool Has(const std::string& option) const { return options.count(option) != 0; }
  std::optional<std::string> Get(const std::string& option) const;
};

// Options that take a value ("--out", or a short "-j" written "-j 4" or
// "-j4"); every other "--word" is a flag.
// Returns nullopt (and sets `error`) on an unknown option or a missing value.
std::optional<CliArgs> ParseCliArgs(int argc, char** argv, const std::vector<std::string>& valued,
                                    const std::vector<std::string>& flags, std::string& error);

// "cod4" | "cod5" | "bo" (also "COD 4"-like spellings) to a GameVersion.
std::optional<int> ParseGameName(const std::string& text);
const char* GameShortName(int game);  // "cod4", "cod5", "bo", "?"
const char* GameLongName(int game);   // "COD 4", "COD 5", "COD Black Ops"
