// The texture pick: materials in order, images in file order; an image file
// already handled in this pass is skipped, so two materials sharing a colour
// map load it once and the second keeps its unit unloaded.
#include "model/texture_pick.h"

#include <algorithm>  // Required for: std::find

#include "base/logger.h"
#include "imaging/image_paths.h"
#include "imaging/iwd_image_read.h"
#include "model/xmodel.h"

int UnitOfSlot(std::string_view slot) {
  if (slot == "colorMap" || slot == "Diffuse_MapSampler") return kColourUnit;
  if (slot == "normalMap") return kNormalUnit;
  if (slot == "specularMap") return kSpecularUnit;
  return -1;
}

void PickTextures(Xmodel& model) {
  MaterialLibrary& library = model.material_library;
  library.texture_sets.assign(library.entries.size(), MaterialTextures{});
  std::vector<std::string> handled;
  std::vector<std::string> missing;  // neither loose nor in an archive
  for (size_t m = 0; m < library.entries.size(); ++m) {
    const MaterialEntry& entry = library.entries[m];
    MaterialTextures& set = library.texture_sets[m];
    for (const MaterialImage& image : entry.images) {
      if (std::find(handled.begin(), handled.end(), image.iwi_file) != handled.end()) continue;
      int unit = UnitOfSlot(image.slot);
      if (unit < 0) continue;
      handled.push_back(image.iwi_file);

      // Read into a fresh image: a failed read must not spoil a unit that an
      // earlier slot of the same kind filled.
      IwiImage loaded;
      if (!loaded.SetImagePath(ImageSourcePath(model.raw_dir, image.iwi_file)) &&
          !SetArchivedImage(loaded, model.raw_dir, image.iwi_file))
        missing.push_back(image.iwi_file);
      ImageResult r = loaded.LoadIWI();
      if (r != img::kSuccess) {
        Logger().log("^1IWI Error(^4%s^7): %s", image.iwi_file.c_str(), QorLogger::error_text(r).c_str());
        continue;
      }
      set.units[size_t(unit)] = std::move(loaded);
      set.loaded[size_t(unit)] = true;
    }
    Logger().log("^2Material^7: %s", entry.name.c_str());
    if (model.progress + 10 < 100) model.progress += 10;
  }
  // Once a load, where the user looks: the lines above reach only the file.
  if (!missing.empty()) {
    std::string names;
    for (const std::string& name : missing) names += (names.empty() ? "" : ", ") + name;
    Logger().warning("%zu %s not found: %s", missing.size(), missing.size() == 1 ? "image" : "images", names.c_str());
  }
}
