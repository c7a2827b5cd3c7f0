// The fixed parts of every Maya ASCII scene the MA export writes: scene
// settings, the four default cameras and the light linker (block A), and
// the layer and render managers, the scene configuration script, the
// default shared nodes and the two default light links (block B). "\n" is
// a line end; the writer turns it into CR LF.
#pragma once

#include <string_view>

extern const std::string_view kMaFixedBlockA;
extern const std::string_view kMaFixedBlockB;
