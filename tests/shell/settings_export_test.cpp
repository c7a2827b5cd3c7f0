// The settings record to export settings mapping: every stored value the
// exporters read reaches the one record they are handed.
#include "shell/settings_export.h"

#include <gtest/gtest.h>

#include <cstring>
#include <type_traits>

namespace {

// Changes a setting to a value other than its default that still means
// something different to its readers ("export_img_as_tga" reads 1 only).
void ChangeField(QorSettings& s, const SettingDescriptor& d) {
  std::visit(
      [&](auto member) {
        auto& field = s.*member;
        using T = std::remove_reference_t<decltype(field)>;
        if constexpr (std::is_same_v<T, bool>) field = !field;
        else if constexpr (std::is_same_v<T, std::string>) field += "/elsewhere";
        else if constexpr (std::is_same_v<T, int32_t>) field = field == 1 ? 0 : 1;
        else if constexpr (std::is_same_v<T, float>) field += 1.0f;
        else ADD_FAILURE() << SettingPath(d) << ": no export setting has this type";
      },
      d.field);
}

TEST(SettingsExport, EveryExportSettingReachesTheRecord) {
  const ExportSettings defaults = ExportSettingsFromSettings(QorSettings{});
  size_t mapped = 0;
  for (const SettingDescriptor& d : SettingDescriptors()) {
    const std::string path = SettingPath(d);
    const bool exporters_read = std::strcmp(d.key, "Export") == 0 || path == "Folders/export_folder" ||
                                path == "Folders/export_folder_GDT" || path == "OpenGl/load_model_textures";
    // The scale goes to the worker with the game layout: it is applied when
    // the surfaces are read, not by an exporter.
    if (!exporters_read || path == "Export/export_scale_new") continue;
    QorSettings s;
    ChangeField(s, d);
    EXPECT_NE(ExportSettingsFromSettings(s), defaults) << path << " does not reach the export settings";
    ++mapped;
  }
  EXPECT_EQ(mapped, 12u);
}

}  // namespace
