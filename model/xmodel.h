// The one in-memory model: what the xmodel, xmodelparts and xmodelsurfs
// files of one asset hold, the load flags, the layout in force and the
// model-wide scale. Loaded and exported only on the worker thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "model/error_codes.h"
#include "model/material_library.h"
#include "model/progress_value.h"
#include "model/record_vector.h"

// The byte layout the files are read with.
using GameVersion = int32_t;
inline constexpr GameVersion Cod5 = 0;
inline constexpr GameVersion BO = 1;
inline constexpr GameVersion Cod4 = 2;

inline bool IsValidGame(GameVersion g) { return g == Cod5 || g == BO || g == Cod4; }

struct SurfaceBoneEntry {
  uint16_t vertex_count = 0;
  uint16_t bone = 0;
};

// One influence word of a vertex: bone index, then raw weight (raw / 65535).
struct InfluenceEntry {
  int16_t bone = 0;
  uint16_t weight = 0;
};

// Weight of an influence entry in [0, 1].
inline double InfluenceWeight(const InfluenceEntry& e) {
  double w = e.weight / 65535.0;
  return w > 1.0 ? 1.0 : w;
}

// The weight the exports write for a raw weight: raw / 65535 as percent
// and back, as the format's weights were always computed; at most 1.
inline double ExportWeight(uint16_t raw) {
  double w = raw / 65535.0 * 100.0 * 0.01;
  return w > 1.0 ? 1.0 : w;
}

struct VertexInfluences {
  uint8_t extra_count = 0;   // entries read for the vertex
  int16_t primary_bone = -1;  // -1: the record carried none (unweighted surface)
  // The entries live in the surface's influence pool, so a model of millions
  // of vertices is not millions of small allocations.
  uint32_t first_entry = 0;
  uint16_t entry_count = 0;  // 0 when the count was above the layout's limit
};

struct XmodelVertex {
  float normal[3] = {0, 0, 0};
  uint8_t colour[4] = {0, 0, 0, 0};
  float u = 0, v = 0;  // v holds 1 - the file's value
  uint8_t extra[24] = {};
  float position[3] = {0, 0, 0};
};

struct XmodelSurface {
  int16_t vertex_count = 0;
  int16_t triangle_count = 0;
  bool weighted = false;
  std::vector<SurfaceBoneEntry> bone_table;
  // The large arrays: resize() leaves new records unset (record_vector.h).
  RecordVector<VertexInfluences> influences;  // one per vertex
  RecordVector<InfluenceEntry> influence_pool;
  RecordVector<XmodelVertex> vertices;
  RecordVector<uint16_t> triangles;  // three local vertex indices a triangle

  std::span<const InfluenceEntry> Entries(size_t vertex) const {
    const VertexInfluences& inf = influences[vertex];
    return {influence_pool.data() + inf.first_entry, inf.entry_count};
  }
};

struct XmodelLod {
  std::string surf_name;
  std::string surf_path;
  int32_t surf_load_ms = 0;
  // How long the last export of this level took; the exporters read a const
  // model and still time themselves (export/export_common.h).
  mutable int32_t export_ms = 0;
  bool surfaces_loaded = false;
  bool surf_file_exists = false;
  int16_t surface_count = 0;
  int32_t obj_index_base = 0;
  std::vector<XmodelSurface> surfaces;
  int16_t material_count = 0;
  int16_t unique_material_count = 0;
  std::vector<std::string> materials;
  std::vector<std::string> unique_materials;
};

struct XmodelBone {
  std::string name;
  float position[3] = {0, 0, 0};
  double rotation[4] = {0, 0, 0, 1};  // x, y, z, w
  uint8_t parent = 255;                // 255: root
};

class ByteCursor;

// Internal result of a layout reader: the layout was switched, read again.
inline constexpr ErrorCode kRestartLoad = -27;

class Xmodel {
 public:
  [[nodiscard]] ErrorCode LoadxmodelFull(std::string path);
  bool SetPath(const std::string& path);
  [[nodiscard]] ErrorCode LoadXmodel();
  [[nodiscard]] ErrorCode LoadParts();
  [[nodiscard]] ErrorCode SetupSurfaces();
  [[nodiscard]] ErrorCode LoadSurface();
  ErrorCode ApplyScale();
  void Reset();

  // The readers over file bytes already in memory. LoadXmodel, LoadParts and
  // LoadSurface read their file whole and call these; fuzz targets and
  // benchmarks call them directly. Same checks, same results.
  [[nodiscard]] ErrorCode LoadXmodelBytes(std::span<const uint8_t> bytes);
  [[nodiscard]] ErrorCode LoadPartsBytes(std::span<const uint8_t> bytes);
  [[nodiscard]] ErrorCode ReadSurfaceBytes(XmodelLod& lod, std::span<const uint8_t> bytes);

