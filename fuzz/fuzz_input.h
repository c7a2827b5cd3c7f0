// What the fuzz targets share: an input's first byte picks the layout the
// rest is read with, so one corpus covers all three games.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "model/xmodel.h"

inline constexpr GameVersion kFuzzGames[3] = {Cod5, BO, Cod4};

inline GameVersion FuzzGame(uint8_t selector) { return kFuzzGames[selector % 3]; }

// The byte that make_seeds writes in front of a file to pick `game`.
inline uint8_t FuzzSelector(GameVersion game) {
  for (uint8_t i = 0; i < 3; ++i)
    if (kFuzzGames[i] == game) return i;
  return 0;
}

// The file bytes after the selector.
inline std::span<const uint8_t> FuzzFile(const uint8_t* data, size_t size) {
  return size == 0 ? std::span<const uint8_t>() : std::span<const uint8_t>(data + 1, size - 1);
}
