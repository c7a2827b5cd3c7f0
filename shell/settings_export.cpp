// Settings record to export settings: one line a setting.
#include "shell/settings_export.h"

ExportSettings ExportSettingsFromSettings(const QorSettings& s) {
  ExportSettings e;
  e.export_folder = s.export_folder;
  e.export_folder_GDT = s.export_folder_GDT;
  e.export_sub_dir = s.export_sub_dir;
  e.export_tags_local = s.export_tags_local;
  e.export_images = s.export_images;
  e.export_images_local = s.export_images_local;
  e.export_images_col = s.export_images_col;
  e.export_img_as_tga = s.export_img_as_tga == 1;
  e.export_img_png = s.export_img_png;
  e.convert_normal_maps = s.convert_normal_maps;
  e.export_MTL = s.export_MTL;
  e.export_MA_BIND = s.export_MA_BIND;
  e.load_model_textures = s.load_model_textures;
  return e;
}
