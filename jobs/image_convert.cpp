// ConvertImage: "slot:material" to the matching images, each read from the
// game's images folder and written beside it.
#include "jobs/image_convert.h"

#include "base/logger.h"
#include "imaging/image_paths.h"
#include "imaging/iwi_image.h"
#include "model/material_library.h"
#include "platform/fs_paths.h"

namespace {

// One material image read from the images folder and written beside it.
ImageResult ConvertOne(std::string_view raw_dir, const MaterialImage& source, bool as_dds,
                       std::vector<std::string>* written) {
  IwiImage image;
  SetSourceImage(image, raw_dir, source);
  ImageResult r = ReadImage(image);
  std::string out = ImageOutputPath(image, "", as_dds ? "dds" : "tga");
  // Beside an archived image is the images folder, which may not exist yet.
  if (r == img::kSuccess && !image.archive.empty())
    (void)platform::CreateDirectories(out.substr(0, platform::LastSeparator(out)));
  // A file that could not be read is reported with the reader's code, never
  // written as an empty image; a DDS source is its own DDS.
  if (r == img::kSuccess && !(as_dds && out == image.path))
    r = as_dds ? image.WriteDDS(out) : image.WriteTGA(out);
  if (r != img::kSuccess) {
    Logger().model_log("IWI Error: %s", QorLogger::error_text(r).c_str());
  } else {
    Logger().model_log("Converted: %s", image.name.c_str());
    if (written) written->push_back(out);
  }
  return r;
}

}  // namespace

ImageResult ConvertImage(const MaterialLibrary& library, std::string_view raw_dir, std::string_view item,
                         bool as_dds, std::vector<std::string>* written) {
  size_t colon = item.find(':');
  if (colon == std::string_view::npos) return img::kSuccess;
  std::string_view slot = item.substr(0, colon), material = item.substr(colon + 1);

  ImageResult result = img::kSuccess;
  for (const MaterialEntry& entry : library.entries) {
    if (entry.name != material) continue;
    for (const MaterialImage& source : entry.images) {
      if (source.slot != slot) continue;
      if (ImageResult r = ConvertOne(raw_dir, source, as_dds, written); r != img::kSuccess) result = r;
    }
  }
  return result;
}

ImageResult ConvertImageAt(const MaterialLibrary& library, std::string_view raw_dir, int32_t material, int32_t image,
                           bool as_dds, std::vector<std::string>* written) {
  if (material < 0 || size_t(material) >= library.entries.size()) return img::kCantOpen;
  const MaterialEntry& entry = library.entries[size_t(material)];
  if (image < 0 || size_t(image) >= entry.images.size()) return img::kCantOpen;
  return ConvertOne(raw_dir, entry.images[size_t(image)], as_dds, written);
}
