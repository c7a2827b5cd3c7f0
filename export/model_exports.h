// The model's exports of level 0 (and the GDT of any level). Each writes
// into `folder` (created when missing) and appends the files it wrote
// completely to `written` when one is given. They read the model; what they
// change on it is its progress and busy flag, and the material library,
// which ExportMTL and DumpGDT load when the model's load did not.
#pragma once

#include <string>

#include "base/export_settings.h"
#include "export/gltf_animation.h"
#include "model/error_codes.h"

class Xmodel;

// The XMODEL_EXPORT text of the level shown.
[[nodiscard]] ErrorCode ExportXE(const Xmodel& model, std::string folder);
// <surf_name>.obj, and with export_MTL its MTL (ExportMTL's result).
[[nodiscard]] ErrorCode ExportOBJ(const Xmodel& model, std::string folder, const ExportSettings& settings = {},
                                  ExportWritten* written = nullptr);
// <surf_name>.gltf with its .bin and its maps as PNG under "images", or
// with `binary` one <surf_name>.glb holding everything.
// Normal maps go in rebuilt as RGB normals unless `normal_maps_as_stored`.
// With an `animation`, the files take its name and the document carries it
// (2 when a channel names no bone or its keys are broken).
[[nodiscard]] ErrorCode ExportGLTF(const Xmodel& model, std::string folder, bool binary,
                                   ExportWritten* written = nullptr, bool normal_maps_as_stored = false,
                                   const GltfAnimation* animation = nullptr);
// <surf_name>.mtl: the distinct materials with their texture maps.
[[nodiscard]] ErrorCode ExportMTL(const Xmodel& model, std::string folder, const ExportSettings& settings = {},
                                  ExportWritten* written = nullptr);
// <surf_name>.ma, and first with export_MA_BIND its bind script (whose
// failure is logged, not returned).
[[nodiscard]] ErrorCode ExportMA(const Xmodel& model, std::string folder, const ExportSettings& settings = {},
                                 ExportWritten* written = nullptr);
// <surf_name>_bind.mel: skin clusters and vertex weights for the scene.
[[nodiscard]] ErrorCode ExportMABind(const Xmodel& model, std::string folder, ExportWritten* written = nullptr);
// <name>.gdt: a material entry per distinct material of level `lod` and
// the model's entry. With kEveryLod, the materials of every level and the
// model's entry naming every level's XMODEL_EXPORT file and distance.
inline constexpr int kEveryLod = -1;
[[nodiscard]] ErrorCode DumpGDT(const Xmodel& model, int lod, std::string folder,
                                const ExportSettings& settings = {}, ExportWritten* written = nullptr);
// <name>_tags.html: the bones as a table and a tree (WriteStaticFiles
// puts its two pictures beside it).
[[nodiscard]] ErrorCode DumpTags(const Xmodel& model, std::string folder, ExportWritten* written = nullptr);
