// The loaded model's distinct materials: per material its texture slots and
// the image file names they name, with whether each file exists, and the
// images the worker's texture step loaded for each material.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "imaging/iwi_image.h"
#include "model/error_codes.h"

struct MaterialImage {
  std::string slot;      // "colorMap", "normalMap", ...
  std::string iwi_file;  // image name + ".iwi"
  std::string dds_file;  // image name + ".dds"
  bool iwi_exists = false;
  bool dds_exists = false;
  // The ".iwi" is not loose but the game's archives hold it: the archive as
  // "main/<name>" (imaging/iwd_image_read.h), which the lookups read it
  // from before a loose ".dds" twin; else "".
  std::string iwi_archive;
};

struct MaterialEntry {
  int16_t image_count = 0;
  std::string name;
  std::vector<MaterialImage> images;
};

// The units of a material's texture set. The viewer draws them on texture
// units 0, 2 and 3 (kViewerTextureUnit); unit 1 is not filled here.
enum TextureSetUnit : int { kColourUnit = 0, kNormalUnit = 1, kSpecularUnit = 2, kTextureSetUnits = 3 };
inline constexpr int kViewerTextureUnit[kTextureSetUnits] = {0, 2, 3};

struct MaterialTextures {
  std::array<IwiImage, kTextureSetUnits> units;
  std::array<bool, kTextureSetUnits> loaded{};
};

class MaterialLibrary {
 public:
  // Sets the materials and images folders from the model's raw folder when
  // that folder exists; otherwise changes nothing.
  bool SetRoot(const std::string& raw_dir);
  [[nodiscard]] ErrorCode LoadMaterials();
  [[nodiscard]] ErrorCode LoadMaterial(const std::string& name, MaterialEntry& entry);
  // The material file already in memory; the image files are looked up in
  // `images_dir`. Same checks and results as LoadMaterial.
  [[nodiscard]] ErrorCode LoadMaterialBytes(std::span<const uint8_t> bytes, MaterialEntry& entry);
  void Clear();

  uint32_t image_count_scratch = 0;
  std::vector<std::string> names;
  std::string materials_dir;
  std::string images_dir;
  bool loaded = false;
  std::vector<MaterialEntry> entries;
  // One per entry once the texture step ran (model/texture_pick.h); empty
  // before.
  std::vector<MaterialTextures> texture_sets;
};
