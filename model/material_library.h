// The loaded model's distinct materials: per material its texture slots and
// the image file names they name, with whether each file exists.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/error_codes.h"

struct MaterialImage {
  std::string slot;      // "colorMap", "normalMap", ...
  std::string iwi_file;  // image name + ".iwi"
  std::string dds_file;  // image name + ".dds"
  bool iwi_exists = false;
  bool dds_exists = false;
};

struct MaterialEntry {
  int16_t image_count = 0;
  std::string name;
  std::vector<MaterialImage> images;
};

class MaterialLibrary {
 public:
  // Sets the materials and images folders from the model's raw folder when
  // that folder exists; otherwise changes nothing.
  bool SetRoot(const std::string& raw_dir);
  [[nodiscard]] ErrorCode LoadMaterials();
  [[nodiscard]] ErrorCode LoadMaterial(const std::string& name, MaterialEntry& entry);
  void Clear();

  uint32_t image_count_scratch = 0;
  std::vector<std::string> names;
  std::string materials_dir;
  std::string images_dir;
  bool loaded = false;
  std::vector<MaterialEntry> entries;
};
