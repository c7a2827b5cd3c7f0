// The named pictures of the interface: a map from material name ("button_hi")
// to a texture, loaded once at start-up. "default" stands in for any name
// that is not there (each such name is logged once); "mouse_cursor" is the
// pointer. The textures themselves come from the loader the window gives
// (DDS files into GL); the store only keeps names.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

class MaterialStore {
 public:
  // Loads one file into a texture; nullopt with the reason on failure.
  using Loader = std::function<std::optional<uint32_t>(const std::string& path, std::string& error)>;
  using Deleter = std::function<void(uint32_t texture)>;

  explicit MaterialStore(Loader loader) : loader_(std::move(loader)) {}

  // A name already in the store keeps its texture and reads no file. On
  // failure "LoadDSS: %s: %s" is logged and the name stays missing.
  std::optional<uint32_t> LoadDSS(const std::string& name, const std::string& path);
  // The texture for drawing; "default"'s for a missing name.
  uint32_t Get(std::string_view name);
  bool Has(std::string_view name) const { return textures_.count(name) != 0; }
  size_t size() const { return textures_.size(); }
  // Deletes every texture (shutdown); returns how many there were.
  size_t DeleteAll(const Deleter& deleter);

 private:
  Loader loader_;
  std::map<std::string, uint32_t, std::less<>> textures_;
  std::set<std::string, std::less<>> missing_;
};

// Every row of the material table, in order, from files under `data_dir`.
void LoadGuiMaterials(MaterialStore& store, const std::string& data_dir);
