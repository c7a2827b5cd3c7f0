// What the commands that load models share: the settings from the store,
// the run-only overrides from the flags, and the stderr echo of the log.
#pragma once

#include <optional>
#include <string>

#include "cli/cli_args.h"
#include "jobs/xmodel_threaded.h"
#include "model/xmodel.h"

struct CliModelOptions {
  GameVersion game = Cod4;
  float scale = 1.0f;
  int auto_switch = -1;  // 1 yes, 0 no, -1 ask on a terminal
  int32_t lod = kKeepLod;  // --lod: a level's index, kEveryLod ("all"), or level 0
};

// Loads the settings store and applies --game, --scale, --auto-switch and
// --lod.
// Returns nullopt after printing the error for a bad flag.
std::optional<CliModelOptions> ReadModelOptions(const CliArgs& args);

// GameVersion of the stored "active_game" (0 COD 4, 1 COD 5, 2 Black Ops).
GameVersion GameOfActiveGame(int32_t active_game);
