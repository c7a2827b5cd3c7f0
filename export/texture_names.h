// The names under which the texture export writes a material's images, so
// that the MTL, the Maya scene and the GDT entries point at files that exist
// after an export: colour maps as DDS, or TGA with the TGA image setting;
// every other map as TGA; PNG instead for the colour maps (or every map)
// with the PNG setting; in the export folder's "images" with each "~" of
// the name turned into "_", or beside the source image with the name kept.
#pragma once

#include <string>
#include <string_view>

#include "base/export_settings.h"
#include "model/material_library.h"

// The slots the texture export and the viewer treat as the colour map.
bool IsColourSlot(std::string_view slot);

// The image-format settings: "export_img_as_tga", and "export_img_png"
// (0 no PNG, 1 the colour maps as PNG, 2 every map as PNG).
struct ImageFileChoice {
  bool as_tga = false;
  int32_t png = 0;
};
ImageFileChoice ImageFilesOf(const ExportSettings& settings);

// "dds", "tga" or "png": what the texture export writes a colour map (or
// any other map) as.
const char* ExportedExtension(bool colour_map, ImageFileChoice choice);

// The written file's name: the image name with that extension; with
// `in_export_folder` only its last path component, every "~" made "_".
std::string ExportedImageFile(const MaterialImage& image, ImageFileChoice choice, bool in_export_folder);
