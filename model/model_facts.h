// What the search box's terms ask of a model (its bones, levels, vertices,
// materials and game), read from the headers of its files without loading
// it: the xmodel file and the bone counts at the head of its parts file.
// The vertex count needs the whole level-0 surfs file and is read only when
// a search asks for it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/error_codes.h"
#include "model/xmodel.h"  // GameVersion

struct ModelFacts {
  ErrorCode result = err::kNotLoaded;  // kSuccess when the headers were read
  GameVersion game = Cod4;             // the layout the xmodel file reads with
  int32_t bones = -1;                  // every bone, roots included
  int32_t lods = -1;                   // levels of detail in use
  int64_t verts = -1;                  // level 0's vertices; -1 until read
  std::vector<std::string> materials;  // distinct, every level, level 0's first
  std::string parts_name;              // level 0's file name (parts and surfs)

  bool read() const { return result == err::kSuccess; }
};

// The facts of raw_dir/xmodel/`name` (raw_dir ends in a separator).
// `with_verts` reads the level-0 surfs file for the vertex count as well.
ModelFacts ReadModelFacts(const std::string& raw_dir, const std::string& name, bool with_verts);

