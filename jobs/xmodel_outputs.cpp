// What a job would write and what the model was read from: the names are
// built as the exporters build them (same folders, same file names), so
// that a batch export can tell an up-to-date model from one to export.
// The unit tests hold these lists against the files real exports write.
#include "jobs/export_formats.h"
#include "jobs/xmodel_threaded.h"
#include "platform/fs_paths.h"

std::vector<std::string> XmodelThreaded::PlannedOutputs(uint32_t flags, int32_t lod) {
  ExportSettings settings;
  {
    std::lock_guard<std::mutex> guard(queue_lock_);
    settings = settings_;
  }
  std::vector<std::string> out;
  if (!model.xmodel_loaded || model.lods.empty()) return out;
  flags = JobSteps(flags, settings);
  const OutputFolders folders = FoldersFor(settings);
  // The writing formats name their files after the level they write.
  const int32_t shown = model.shown_lod;
  for (const ExportFormat& format : ExportFormats()) {
    if (!(flags & format.bits)) continue;
    const bool each = format.write && lod == kEveryLod;
    for (int32_t i = 0; i < (each ? int32_t(model.lods.size()) : 1); ++i) {
      if (each) model.ShowLod(i);
      else if (lod >= 0) model.ShowLod(lod);
      format.plan(model, folders, settings, flags, out);
    }
    model.shown_lod = shown;
  }
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
