// A material image's source file: the loose ".iwi", the archived one, or
// a ".dds" twin, and reading it whichever it is.
#pragma once

#include <string_view>

#include "imaging/image_codes.h"

class IwiImage;
struct MaterialImage;

// Points `image` at a material image's file in raw_dir + "images/": the
// ".iwi" file, else the ".iwi" in the game's archives, else its ".dds" twin
// (setting `is_dds`). False when none exists.
bool SetSourceImage(IwiImage& image, std::string_view raw_dir, const MaterialImage& source);

// Reads an image file as IWI, or as DDS when `is_dds`.
[[nodiscard]] ImageResult ReadImage(IwiImage& image);
