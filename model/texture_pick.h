// The texture pick of the worker's texture step: per material, the images
// of its colour, normal and specular slots read into the material's texture
// set, each image file once per pass. No GL here; the window uploads the
// sets afterwards.
#pragma once

#include <string_view>

#include "model/material_library.h"

class Xmodel;

// The texture set unit of a slot name (exact): "colorMap" and
// "Diffuse_MapSampler" the colour unit, "normalMap" and "specularMap"
// theirs; -1 for every other slot.
int UnitOfSlot(std::string_view slot);

// Fills `material_library.texture_sets` (one set per entry) from the
// model's images folder, logging "^1IWI Error(^4%s^7): %s" for an image that
// does not load and "^2Material^7: %s" after each material, and adding 10 to
// the model's progress while the sum stays below 100.
void PickTextures(Xmodel& model);
