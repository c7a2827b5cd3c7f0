// The models of one `export` command: model files named on the command
// line, folders of model files (a game's "raw/xmodel"), and "--all ROOT"
// for ROOT's "raw/xmodel".
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/cli_args.h"

// In command-line order; a folder's models sorted by name. A named path
// that does not exist is kept (its load fails and is reported like any
// other). Nullopt with `error` set for a folder that cannot be read or an
// "--all" root without "raw/xmodel".
std::optional<std::vector<std::string>> CollectModels(const CliArgs& args, std::string& error);

// Model files of one folder: regular names without a ".", as the model
// list shows them, sorted. The errno of listing the folder, or 0.
int ModelsInFolder(const std::string& folder, std::vector<std::string>& paths);
