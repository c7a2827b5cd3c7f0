// Written texture names (see texture_names.h).
#include "export/texture_names.h"

bool IsColourSlot(std::string_view slot) { return slot == "colorMap" || slot == "Diffuse_MapSampler"; }

bool ExportedAsTga(const MaterialImage& image, bool as_tga) { return as_tga || !IsColourSlot(image.slot); }

std::string ExportedImageFile(const MaterialImage& image, bool as_tga, bool in_export_folder) {
  // dds_file is the image name + ".dds"; the texture export replaces what
  // follows the last "." of the source file, which is the same cut.
  std::string_view file = image.dds_file;
  // In the export folder the image lands by its file name alone.
  if (in_export_folder) {
    size_t sep = file.find_last_of("/\\");
    if (sep != std::string_view::npos) file.remove_prefix(sep + 1);
  }
  size_t dot = file.rfind('.');
  std::string out(file.substr(0, dot == std::string_view::npos ? file.size() : dot));
  if (in_export_folder)
    for (char& c : out)
      if (c == '~') c = '_';
  out += ExportedAsTga(image, as_tga) ? ".tga" : ".dds";
  return out;
}
