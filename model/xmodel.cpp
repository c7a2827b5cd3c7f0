// The top-level load sequence, path splitting, scaling, reset and the bone
// name lookups of the one model.
#include "model/xmodel.h"

#include "platform/clock.h"
#include "platform/fs_paths.h"

ErrorCode Xmodel::LoadxmodelFull(std::string model_path) {
  Reset();
  // A failed load leaves xmodel_loaded clear, so Reset does nothing after
  // it; the readers append to their lists, so the leftovers of that failed
  // load must go before this one starts.
  ClearForLoad();
  load_start = platform::NowMsPrecise();

  ErrorCode result = err::kInvalidPath;
  if (SetPath(model_path)) {
    result = LoadXmodel();
    if (result == err::kSuccess) result = LoadParts();
    if (result == err::kSuccess) {
      if (!xmodel_loaded) {
        result = err::kNotLoaded;
      } else {
        result = material_library.LoadMaterials();
        if (result == err::kSuccess) result = SetupSurfaces();
      }
    }
  }
  last_error = result;
  failed_file = result == err::kSuccess ? std::string() : FileOfLoadFailure(result, model_path);
  load_time_ms = platform::NowMsPrecise() - load_start;
  return result;
}

// The readers run in a fixed order and each sets its flag on success, so
// the first flag still clear names the file that stopped the load.
std::string Xmodel::FileOfLoadFailure(ErrorCode code, const std::string& given) const {
  if (!path_valid) return given;  // not found where it was asked for
  if (!xmodel_loaded) return FromGameRoot(path);
  if (!parts_loaded) {
    if (code == err::kNoPartsFolder) return FromGameRoot(raw_dir + "xmodelparts");
    return lod_names.empty() ? FromGameRoot(path) : FromGameRoot(raw_dir + "xmodelparts/" + lod_names[0]);
  }
  if (code == err::kNoSurfsFolder) return FromGameRoot(raw_dir + "xmodelsurfs");
  return FromGameRoot(path);  // no materials or no levels: the xmodel file says so
}

// "raw/xmodelparts/NAME": what the user finds below the game root they
// chose; a file elsewhere keeps its whole path.
std::string Xmodel::FromGameRoot(const std::string& file) const {
  std::string raw = raw_dir;
  while (!raw.empty() && raw.back() == '/') raw.pop_back();
  const size_t cut = platform::LastSeparator(raw);
  if (cut == std::string::npos || file.compare(0, cut + 1, raw, 0, cut + 1) != 0) return file;
  return file.substr(cut + 1);
}

std::string Xmodel::FailureText(ErrorCode code) const {
  std::string text = ErrorText(code);
  if (!failed_file.empty()) text += ": " + failed_file;
  return text;
}

bool Xmodel::SetPath(const std::string& raw_path) {
  std::string full = platform::NormalizePath(raw_path);
  size_t cut = platform::LastSeparator(full);
  if (cut == std::string::npos) return false;
  std::string folder = full.substr(0, cut);
  if (!platform::FolderExists(folder.empty() ? "/" : folder)) return false;
  if (!platform::FileExists(full)) return false;

  path_valid = true;
  name = full.substr(cut + 1);
  path = full;

  // The raw folder is the one above the "xmodel" folder.
  size_t up = platform::LastSeparator(folder);
  raw_dir = up == std::string::npos ? "./" : folder.substr(0, up) + "/";
  material_library.SetRoot(raw_dir);
  return true;
}

ErrorCode Xmodel::ApplyScale() {
  if (lods.empty() || !ShownLod().surfaces_loaded) return err::kNotLoaded;
  if (scale == 1.0f) return err::kSuccess;
  for (XmodelSurface& s : ShownLod().surfaces)
    for (XmodelVertex& v : s.vertices)
      for (float& c : v.position) c *= scale;
  ScaleBones();
  return err::kSuccess;
}

void Xmodel::ScaleBones() {
  if (scale == 1.0f || bones_scaled_) return;
  bones_scaled_ = true;
  for (XmodelBone& b : bones)
    for (float& c : b.position) c *= scale;
}

void Xmodel::Reset() {
  if (!xmodel_loaded) return;
  ClearForLoad();
}

bool Xmodel::ShowLod(int32_t level) {
  if (level < 0 || size_t(level) >= lods.size()) return false;
  shown_lod = level;
  return true;
}

void Xmodel::ClearForLoad() {
  lods.clear();
  shown_lod = 0;
  bones_scaled_ = false;
  lod_distances.clear();
  lod_names.clear();
  bones.clear();
  root_bone_count = -1;
  bone_count = -1;
  load_time_ms = 0;
  lod_count = 0;
  file_size = -1;
  collision_lod = -1;
  version = -1;
  physics_preset.clear();
  source_map.clear();
  parts_path.clear();
  switched_for_this_model = false;
  auto_switch_asked = false;
  layout = game;
  consumed_bytes = 0;
  material_library.Clear();
  parts_loaded = false;
  path_valid = false;
  surfaces_set_up = false;
  xmodel_loaded = false;
  name.clear();
  path.clear();
  last_error = 0;
}

std::string Xmodel::LastErrorText() const {
  return last_error == 0 ? "No Error Set!" : ErrorText(last_error);
}

std::string Xmodel::BoneName(int index) const {
  if (index < 0 || size_t(index) >= bones.size()) return "tag_not_fnd";
  return bones[size_t(index)].name;
}

std::string Xmodel::ParentNodeName(int index) const {
  if (index < 0 || size_t(index) >= bones.size()) return "Joints";
  return bones[size_t(index)].name;
}

std::string Xmodel::RigidBoneName(const XmodelSurface& surface) const {
  if (surface.bone_table.empty()) return "tag_not_fnd";
  return BoneName(surface.bone_table[0].bone);
}
