// The texture export with a model: the images of the loaded model's
// materials written as DDS or TGA, into the export folder's "images" folder
// or beside their sources in the game's images folder. Colour maps follow
// the image-format setting; every other map is written as TGA.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/export_settings.h"
#include "export/texture_names.h"
#include "imaging/iwi_image.h"
#include "model/error_codes.h"
#include "platform/replace_file.h"

class Xmodel;

// One MoveImages call.
struct TextureExportContext {
  ImageFileChoice files;
  std::string destination;  // the folder with "export_images_local", else ""
  std::string raw_dir;
  int32_t normal_maps = kNormalMapsAsStored;  // "convert_normal_maps"
  bool normal_map = false;         // the image being written is a normal map
  IwiImage scratch;                // images not already in memory
  // The source of each short name and of each file exported in this call.
  std::unordered_map<std::string, std::string> done;
  std::unordered_map<std::string, std::string> files_from;
  std::vector<std::string> written;  // files written
  // Images read but not written, and why the last one was not.
  size_t write_failures = 0;
  bool permission_failure = false;
  platform::WriteFailure last_failure;
};

// Converts the textures of every material of the loaded model; `folder` is
// the export destination + "/images". 27; 22 when no model is loaded; 8 or
// 1 when an image that was read could not be written (permission, or any
// other cause, named by platform::LastWriteFailureText). An image that
// cannot be read is logged and skipped, as stock images in formats without
// a converter are common. The written files are added to `written` when it
// is given. Reads "export_img_as_tga", "export_img_png",
// "export_images_local" and "export_images_col" from `settings`.
[[nodiscard]] ErrorCode MoveImages(Xmodel& model, const std::string& folder, const ExportSettings& settings,
                                   std::vector<std::string>* written = nullptr);

// Writes one image as `ext` ("dds", "tga" or "png"; once per call of
// MoveImages, by short name). Logs
// "^5Moved^7: %s" or "^1IWI Error^7: %s", or "^4IWI Not Set" for an image
// without a path. `read_result` is the result of reading the image; an image
// that was not read is reported with it instead of being written.
void ExportImage(TextureExportContext& context, IwiImage& image, std::string_view ext,
                 ImageResult read_result = img::kSuccess);
