// The rows of the properties and tags panels for a loaded model: its name,
// physics preset, collision level and the first level's counts, its meshes
// and level distances, its materials with their images (ticked when the
// file is there, or when an archive of the game holds it, whose name then
// follows the image's), and its bones as a tree under their roots.
#pragma once

#include <vector>

#include "base/list_source.h"

class Xmodel;

std::vector<DetailRow> PropertyRows(const Xmodel& model);
std::vector<DetailRow> TagRows(const Xmodel& model);
