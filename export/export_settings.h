// The settings the exporters read, handed in by the caller (the worker copies
// them from the settings record when a job starts), and the list through
// which an exporter reports the files it wrote.
#pragma once

#include <string>
#include <vector>

struct ExportSettings {
  bool export_MTL = true;           // "export_MTL": the OBJ export also writes its MTL
  bool export_MA_BIND = true;       // "export_MA_BIND": the MA export also writes its bind script
  bool export_images_local = true;  // "export_images_local": textures live in the export folder's "images"
  bool export_sub_dir = true;       // "export_sub_dir": GDT paths go through a folder named after the model
};

// Full paths of the files an export wrote completely, in the order written.
using ExportWritten = std::vector<std::string>;
