// GDT entries of the exported model: a "material.gdf" entry per distinct
// material of the level with its colour, normal and specular maps (named as
// the texture export writes them under model_export), and the model's
// "xmodel.gdf" entry pointing at its XMODEL_EXPORT file.
#include "export/gdt_writer.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "export/export_common.h"
#include "export/model_exports.h"
#include "platform/path_names.h"
#include "export/output_names.h"
#include "export/texture_names.h"
#include "model/xmodel.h"
#include "platform/fs_paths.h"

GdtWriter::GdtWriter() = default;

GdtWriter::~GdtWriter() {
  if (file_) (void)Close();
}

ErrorCode GdtWriter::Open(std::string path) {
  if (file_) (void)Close();
  if (path.size() < 4 || path.compare(path.size() - 4, 4, ".gdt") != 0) path += ".gdt";
  ErrorCode code = err::kSuccess;
  output_ = std::make_unique<OutputFile>();
  file_ = output_->Open(path, code);
  if (!file_) {
    output_.reset();
    return code;
  }
  path_ = std::move(path);
  out_ = std::make_unique<TextOut>(file_);
  out_->Lit("\n{\n");
  return err::kSuccess;
}

// Keys and values are quoted strings in which "\" escapes: paths have each
// backslash doubled, and a quote in a name cannot end its string.
void GdtWriter::WriteMaterial(std::string_view name, std::string_view color_map, std::string_view normal_map,
                              std::string_view spec_map) {
  if (!file_) return;
  TextOut& out = *out_;
  out.Lit("\t\"").Raw(QuoteEscape(name)).Lit("\" ( \"material.gdf\" )\n\t{\n");
  out.Lit("\t\t\"materialType\" \"model phong\"\n");
  out.Lit("\t\t\"colorMap\" \"").Raw(QuoteEscape(color_map)).Lit("\"\n");
  out.Lit("\t\t\"normalMap\" \"").Raw(QuoteEscape(normal_map)).Lit("\"\n");
  out.Lit("\t\t\"specColorMap\" \"").Raw(QuoteEscape(spec_map)).Lit("\"\n");
  out.Lit("\t\t\"surfaceType\" \"<none>\"\n\t\t\"template\" \"material.template\"\n\t}\n");
}

void GdtWriter::WriteModel(std::string_view name, std::string_view filename, bool animated) {
  if (!file_) return;
  TextOut& out = *out_;
  out.Lit("\t\"").Raw(QuoteEscape(name)).Lit("\" ( \"xmodel.gdf\" )\n\t{\n");
  out.Lit("\t\t\"filename\" \"").Raw(QuoteEscape(filename)).Lit("\"\n");
  out.Lit("\t\t\"type\" \"").Lit(animated ? "animated" : "rigid").Lit("\"\n\t}\n");
}

void GdtWriter::WriteModel(std::string_view name, const Levels& levels, bool animated) {
  if (!file_) return;
  static constexpr const char* kSlot[4] = {"filename", "mediumLod", "lowLod", "lowestLod"};
  static constexpr const char* kDistance[4] = {"highLodDist", "mediumLodDist", "lowLodDist", "lowestLodDist"};
  static constexpr const char* kCollision[5] = {"None", "High", "Medium", "Low", "Lowest"};
  TextOut& out = *out_;
  out.Lit("\t\"").Raw(QuoteEscape(name)).Lit("\" ( \"xmodel.gdf\" )\n\t{\n");
  out.Lit("\t\t\"type\" \"").Lit(animated ? "animated" : "rigid").Lit("\"\n");
  for (int i = 0; i < 4; ++i) {
    char distance[32];
    std::snprintf(distance, sizeof distance, "%g", double(levels.distances[i]));
    out.Lit("\t\t\"").Lit(kSlot[i]).Lit("\" \"").Raw(QuoteEscape(levels.files[i])).Lit("\"\n");
    out.Lit("\t\t\"").Lit(kDistance[i]).Lit("\" \"").Raw(distance).Lit("\"\n");
  }
  const int collision = levels.collision >= 0 && levels.collision < 4 ? levels.collision + 1 : 0;
  out.Lit("\t\t\"collisionLOD\" \"").Lit(kCollision[collision]).Lit("\"\n");
  out.Lit("\t\t\"physicsPreset\" \"").Raw(QuoteEscape(levels.physics_preset)).Lit("\"\n\t}\n");
}