  // "No Error Set!" when last_error is 0.
  std::string LastErrorText() const;
  // What the user reads of a failed load or surface read: the code's text
  // and, when the failure concerns a file, that file as seen from the game
  // root ("File Not Found: raw/xmodelparts/NAME_lod0").
  std::string FailureText(ErrorCode code) const;
  std::string BoneName(int index) const;        // "tag_not_fnd" when out of range
  std::string ParentNodeName(int index) const;  // "Joints" when out of range
  std::string RigidBoneName(const XmodelSurface& surface) const;

  uint32_t scratch = 0;
  int32_t material_count_scratch = 0;
  int16_t version = -1;
  int32_t lod_count = 0;
  int16_t bone_count = -1;
  int16_t root_bone_count = -1;
  int32_t collision_lod = -1;
  std::string physics_preset;
  // Black Ops files only: the string before the preset (a ".map" file name
  // in some stock files, "" in most).
  std::string source_map;
  std::string parts_path;
  std::vector<float> lod_distances;
  std::vector<std::string> lod_names;
  std::vector<XmodelBone> bones;
  std::vector<XmodelLod> lods;
  // The level of detail the viewer, the panels and the exports use: 0 unless
  // another was asked for. LoadSurface reads this level.
  int32_t shown_lod = 0;
  size_t ShownIndex() const { return size_t(shown_lod) < lods.size() ? size_t(shown_lod) : 0; }
  XmodelLod& ShownLod() { return lods[ShownIndex()]; }
  const XmodelLod& ShownLod() const { return lods[ShownIndex()]; }
  // Points the model at `level`; false, and nothing changed, when the model
  // has no such level.
  bool ShowLod(int32_t level);
  double load_time_ms = 0;
  double load_start = 0;
  bool auto_switch_asked = false;
  // The game check switches layouts without asking (readers on a background
  // thread, which have nobody to ask).
  bool switch_unasked = false;
  bool switched_for_this_model = false;
  GameVersion saved_game = Cod5;
  std::string name;
  std::string path;
  std::string raw_dir;
  bool xmodel_loaded = false;
  bool path_valid = false;
  bool surfaces_set_up = false;
  bool parts_loaded = false;
  int32_t file_size = -1;
  GameVersion game = Cod5;
  ErrorCode last_error = 0;
  // The file the last failed LoadxmodelFull or LoadSurface concerns, from
  // the game root; "" after a success or when no file is to blame.
  std::string failed_file;
  float scale = 1.0f;
  // Read by the GUI thread without the worker's lock: atomics, relaxed.
  // Mutable: the exporters (export/model_exports.h) read a const model and
  // still report how far they are.
  mutable ProgressValue progress;
  mutable std::atomic<bool> busy{false};

  // The layout this model's files were read with. The active game is put
  // back right after the xmodel file is read, so the surface reader must not
  // go by `game` for a model that was switched.
  GameVersion layout = Cod5;
  // How far the last surface read got into its file (a complete read of a
  // well-formed file ends on its last byte).
  size_t consumed_bytes = 0;
  // The model's distinct materials (the program-wide library lives here,
  // beside the one model it describes). Mutable: the MTL and GDT exports
  // load it on first use when the model's load did not.
  mutable MaterialLibrary material_library;

 private:
  void ClearForLoad();
  // The file a LoadxmodelFull that ended with `code` concerns (see
  // failed_file); `given` is the path it was handed.
  std::string FileOfLoadFailure(ErrorCode code, const std::string& given) const;
  std::string FromGameRoot(const std::string& file) const;
  ErrorCode ReadShownLevel();
  ErrorCode ReadLayout(ByteCursor& file, GameVersion layout);
  bool AutoGameSwitch(ByteCursor& file, const std::string& name, GameVersion reader);
  bool SurfsFileExists(const std::string& surf_name) const;
  // ReadSurfaceBytes with the positions multiplied by `position_scale` as
  // they are read, and `consumed` (when set) told after each surface how far
  // into `bytes` the reader will not look again.
  ErrorCode ReadSurfaces(XmodelLod& lod, std::span<const uint8_t> bytes, float position_scale,
                         const std::function<void(size_t)>& consumed);
  void ScaleBones();
  // The bones take the scale once, whichever level is read first.
  bool bones_scaled_ = false;
};
