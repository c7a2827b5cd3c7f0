// The lists the interface's scrolling views show and other parts of the
// program own: the model list (filled by the list loader on its own
// thread), the log panel's lines, and the rows of the properties and tags
// panels (rebuilt by the model worker). Each carries its own lock; a view
// holds it for its whole pass so an owner can replace the contents between
// frames.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

struct ListSource {
  std::mutex lock;
  std::vector<std::string> items;
  bool ready = false;    // set while the list may be used
  bool changed = false;  // set by the owner after each change; the view clears it
};

// One row of a detail list. `depth` nests it under the rows above; `icon` is
// a material name ("tree_node", "joint", ...) or empty. Rows naming an
// image carry its file name and the material and slot it came from, so an
// export from the row never takes a path from its text.
struct DetailRow {
  std::string text;
  std::string icon;
  uint8_t depth = 0;
  std::string image;  // an image row's file name ("...iwi"), else empty
  int32_t material = -1;
  int32_t slot = -1;
  int32_t lod = -1;  // a level of detail's row: a click shows that level
};

struct DetailSource {
  std::mutex lock;
  std::vector<DetailRow> rows;
  bool changed = false;
  // With `changed`: the same rows in the same order, only their texts new
  // (the tags' positions while an animation plays); an open menu stays.
  bool texts_only = false;
};
