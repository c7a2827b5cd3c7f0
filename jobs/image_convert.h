// The single-image conversion jobs: one texture of the loaded model, named
// as the GUI lists a material's textures ("slot:material"), written beside
// its source as DDS (the "ExportIWI" job) or TGA (the "ExportTGA" job).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "export/image_source.h"
#include "imaging/image_codes.h"

class MaterialLibrary;

// Every image of every material named `material` whose slot is `slot`.
// Logs "Converted: %s" or "IWI Error: %s" per image. 24 when every image
// was written (or `item` names none), else the last failure's code. Written
// files are added to `written` when it is given.
[[nodiscard]] ImageResult ConvertImage(const MaterialLibrary& library, std::string_view raw_dir,
                                       std::string_view item, bool as_dds,
                                       std::vector<std::string>* written = nullptr);

// The image `image` of the material entry `material` (the properties
// panel's row), converted the same way. An index outside the library
// converts nothing and gives 5 (cannot open).
[[nodiscard]] ImageResult ConvertImageAt(const MaterialLibrary& library, std::string_view raw_dir, int32_t material,
                                         int32_t image, bool as_dds, std::vector<std::string>* written = nullptr);
