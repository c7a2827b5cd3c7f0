// Gloss as roughness. The games' specular maps often carry gloss in alpha
// (the weapons' and props' "_s-rgb&..._g-r" images: colour from one source,
// gloss from another's red); glTF reads roughness from the green channel
// of a material's metallic-roughness texture and metalness from its blue.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

// The 0xAARRGGBB words of a specular map as a metallic-roughness picture:
// green 255 - gloss (alpha), red and blue 0, alpha 255. False (and
// `roughness` empty) when every alpha is 255: such a map holds no gloss.
bool GlossToRoughness(std::span<const uint32_t> specular, std::vector<uint32_t>& roughness);
