// Hue (0-359), saturation and value (0-100) to RGB and back, for the colour
// picker and the settings' stored colours.
#pragma once

#include "gui/item_base.h"

struct Hsv {
  int hue = 0, saturation = 0, value = 0;
};

Rgba HsvToRgb(const Hsv& hsv);
// Rounded to whole units; a grey has hue 0.
Hsv RgbToHsv(const Rgba& rgb);
// The settings' DWORD colours: red in the lowest byte.
Rgba RgbaOfColourRef(uint32_t colour);
uint32_t ColourRefOfRgba(const Rgba& colour);
