// One animation channel at any time: the keys around a frame, linear
// between them; rotations by normalised lerp on the nearer hemisphere (two
// neighbouring keys may hold a rotation and its negation, which are the
// same turn). Before the first key and after the last, the nearer key holds.
#pragma once

#include <cstdint>
#include <span>

// `frames`: each key's frame, increasing; empty when key k is at frame k.
// `keys`: x, y, z, w a rotation key; x, y, z a translation key. No keys
// leave `out` as it was.
void SampleRotation(std::span<const uint16_t> frames, std::span<const float> keys, double frame, float out[4]);
void SampleTranslation(std::span<const uint16_t> frames, std::span<const float> keys, double frame, float out[3]);
