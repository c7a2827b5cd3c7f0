// Where an exporter or a conversion reads a material image from.
#include "export/image_source.h"

#include "imaging/image_paths.h"
#include "imaging/iwd_image_read.h"
#include "imaging/iwi_image.h"
#include "model/material_library.h"

bool SetSourceImage(IwiImage& image, std::string_view raw_dir, const MaterialImage& source) {
  image.is_dds = false;
  if (image.SetImagePath(ImageSourcePath(raw_dir, source.iwi_file))) return true;
  // An IWI the game's archives hold comes before a loose DDS twin: once the
  // mover had copied it out, the loose IWI would win the same way.
  if (SetArchivedImage(image, raw_dir, source.iwi_file)) return true;
  // The images folder may hold the picture as DDS only (a modder's own
  // texture); it is read and converted the same way.
  if (!image.SetImagePath(ImageSourcePath(raw_dir, source.dds_file))) return false;
  image.is_dds = true;
  return true;
}

ImageResult ReadImage(IwiImage& image) { return image.is_dds ? image.LoadDDS() : image.LoadIWI(); }
