// Settings and flags for the model commands.
#include "cli/cli_session.h"

#include <iostream>
#include <stdexcept>

#include "shell/settings.h"

GameVersion GameOfActiveGame(int32_t active_game) {
  switch (active_game) {
    case 1: return Cod5;
    case 2: return BO;
    default: return Cod4;
  }
}

std::optional<CliModelOptions> ReadModelOptions(const CliArgs& args) {
  QorSettings& s = Settings();
  s.Load();
  CliModelOptions o;
  o.game = GameOfActiveGame(s.active_game);
  o.scale = s.export_scale_new;
  if (auto g = args.Get("--game")) {
    auto parsed = ParseGameName(*g);
    if (!parsed) {
      std::cerr << "error: unknown game \"" << *g << "\" (cod4, cod5 or bo)\n";
      return std::nullopt;
    }
    o.game = *parsed;
  }
  if (auto a = args.Get("--auto-switch")) {
    if (*a == "yes") o.auto_switch = 1;
    else if (*a == "no") o.auto_switch = 0;
    else {
      std::cerr << "error: --auto-switch takes yes or no\n";
      return std::nullopt;
    }
  }
  if (auto text = args.Get("--scale")) {
    try {
      size_t used = 0;
      o.scale = std::stof(*text, &used);
      if (used != text->size() || !ValidModelScale(o.scale))
        throw std::invalid_argument("range");
    } catch (...) {
      std::cerr << "error: --scale takes a number above 0 and below 999\n";
      return std::nullopt;
    }
  }
  // A model has at most four levels: 0 (the highest) to 3.
  if (auto text = args.Get("--lod")) {
    if (*text == "all") o.lod = kEveryLod;
    else if (text->size() == 1 && (*text)[0] >= '0' && (*text)[0] <= '3') o.lod = (*text)[0] - '0';
    else {
      std::cerr << "error: --lod takes a level from 0 to 3, or all\n";
      return std::nullopt;
    }
  }
  return o;
}
