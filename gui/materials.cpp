#include "gui/materials.h"

#include "base/logger.h"
#include "gui/material_table.h"

std::optional<uint32_t> MaterialStore::LoadDSS(const std::string& name, const std::string& path) {
  if (auto it = textures_.find(name); it != textures_.end()) return it->second;
  std::string error;
  std::optional<uint32_t> texture = loader_ ? loader_(path, error) : std::nullopt;
  if (!texture) {
    Logger().log("LoadDSS: %s: %s", path.c_str(), error.c_str());
    return std::nullopt;
  }
  textures_.emplace(name, *texture);
  return texture;
}

uint32_t MaterialStore::Get(std::string_view name) {
  if (auto it = textures_.find(name); it != textures_.end()) return it->second;
  if (missing_.insert(std::string(name)).second) Logger().log("Missing Material: %s", std::string(name).c_str());
  auto fallback = textures_.find("default");
  return fallback == textures_.end() ? 0 : fallback->second;
}

size_t MaterialStore::DeleteAll(const Deleter& deleter) {
  const size_t n = textures_.size();
  if (deleter)
    for (const auto& [name, texture] : textures_) deleter(texture);
  textures_.clear();
  return n;
}

void LoadGuiMaterials(MaterialStore& store, const std::string& data_dir) {
  for (const GuiMaterialRow& row : kGuiMaterials) (void)store.LoadDSS(row.name, data_dir + "/" + row.file);
}
