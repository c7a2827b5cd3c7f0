// Command-line words: the command, its options and its positional words.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "model/game_names.h"

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
