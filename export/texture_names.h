// The names under which the texture export writes a material's images, so
// that the MTL, the Maya scene and the GDT entries point at files that exist
// after an export: colour maps as DDS, or TGA with the TGA image setting;
// every other map as TGA; in the export folder's "images" with each "~" of
// the name turned into "_", or beside the source image with the name kept.
#pragma once

#include <string>
#include <string_view>

#include "model/material_library.h"

// The slots the texture export and the viewer treat as the colour map.
bool IsColourSlot(std::string_view slot);

// Whether the texture export writes this image as TGA (`as_tga` is the
// setting "export_img_as_tga").
bool ExportedAsTga(const MaterialImage& image, bool as_tga);

// The written file's name: the image name with ".dds" or ".tga"; with
// `in_export_folder` only its last path component, every "~" made "_".
std::string ExportedImageFile(const MaterialImage& image, bool as_tga, bool in_export_folder);
