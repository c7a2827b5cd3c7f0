// The xmodel file reader: version, physics preset, the four level-of-detail
// slots, the collision level and the material names of each level in use.
// The three layouts differ only in their headers: the preset stands at 27 in
// COD 4 and COD 5 files; Black Ops files hold a string at 30 first (a source
// ".map" name, mostly empty) and the preset right after it. After the
// preset's NUL come 0, 1 or 5 bytes.
#include <algorithm>
#include <cstring>

#include "base/byte_cursor.h"
#include "base/read_cstring.h"
#include "model/xmodel.h"
#include "platform/file_bytes.h"
#include "platform/fs_paths.h"
#include "platform/path_names.h"
#include "platform/question.h"

namespace {

constexpr int kMinXmodelSize = 65;  // a file of 64 bytes or less is too small
constexpr size_t kMaxNameScan = 1024;

constexpr size_t kPresetOffset = 27;  // COD 4, COD 5
constexpr size_t kBlackOpsSourceMapOffset = 30;
size_t AfterPresetBytes(GameVersion layout) {
  switch (layout) {
    case Cod5: return 1;
    case BO: return 5;
    default: return 0;
  }
}

constexpr const char* kSwitchTitle = "Auto Game Switcher";
constexpr const char* kToCod4Text =
    "It looks like this model is a COD4 Xmodel\nDo you want to switch to COD4 Loader just for "
    "this Xmodel?\n\n* You can disable this check in settings.";
constexpr const char* kToCod5Text =
    "It looks like this model is a COD5 Xmodel\nDo you want to switch to COD5 Loader just for "
    "this Xmodel?\n\n* You can disable this check in settings.";

}  // namespace

bool ReadCString(ByteCursor& file, std::string& out, int64_t file_size) {
  size_t limit = std::min<size_t>(kMaxNameScan, file_size < 0 ? 0 : size_t(file_size));
  limit = std::min(limit, file.left());
  const uint8_t* start = file.here();
  const void* nul = std::memchr(start, 0, limit);
  if (!nul) return false;
  size_t length = size_t(static_cast<const uint8_t*>(nul) - start);
  out.assign(reinterpret_cast<const char*>(start), length);
  return file.Skip(length);
}

ErrorCode Xmodel::LoadXmodel() {
  if (xmodel_loaded) return err::kAlreadyLoaded;
  if (!path_valid) return err::kFileNotValid;
  std::vector<uint8_t> bytes;
  if (platform::ReadFileBytes(path, bytes) != 0) return err::kCantOpen;
  return LoadXmodelBytes(bytes);
}

ErrorCode Xmodel::LoadXmodelBytes(std::span<const uint8_t> bytes) {
  if (xmodel_loaded) return err::kAlreadyLoaded;
  if (!path_valid) return err::kFileNotValid;
  // A load starts again after a layout switch; each switch sets a flag that
  // stops it happening twice, so this runs at most three times.
  for (;;) {
    file_size = bytes.size() > size_t(INT32_MAX) ? INT32_MAX : int32_t(bytes.size());
    if (file_size < kMinXmodelSize) return err::kFileTooSmall;
    ByteCursor file(bytes);
    if (!file.Get(version)) return err::kOutOfRange;
    if (version != 25 && version != 62) return err::kInvalidVersion;

    // Black Ops files open under the Black Ops layout whatever game is active.
    if (!switched_for_this_model && (game == Cod5 || game == Cod4) && version == 62) {
      switched_for_this_model = true;
      saved_game = game;
      game = BO;
      continue;
    }

    if (!IsValidGame(game)) return err::kUnknown;
    GameVersion reader = game;
    // The user's choice is in force again for the next model while this one
    // is still read with the layout picked here.
    if (switched_for_this_model) game = saved_game;
    layout = reader;

    ErrorCode result = ReadLayout(file, reader);
    if (result == kRestartLoad) continue;
    if (result == err::kSuccess) xmodel_loaded = true;
    return result;
  }
}

bool Xmodel::SurfsFileExists(const std::string& surf_name) const {
  return platform::IsSafeOutputName(surf_name) && platform::FileExists(raw_dir + "xmodelsurfs/" + surf_name);
}

