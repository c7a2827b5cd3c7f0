// The games' normal maps as a modelling tool reads them. The three games
// store a tangent-space normal with X in alpha and Y in green (red and blue
// are copies of green, less precise in DXT's 5-bit channels), Y pointing
// down the picture, and leave Z to the shader. Modelling tools and glTF
// read X, Y, Z from red, green and blue with Y pointing up the picture.
#pragma once

#include <cstdint>
#include <span>

// Rebuilds 0xAARRGGBB words of a stored normal map in place as RGB normals:
// red X, green Y (up the picture), blue Z = sqrt(1 - X^2 - Y^2), alpha 255.
// A flat area (alpha and green 128) comes out 128, 128, 255.
void RebuildNormalMap(std::span<uint32_t> argb);
