// A compiled animation of the three games (raw/xanim files, version 17 for
// COD 4 and COD 5, 19 for Black Ops): per bone the keyed rotations and
// translations relative to its parent, the root motion of a moving
// animation, and the notetracks.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/error_codes.h"

// One channel's keys. `frames` is empty when there is a key for every frame
// from the first (or when the channel holds one constant key).
struct XanimKeys {
  std::vector<uint16_t> frames;
  std::vector<float> values;  // x y z w a rotation key; x y z a translation key; one a root turn key
};

struct XanimBone {
  std::string name;     // lower case, as the compiler writes them
  bool simple = false;  // its rotation keys turn about Z only
  XanimKeys rotation;   // no keys: the model's own rotation
  XanimKeys translation;
};

struct XanimNote {
  std::string name;
  uint16_t frame = 0;  // from the first frame
};

struct Xanim {
  uint16_t version = 0;
  uint16_t frames = 0;  // a looping animation holds one keyed frame more
  uint8_t flags = 0;
  uint8_t kind = 0;  // 1 relative, 2 delta, 6 additive (by the files that carry it)
  uint16_t frame_rate = 0;
  // Root motion (flag bit 1): the model's turn about Z (the stored value
  // over 32767; its unit is not known yet) and its translation.
  XanimKeys root_yaw;
  XanimKeys root_translation;
  // The first of the two bit fields after the header; what it means is not
  // known, and nothing read depends on it.
  std::vector<uint8_t> unknown_bits;
  std::vector<XanimBone> bones;
  std::vector<XanimNote> notes;

  bool looping() const { return flags & 1; }
  bool root_motion() const { return flags & 2; }
  bool additive() const { return kind == 6; }
  // Keyed frames: the frame count, one more when looping (the last repeats
  // the first).
  int keyed_frames() const { return looping() ? frames + 1 : frames; }
  // COD 4 and COD 5 files share their version.
  const char* game() const { return version == 19 ? "bo" : "cod4 or cod5"; }
};

// Reads a whole file's bytes: 27, or 5 (the bytes end inside the layout), 9
// (a version other than 17 and 19) or 2 (counts the layout cannot hold, a
// frame past the end, bytes left after the notetracks).
[[nodiscard]] ErrorCode ReadXanim(std::span<const uint8_t> bytes, Xanim& out);
// The same from a file: 3 when it is not there, 8 when it may not be read, 7
// when it cannot be.
[[nodiscard]] ErrorCode LoadXanim(const std::string& path, Xanim& out);
