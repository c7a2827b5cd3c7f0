#include "jobs/export_formats.h"

#include <algorithm>  // Required for: std::find

#include "export/model_exports.h"
#include "export/texture_names.h"
#include "imaging/image_paths.h"
#include "imaging/iwi_image.h"
#include "jobs/image_convert.h"
#include "jobs/job_bits.h"
#include "model/texture_pick.h"
#include "model/xmodel.h"
#include "platform/fs_paths.h"
#include "platform/path_names.h"

namespace {

// Level 0's file name, in the export folder.
std::string SurfFile(const Xmodel& model, const OutputFolders& folders, const char* suffix) {
  return platform::WithTrailingSeparator(folders.exports) + model.ShownLod().surf_name + suffix;
}

void PlanMA(const Xmodel& m, const OutputFolders& f, const ExportSettings& s, uint32_t, std::vector<std::string>& out) {
  if (s.export_MA_BIND) out.push_back(SurfFile(m, f, "_bind.mel"));
  out.push_back(SurfFile(m, f, ".ma"));
}

void PlanOBJ(const Xmodel& m, const OutputFolders& f, const ExportSettings& s, uint32_t, std::vector<std::string>& out) {
  out.push_back(SurfFile(m, f, ".obj"));
  if (s.export_MTL) out.push_back(SurfFile(m, f, ".mtl"));
}

void PlanXE(const Xmodel& m, const OutputFolders& f, const ExportSettings&, uint32_t, std::vector<std::string>& out) {
  out.push_back(SurfFile(m, f, ".XMODEL_EXPORT"));
}

// The PNG maps of a ".gltf" come from the same material images as its
// document; the document and its buffer stand for them.
void PlanGLTF(const Xmodel& m, const OutputFolders& f, const ExportSettings&, uint32_t,
              std::vector<std::string>& out) {
  out.push_back(SurfFile(m, f, ".bin"));
  out.push_back(SurfFile(m, f, ".gltf"));
}

void PlanGLB(const Xmodel& m, const OutputFolders& f, const ExportSettings&, uint32_t, std::vector<std::string>& out) {
  out.push_back(SurfFile(m, f, ".glb"));
}

void PlanTags(const Xmodel& m, const OutputFolders& f, const ExportSettings&, uint32_t flags,
              std::vector<std::string>& out) {
  const std::string tags = platform::WithTrailingSeparator(f.tags);
  if ((flags & job::kDumpTags) && m.parts_loaded) out.push_back(tags + m.name + "_tags.html");
  if (flags & job::kStaticTagFiles) {
    out.push_back(tags + "dotted.gif");
    out.push_back(tags + "joint.png");
  }
}

void PlanGDT(const Xmodel& m, const OutputFolders& f, const ExportSettings&, uint32_t, std::vector<std::string>& out) {
  out.push_back(platform::WithTrailingSeparator(f.gdt) + m.name + ".gdt");
}

void PlanMovedImages(const Xmodel& m, const OutputFolders& f, const ExportSettings& s, uint32_t,
                     std::vector<std::string>& out) {
  PlanImages(m, f.exports + "/images", s, out, nullptr);
}

ErrorCode WriteMA(const Xmodel& m, const std::string& folder, const ExportSettings& s, ExportWritten* written) {
  return ExportMA(m, folder, s, written);
}

ErrorCode WriteOBJ(const Xmodel& m, const std::string& folder, const ExportSettings& s, ExportWritten* written) {
  return ExportOBJ(m, folder, s, written);
}

ErrorCode WriteXE(const Xmodel& m, const std::string& folder, const ExportSettings&, ExportWritten* written) {
  const ErrorCode code = ExportXE(m, folder);
  if (code == err::kSuccess && written)
    written->push_back(platform::WithTrailingSeparator(folder) + m.ShownLod().surf_name + ".XMODEL_EXPORT");
  return code;
}

ErrorCode WriteGLTF(const Xmodel& m, const std::string& folder, const ExportSettings& s, ExportWritten* written) {
  return ExportGLTF(m, folder, false, written, s.convert_normal_maps == kNormalMapsAsStored);
}

ErrorCode WriteGLB(const Xmodel& m, const std::string& folder, const ExportSettings& s, ExportWritten* written) {
  return ExportGLTF(m, folder, true, written, s.convert_normal_maps == kNormalMapsAsStored);
}

// The hotkey slots of the three export buttons' keys.
constexpr int kNoHotkey = -1;
constexpr int kHotkeyMA = 2, kHotkeyOBJ = 3, kHotkeyXE = 4;

// The command line lists the formats in this order. "all" is the formats
// of the window's export buttons: glTF and GLB, which have no button (a
// key binding or a command list runs them), are asked for by name.
constexpr ExportFormat kFormats[] = {
    {"xe", job::kExportXE, true, "export_XE", 0, true, kHotkeyXE, true, PlanXE, WriteXE, "^1Export XE^7:: %s",
     "^2Exported XE^7: %.1f ms", "Exported XMODEL_EXPORT"},
    {"obj", job::kExportOBJ, true, "export_obj", 0, true, kHotkeyOBJ, true, PlanOBJ, WriteOBJ, "^1ExportOBJ^7:: %s",
     "^2Exported OBJ^7: %.1f ms", "Exported OBJ"},
    {"ma", job::kExportMA, true, "export_ma", 0, true, kHotkeyMA, true, PlanMA, WriteMA, "^1ExportMA^7:: %s",
     "^2Exported MA^7: %.1f ms", "Exported MA"},
    {"gdt", job::kDumpGDT, true, "dump_GDT", 0, false, kNoHotkey, false, PlanGDT, nullptr, nullptr, nullptr, nullptr},
    // From the window the report also opens in the browser; its hotkey
    // shows the tags panel instead.
    {"tags", job::kDumpTags | job::kStaticTagFiles, true, "view_tags", job::kOpenTags, false, kNoHotkey, false,
     PlanTags, nullptr, nullptr, nullptr, nullptr},
    {"images", job::kMoveImages, true, nullptr, 0, false, kNoHotkey, false, PlanMovedImages, nullptr, nullptr,
     nullptr, nullptr},
    {"gltf", job::kExportGLTF, false, "export_gltf", 0, true, kNoHotkey, false, PlanGLTF, WriteGLTF,
     "^1ExportGLTF^7:: %s", "^2Exported GLTF^7: %.1f ms", "Exported GLTF"},
    {"glb", job::kExportGLB, false, "export_glb", 0, true, kNoHotkey, false, PlanGLB, WriteGLB, "^1ExportGLB^7:: %s",
     "^2Exported GLB^7: %.1f ms", "Exported GLB"},
};

}  // namespace

std::span<const ExportFormat> ExportFormats() { return kFormats; }

const ExportFormat* FormatWritingStep(uint32_t bit) {
  for (const ExportFormat& f : kFormats)
    if (f.write && f.bits == bit) return &f;
  return nullptr;
}

bool MovesImages(uint32_t bits) {
  for (const ExportFormat& f : kFormats)
    if (f.moves_images && (bits & f.bits)) return true;
  return false;
}

uint32_t JobSteps(uint32_t flags, const ExportSettings& settings) {
  // The scene and MTL writers name the moved images from the same copy of
  // the settings.
  if (settings.export_images && MovesImages(flags)) flags |= job::kMoveImages;
  return flags;
}

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
      // An image read from an archive was read from the archive: a changed
      // archive may hold another picture under the same name.
      if (sources && source.archive.empty()) sources->push_back(source.path);
      if (sources && !source.archive.empty())
        if (auto archive = platform::ResolveExisting(source.archive_root + source.archive)) sources->push_back(*archive);
      if (ext == "dds" && source.is_dds && destination.empty()) continue;
      if (std::string out = ImageOutputPath(source, destination, ext); !out.empty()) outputs.push_back(out);
    }
  }
}