ErrorCode Xmodel::ReadLayout(ByteCursor& file, GameVersion reader) {
  // The physics preset; in Black Ops files the source map name
  // comes first. A lone NUL is an empty string.
  if (reader == BO) {
    if (!file.Seek(kBlackOpsSourceMapOffset) || !ReadCString(file, source_map, file_size) ||
        !file.Skip(1))
      return err::kOutOfRange;
  } else if (!file.Seek(kPresetOffset)) {
    return err::kOutOfRange;
  }
  if (!ReadCString(file, physics_preset, file_size) || !file.Skip(1)) return err::kOutOfRange;
  if (!file.Skip(AfterPresetBytes(reader))) return err::kOutOfRange;

  // The four slots, each a distance and a surfs file name.
  float distance = 0;
  if (!file.Get(distance)) return err::kOutOfRange;
  lod_distances.push_back(distance);
  for (int slot = 0; slot < 4; ++slot) {
    std::string slot_name;
    if (!ReadCString(file, slot_name, file_size)) return err::kNameUnreadable;
    // Game check: a name read with the wrong layout names no surfs file; the
    // name one byte off (the layouts differ by one header byte) may.
    if (slot == 0 && !auto_switch_asked && (reader == Cod5 || reader == Cod4) &&
        !SurfsFileExists(slot_name)) {
      if (!AutoGameSwitch(file, slot_name, reader)) {
        lod_distances.clear();
        return kRestartLoad;
      }
    }
    // The parts and surfs files are looked up by this name and the exports
    // are named after it: a name that is not a plain file name could lead
    // out of their folders. (Checked after the game check: a name read with
    // the wrong layout may carry a stray byte the right layout drops.)
    if (!slot_name.empty() && !platform::IsSafeOutputName(slot_name)) return err::kNameUnreadable;
    lod_names.push_back(slot_name);
    if (slot_name.size() > 4) ++lod_count;
    if (!file.Skip(1)) return err::kOutOfRange;
    if (slot < 3) {
      if (!file.Get(distance)) return err::kOutOfRange;
      lod_distances.push_back(distance);
    }
  }

  // The collision level of detail.
  uint8_t collision = 0;
  if (!file.Get(collision)) return err::kOutOfRange;
  if (collision != 255) collision_lod = collision;

  // The collision surfaces, skipped.
  if (!file.Skip(7)) return err::kOutOfRange;
  if (collision_lod != -1) {
    file.Back(4);
    int32_t surface_count = 0;
    if (!file.Get(surface_count)) return err::kOutOfRange;
    for (int32_t i = 0; i < surface_count; ++i) {
      int32_t k = 0;
      if (!file.Get(k) || k < 0) return err::kOutOfRange;
      if (!file.Skip(36 + 48 * uint64_t(k))) return err::kOutOfRange;
    }
  }

  // The material names of each level in use.
  lods.assign(size_t(lod_count), XmodelLod{});
  for (XmodelLod& lod : lods) {
    uint8_t count = 0;
    if (!file.Get(count) || !file.Skip(1)) return err::kOutOfRange;
    material_count_scratch = count;
    for (int m = 0; m < material_count_scratch; ++m) {
      std::string material;
      if (!ReadCString(file, material, file_size) || !file.Skip(1)) return err::kUnknown;
      lod.materials.push_back(material);
      ++lod.material_count;
      if (std::find(lod.unique_materials.begin(), lod.unique_materials.end(), material) ==
          lod.unique_materials.end()) {
        lod.unique_materials.push_back(material);
        ++lod.unique_material_count;
      }
    }
  }

  // The distinct names over every level, level 0 first.
  std::vector<std::string> all;
  for (const XmodelLod& lod : lods)
    for (const std::string& m : lod.unique_materials)
      if (std::find(all.begin(), all.end(), m) == all.end()) all.push_back(m);
  material_library.names = std::move(all);
  return err::kSuccess;
}

bool Xmodel::AutoGameSwitch(ByteCursor& file, const std::string& slot_name, GameVersion reader) {
  auto_switch_asked = true;
  size_t remembered = file.pos();  // on the NUL of the name

  // A COD 4 file read with the COD 5 layout lost the name's first byte: the
  // real name starts one byte earlier. A COD 5 file read with the COD 4
  // layout carries one byte too many in front: it starts one byte later.
  bool to_cod4 = reader == Cod5;
  size_t name_start = remembered - slot_name.size();
  bool positioned = to_cod4 ? name_start >= 1 && file.Seek(name_start - 1)
                            : file.Seek(name_start + 1);
  std::string candidate;
  if (positioned && ReadCString(file, candidate, file_size) && !candidate.empty() &&
      SurfsFileExists(candidate)) {
    if (switch_unasked || platform::AskYesNo(kSwitchTitle, to_cod4 ? kToCod4Text : kToCod5Text)) {
      saved_game = game;
      game = to_cod4 ? Cod4 : Cod5;
      switched_for_this_model = true;
      return false;
    }
  }
  file.Seek(remembered);
  return true;
}
