// Written texture names (see texture_names.h).
#include "export/texture_names.h"

bool IsColourSlot(std::string_view slot) { return slot == "colorMap" || slot == "Diffuse_MapSampler"; }

ImageFileChoice ImageFilesOf(const ExportSettings& settings) {
  return {settings.export_img_as_tga, settings.export_img_png};
}

const char* ExportedExtension(bool colour_map, ImageFileChoice choice) {
  if (choice.png >= (colour_map ? 1 : 2)) return "png";
  return colour_map && !choice.as_tga ? "dds" : "tga";
}

std::string ExportedImageFile(const MaterialImage& image, ImageFileChoice choice, bool in_export_folder) {
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
  out += '.';
  out += ExportedExtension(IsColourSlot(image.slot), choice);
  return out;
}
