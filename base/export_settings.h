// Every export-related setting in one plain record, by its registry value
// name, plus the few a run sets for itself. The shell fills it from the
// settings record in one place; the worker copies it when a job starts, and
// the exporters read the fields they need from that copy. The list through
// which an exporter reports the files it wrote lives here too.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The values of "convert_normal_maps".
inline constexpr int32_t kNormalMapsAsStored = 0;
inline constexpr int32_t kNormalMapsPngGltf = 1;  // the default, and a flag stored as 1
inline constexpr int32_t kNormalMapsWithTga = 2;

struct ExportSettings {
  // "Folders"
  std::string export_folder = "Running Directory";      // "export_folder"
  std::string export_folder_GDT = "Running Directory";  // "export_folder_GDT": the GDT step tries it first

  // "Export" ("export_scale_new" is not here: the scale is applied when the
  // surfaces are read, so the worker takes it with the game layout)
  bool export_sub_dir = true;       // each model's files in a folder named after it; GDT paths follow it
  bool export_tags_local = false;   // the tags report in the export folder instead of beside the program
  // With it on, every model export (MA, OBJ, XMODEL_EXPORT) also moves the
  // model's images. Off unless the caller hands the setting over, so that a
  // caller filling the record by hand exports only what it asks for.
  bool export_images = false;
  bool export_images_local = true;  // textures into the export folder's "images", else beside their sources
  bool export_images_col = false;   // the texture export writes the colour maps only
  bool export_img_as_tga = false;   // the stored DWORD is 1: colour maps as TGA (the other maps always are)
  int32_t export_img_png = 0;       // 1: colour maps as PNG, 2: every map as PNG
  // Which exports rebuild normal maps as the RGB normals modelling tools
  // read (imaging/normal_map.h): 0 none, 1 PNG and glTF, 2 PNG, glTF and the
  // TGA texture export. DDS files are always as stored.
  int32_t convert_normal_maps = kNormalMapsPngGltf;
  bool export_MTL = true;           // the OBJ export also writes its MTL
  bool export_MA_BIND = true;       // the MA export also writes its bind script

  // "OpenGl"
  bool load_model_textures = true;  // the texture step reads the materials' images

  // Set per run, not stored.
  // Where the tags report and its pictures go; empty: beside the program, or
  // the export folder with "export_tags_local" (the command line's --out and
  // --tags-dir set it).
  std::string tags_folder;
  std::string image_item;  // the single-image jobs: "slot:material" of the texture to convert

  bool operator==(const ExportSettings&) const = default;
};

// Full paths of the files an export wrote completely, in the order written.
using ExportWritten = std::vector<std::string>;
