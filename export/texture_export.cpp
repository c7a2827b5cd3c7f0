// MoveImages and ExportImage. A unit the texture step loaded is written from
// memory; every other image is read from disk into the context's scratch
// image first.
#include "export/texture_export.h"

#include "base/logger.h"
#include "export/image_source.h"
#include "export/texture_names.h"
#include "imaging/image_paths.h"
#include "imaging/png_file.h"
#include "model/texture_pick.h"
#include "model/xmodel.h"
#include "platform/fs_paths.h"
#include "platform/links.h"
#include "platform/path_names.h"
#include "platform/replace_file.h"

void ExportImage(TextureExportContext& context, IwiImage& image, std::string_view ext, ImageResult read_result) {
  if (!image.path_set) {
    Logger().model_log("^4IWI Not Set");
    return;
  }
  // Two images may come to one name: the same file name in two folders
  // ("a/x", "b/x"), or names that differ only where "~" becomes "_". The
  // first is written; a later one is reported, never written over it.
  const std::string out = ImageOutputPath(image, context.destination, ext);
  const auto by_name = context.done.find(image.short_name);
  const auto by_file = out.empty() ? context.files_from.end() : context.files_from.find(out);
  if (by_name != context.done.end() || by_file != context.files_from.end()) {
    const std::string& first = by_name != context.done.end() ? by_name->second : by_file->second;
    if (first == image.path) return;  // the same image again
    Logger().model_log("^1IWI Error^7: %s: its exported name is taken by %s", image.path.c_str(), first.c_str());
    ++context.write_failures;
    return;
  }
  context.done.emplace(image.short_name, image.path);
  if (!out.empty()) context.files_from.emplace(out, image.path);

  const bool as_dds = ext == "dds";
  // A DDS source written as DDS beside itself is already there.
  if (as_dds && image.is_dds && context.destination.empty()) return;

  ImageResult r = read_result;
  if (r == img::kSuccess && !image.loaded) r = img::kNotLoaded;
  if (r != img::kSuccess) {
    Logger().model_log("^1IWI Error^7: %s", QorLogger::error_text(r).c_str());
    return;
  }
  // Beside an archived image is the images folder, which may not exist yet.
  // As the IWD mover does, nothing is written through a folder below it
  // that is a symbolic link: it may lead anywhere.
  if (context.destination.empty() && !image.archive.empty()) {
    const std::string folder = out.substr(0, platform::LastSeparator(out));
    if (platform::PassesThroughLink(platform::WithTrailingSeparator(context.raw_dir) + "images", folder)) {
      Logger().model_log("^1IWI Error^7: %s: its folder in raw/images is a symbolic link", out.c_str());
      ++context.write_failures;
      return;
    }
    (void)platform::CreateDirectories(folder);
  }
  platform::ClearWriteFailure();
  // A normal map is known by its slot; DDS files stay as stored.
  const bool rebuild = context.normal_map && (ext == "png" ? context.normal_maps >= kNormalMapsPngGltf
                                                           : context.normal_maps >= kNormalMapsWithTga);
  r = as_dds ? image.WriteDDS(out) : ext == "png" ? WritePNG(image, out, rebuild) : image.WriteTGA(out, nullptr, rebuild);
  if (r != img::kSuccess) {
    // An image that was read and could not be written (a full disk, a
    // folder refusing writes) fails the whole step.
    const std::string cause = platform::LastWriteFailureText();
    Logger().model_log("^1IWI Error^7: %s%s%s", QorLogger::error_text(r).c_str(), cause.empty() ? "" : ": ",
                       cause.c_str());
    ++context.write_failures;
    if (r == img::kPermission) context.permission_failure = true;
    context.last_failure = platform::LastWriteFailure();
    return;
  }
  Logger().model_log("^5Moved^7: %s", image.short_name.c_str());
  context.written.push_back(out);
}

ErrorCode MoveImages(Xmodel& model, const std::string& folder, const ExportSettings& settings,
                     std::vector<std::string>* written) {
  if (!model.xmodel_loaded) return err::kNotLoaded;
  (void)platform::CreateDirectories(folder);

  TextureExportContext context;
  context.raw_dir = model.raw_dir;
  context.destination = settings.export_images_local ? folder : "";
  context.files = ImageFilesOf(settings);
  context.normal_maps = settings.convert_normal_maps;

  MaterialLibrary& library = model.material_library;
  for (size_t m = 0; m < library.entries.size(); ++m) {
    MaterialTextures* set = m < library.texture_sets.size() ? &library.texture_sets[m] : nullptr;
    for (const MaterialImage& image : library.entries[m].images) {
      const int unit = UnitOfSlot(image.slot);
      if (settings.export_images_col && unit != kColourUnit) continue;
      // Colour maps follow the image-format settings, loaded or not; the
      // other maps are TGA, or PNG when every map is.
      const char* ext = ExportedExtension(unit == kColourUnit, context.files);
      context.normal_map = image.slot == "normalMap";
      if (unit >= 0 && set && set->loaded[size_t(unit)]) {
        ExportImage(context, set->units[size_t(unit)], ext);
        continue;
      }
      SetSourceImage(context.scratch, context.raw_dir, image);
      ImageResult r = context.scratch.loaded ? img::kSuccess : ReadImage(context.scratch);
      ExportImage(context, context.scratch, ext, r);
      context.scratch.Clear();
    }
  }
  if (written) written->insert(written->end(), context.written.begin(), context.written.end());
  if (context.write_failures == 0) return err::kSuccess;
  // The worker's error line names the cause of the last one.
  platform::ClearWriteFailure();
  if (context.last_failure.err != 0) (void)platform::ReportWriteFailure(context.last_failure);
  return context.permission_failure ? err::kPermission : err::kUnknown;
}
