// An animation for the glTF export to carry: keyed parent-relative
// rotations and translations of the model's bones (the nodes under
// "Joints"), times in seconds from 0, linear between keys; notetracks as
// named times in the animation's "extras".
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct GltfAnimation {
  std::string name;  // names the animation and the exported files
  struct Channel {
    size_t bone = 0;
    bool rotation = true;       // else a translation
    std::vector<float> times;   // strictly increasing, at least one
    std::vector<float> values;  // x, y, z, w a rotation key; x, y, z a translation key
  };
  std::vector<Channel> channels;
  struct Marker {
    std::string name;
    float time = 0;
  };
  std::vector<Marker> markers;
};
