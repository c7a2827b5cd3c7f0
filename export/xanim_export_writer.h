// The mod tools' XANIM_EXPORT text, which their animation compiler reads:
// the parts (bone names), then for every frame every part's model-space
// OFFSET and X, Y and Z axes, then the notetracks, held by part 0.
#pragma once

#include <string>
#include <vector>

#include "model/error_codes.h"

struct XanimExportPart {
  float offset[3] = {0, 0, 0};
  float axes[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};  // rows: the bone's X, Y and Z axes
};

struct XanimExportData {
  std::string source;                  // for the header: the file the frames came from
  std::vector<std::string> parts;      // bone names, in the order of every frame's parts
  int frame_rate = 30;
  std::vector<std::vector<XanimExportPart>> frames;  // one list of parts a frame
  struct Note {
    std::string name;
    int frame = 0;
  };
  std::vector<Note> notes;
};

// Writes `path` whole or not at all: 27, 8 (permission refused), 7 (any
// other open failure), 1 (a write failed) or 2 (a frame whose part count is
// not the parts', a name holding a quote or a control character).
[[nodiscard]] ErrorCode WriteXanimExport(const std::string& path, const XanimExportData& data);
