// What a job would write and what the model was read from: the names are
// built as the exporters build them (same folders, same file names), so
// that a batch export can tell an up-to-date model from one to export.
// The unit tests hold these lists against the files real exports write.
#include <algorithm>  // Required for: std::find

#include "export/texture_names.h"
#include "imaging/image_paths.h"
#include "imaging/iwi_image.h"
#include "jobs/image_convert.h"
#include "jobs/xmodel_threaded.h"
#include "model/texture_pick.h"
#include "platform/fs_paths.h"
#include "platform/path_names.h"

namespace {

// MoveImages' choices without reading a picture: the images whose source
// is there, once per short name, DDS sources left alone beside themselves.
void PlanImages(const Xmodel& model, const std::string& folder, const ExportSettings& settings,
                std::vector<std::string>& outputs, std::vector<std::string>* sources) {
  const std::string destination = settings.export_images_local ? folder : "";
  const ImageFileChoice files = ImageFilesOf(settings);
  std::vector<std::string> done;
  for (const MaterialEntry& entry : model.material_library.entries) {
    for (const MaterialImage& image : entry.images) {
      const int unit = UnitOfSlot(image.slot);
      if (settings.export_images_col && unit != kColourUnit) continue;
      const std::string ext = ExportedExtension(unit == kColourUnit, files);
      IwiImage source;
      if (!SetSourceImage(source, model.raw_dir, image) || !source.path_set) continue;
      if (std::find(done.begin(), done.end(), source.short_name) != done.end()) continue;
      done.push_back(source.short_name);
      if (sources) sources->push_back(source.path);
      if (ext == "dds" && source.is_dds && destination.empty()) continue;
      if (std::string out = ImageOutputPath(source, destination, ext); !out.empty()) outputs.push_back(out);
    }
  }
}

}  // namespace

std::vector<std::string> XmodelThreaded::PlannedOutputs(uint32_t flags) {
  ExportSettings settings;
  {
    std::lock_guard<std::mutex> guard(queue_lock_);
    settings = settings_;
  }
  std::vector<std::string> out;
  if (!model.xmodel_loaded || model.lods.empty()) return out;
  flags = JobSteps(flags, settings);
  const OutputFolders folders = FoldersFor(settings);
  const std::string dir = platform::WithTrailingSeparator(folders.exports);
  const std::string tags = platform::WithTrailingSeparator(folders.tags);
  const std::string& surf = model.lods[0].surf_name;
  if (flags & job::kExportMA) {
    if (settings.export_MA_BIND) out.push_back(dir + surf + "_bind.mel");
    out.push_back(dir + surf + ".ma");
  }
  if (flags & job::kExportOBJ) {
    out.push_back(dir + surf + ".obj");
    if (settings.export_MTL) out.push_back(dir + surf + ".mtl");
  }
  if (flags & job::kExportXE) out.push_back(dir + surf + ".XMODEL_EXPORT");
  // The PNG maps of a ".gltf" come from the same material images as its
  // document; the document and its buffer stand for them.
  if (flags & job::kExportGLTF) {
    out.push_back(dir + surf + ".bin");
    out.push_back(dir + surf + ".gltf");
  }
  if (flags & job::kExportGLB) out.push_back(dir + surf + ".glb");
  if ((flags & job::kDumpTags) && model.parts_loaded) out.push_back(tags + model.name + "_tags.html");
  if (flags & job::kStaticTagFiles) {
    out.push_back(tags + "dotted.gif");
    out.push_back(tags + "joint.png");
  }
  if (flags & job::kDumpGDT) out.push_back(platform::WithTrailingSeparator(folders.gdt) + model.name + ".gdt");
  if (flags & job::kMoveImages) PlanImages(model, folders.exports + "/images", settings, out, nullptr);
  return out;
}

std::vector<std::string> XmodelThreaded::SourceFiles(uint32_t flags) {
  ExportSettings settings;
  {
    std::lock_guard<std::mutex> guard(queue_lock_);
    settings = settings_;
  }
  std::vector<std::string> sources;
  auto add = [&](const std::string& path) {
    if (path.empty()) return;
    if (auto found = platform::ResolveExisting(path)) sources.push_back(*found);
  };
  add(model.path);
  add(model.parts_path);
  for (const XmodelLod& lod : model.lods) add(lod.surf_path);
  for (const MaterialEntry& entry : model.material_library.entries)
    add(model.material_library.materials_dir + entry.name);
  if (JobSteps(flags, settings) & job::kMoveImages) {
    std::vector<std::string> ignored;
    PlanImages(model, FoldersFor(settings).exports + "/images", settings, ignored, &sources);
  }
  return sources;
}
