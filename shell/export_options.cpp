// Settings to worker export options: one place for the window and the CLI.
#include "shell/export_options.h"

ExportOptions ExportOptionsFromSettings(const QorSettings& s) {
  ExportOptions o;
  o.export_folder = s.export_folder;
  o.gdt_target = s.export_folder_GDT;
  o.export_sub_dir = s.export_sub_dir;
  o.export_tags_local = s.export_tags_local;
  o.load_model_textures = s.load_model_textures;
  o.export_images = s.export_images;
  o.export_images_local = s.export_images_local;
  o.export_images_col = s.export_images_col;
  o.export_as_tga = s.export_img_as_tga == 1;
  o.export_MTL = s.export_MTL;
  o.export_MA_BIND = s.export_MA_BIND;
  return o;
}