void GdtWriter::WriteAnimation(std::string_view name, const Animation& a) {
  if (!file_) return;
  TextOut& out = *out_;
  out.Lit("\t\"").Raw(QuoteEscape(name)).Lit("\" ( \"xanim.gdf\" )\n\t{\n");
  out.Lit("\t\t\"filename\" \"").Raw(QuoteEscape(a.filename)).Lit("\"\n");
  out.Lit("\t\t\"model\" \"").Raw(QuoteEscape(a.model)).Lit("\"\n");
  out.Lit("\t\t\"looping\" \"").Lit(a.looping ? "1" : "0").Lit("\"\n");
  out.Lit("\t\t\"type\" \"").Raw(QuoteEscape(a.type)).Lit("\"\n");
  // What the mod tools' own entries hold: every bone the file has, and the
  // compiler's default thinning.
  out.Lit("\t\t\"useBones\" \"0\"\n\t\t\"node\" \"\"\n\t\t\"angleError\" \"0.05\"\n");
  out.Lit("\t\t\"translationError\" \"0.025\"\n\t\t\"boneStabilizers\" \"\"\n\t}\n");
}

ErrorCode GdtWriter::Close() {
  if (!file_) return err::kNotLoaded;
  out_->Lit("\n}");
  ErrorCode code = output_->Close(*out_);
  out_.reset();
  output_.reset();
  file_ = nullptr;
  return code;
}

ErrorCode DumpGDT(const Xmodel& model, int lod_index, std::string folder, const ExportSettings& settings,
                  ExportWritten* written) {
  // The model and the level asked for must be there.
  if (!model.xmodel_loaded) return err::kNotLoaded;
  const bool every = lod_index == kEveryLod;
  if (every ? model.lods.empty() || model.lod_names.size() < model.lods.size()
            : lod_index < 0 || size_t(lod_index) >= model.lods.size() || size_t(lod_index) >= model.lod_names.size())
    return err::kOutOfRange;
  if (!platform::IsSafeOutputName(model.name)) return err::kInvalidPath;
  // Materials are loaded before anything is opened: a failed load then
  // leaves no half-written file behind.
  if (!model.material_library.loaded)
    if (ErrorCode code = model.material_library.LoadMaterials(); code != err::kSuccess) return code;
  // The level's distinct materials, or every level's: the library's names,
  // level 0's first.
  const std::vector<std::string>& materials =
      every ? model.material_library.names : model.lods[size_t(lod_index)].unique_materials;
  // No name may break its line.
  if (!IsSingleLine(model.name) || (every && !IsSingleLine(model.physics_preset))) return err::kFileNotValid;
  for (size_t i = every ? 0 : size_t(lod_index); i < (every ? model.lods.size() : size_t(lod_index) + 1); ++i)
    if (!IsSingleLine(model.lod_names[i])) return err::kFileNotValid;
  for (const std::string& m : materials) {
    if (!IsSingleLine(m)) return err::kFileNotValid;
    for (const MaterialEntry& entry : model.material_library.entries)
      if (entry.name == m)
        for (const MaterialImage& image : entry.images)
          if (!IsSingleLine(image.dds_file)) return err::kFileNotValid;
  }

  // The output folder and the file.
  const std::string dir = platform::WithTrailingSeparator(folder);
  platform::CreateDirectories(dir);
  GdtWriter gdt;
  if (ErrorCode code = gdt.Open(dir + model.name); code != err::kSuccess) return code;

  // Texture paths are the mod tools', relative to the game folder.
  const std::string texture_folder =
      settings.export_sub_dir ? "model_export\\" + model.name + "\\images\\" : std::string("model_export\\images\\");

  // One material entry per distinct material, with its maps.
  for (const std::string& m : materials)
    for (const MaterialEntry& entry : model.material_library.entries) {
      if (entry.name != m) continue;
      std::string color, normal, spec;
      for (const MaterialImage& image : entry.images) {
        if (image.slot == "colorMap")
          color = texture_folder + ExportedImageFile(image, ImageFilesOf(settings), true);
        else if (image.slot == "normalMap")
          normal = texture_folder + ExportedImageFile(image, ImageFilesOf(settings), true);
        else if (image.slot == "specularMap")
          spec = texture_folder + ExportedImageFile(image, ImageFilesOf(settings), true);
      }
      gdt.WriteMaterial(entry.name, color, normal, spec);
    }

  // The model entry: "animated" with more than one bone, else "rigid".
  auto model_file = [&](size_t level) {
    return (settings.export_sub_dir ? model.name + "\\" : std::string("\\")) + model.lod_names[level] + ".XMODEL_EXPORT";
  };
  const int bone_total = int(model.root_bone_count) + int(model.bone_count);
  if (every) {
    GdtWriter::Levels levels;
    for (size_t i = 0; i < 4; ++i) {
      if (i < model.lods.size()) levels.files[i] = model_file(i);
      if (i < model.lods.size() && i < model.lod_distances.size()) levels.distances[i] = model.lod_distances[i];
    }
    levels.collision = model.collision_lod;
    levels.physics_preset = model.physics_preset;
    gdt.WriteModel(model.name, levels, bone_total > 1);
  } else {
    gdt.WriteModel(model.name, model_file(size_t(lod_index)), bone_total > 1);
  }

  // Commit the file.
  const std::string file_path = gdt.path();
  ErrorCode code = gdt.Close();
  if (code == err::kSuccess && written) written->push_back(file_path);
  return code;
}
