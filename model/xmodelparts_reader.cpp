// The xmodelparts reader: the model's bones. Root bones come first and carry
// no transform record; every other bone has a 19-byte record (parent, local
// offset, rotation as three 16-bit quaternion parts); then every bone's name.
#include <cerrno>
#include <cmath>

#include "base/byte_cursor.h"
#include "base/read_cstring.h"
#include "model/xmodel.h"
#include "platform/file_bytes.h"
#include "platform/fs_paths.h"

namespace {

constexpr size_t kTransformRecordSize = 19;
// The games' tools quantise with 32767 - 0.5, not 32767 or 32768.
constexpr double kQuatDivisor = 32766.5;

void DecodeRotation(int16_t qx, int16_t qy, int16_t qz, double out[4]) {
  out[0] = qx / kQuatDivisor;
  out[1] = qy / kQuatDivisor;
  out[2] = qz / kQuatDivisor;
  double s = out[0] * out[0] + out[1] * out[1] + out[2] * out[2];
  if (s > 1.0) s = 1.0;
  out[3] = std::sqrt(1.0 - s);
}

}  // namespace

ErrorCode Xmodel::LoadParts() {
  if (!xmodel_loaded) return err::kNotLoaded;
  if (parts_loaded) return err::kBonesLoaded;
  if (!platform::FolderExists(raw_dir + "xmodelparts")) return err::kNoPartsFolder;
  if (lod_names.empty()) return err::kOutOfRange;
  std::string file_path = raw_dir + "xmodelparts/" + lod_names[0];
  std::optional<std::string> found = platform::ResolveExisting(file_path);
  if (!found || !platform::FileExists(*found)) return err::kFileNotFound;
  parts_path = *found;

  std::vector<uint8_t> bytes;
  int e = platform::ReadFileBytes(parts_path, bytes);
  if (e == EACCES) return err::kPermission;
  if (e != 0) return err::kCantOpen;
  return LoadPartsBytes(bytes);
}

ErrorCode Xmodel::LoadPartsBytes(std::span<const uint8_t> bytes) {
  if (!xmodel_loaded) return err::kNotLoaded;
  if (parts_loaded) return err::kBonesLoaded;
  ByteCursor file(bytes);
  uint16_t file_version = 0;
  if (!file.Get(file_version)) return err::kOutOfRange;
  if (!IsValidGame(game)) return err::kInvalidVersion;

  int16_t b = 0, r = 0;
  if (!file.Get(b) || !file.Get(r)) return err::kOutOfRange;
  if (b < 0 || r < 0) return err::kOutOfRange;
  // The records and at least one NUL per name must fit in what is left.
  size_t total = size_t(b) + size_t(r);
  if (size_t(b) * kTransformRecordSize + total > file.left()) return err::kOutOfRange;
  bone_count = b;
  root_bone_count = r;
  bones.assign(total, XmodelBone{});

  for (size_t i = 0; i < size_t(b); ++i) {
    XmodelBone& bone = bones[size_t(r) + i];
    int16_t q[3];
    file.Get(bone.parent);
    file.Read(bone.position, sizeof bone.position);
    file.Read(q, sizeof q);
    DecodeRotation(q[0], q[1], q[2], bone.rotation);
    // A parent must be an earlier bone: the exporters and the viewer walk
    // the chain from the roots down and index the list with it.
    if (bone.parent != 255 && bone.parent >= size_t(r) + i) return err::kOutOfRange;
  }
  for (size_t i = 0; i < size_t(r); ++i) bones[i] = XmodelBone{};

  for (XmodelBone& bone : bones) {
    if (!ReadCString(file, bone.name, int64_t(bytes.size())) || !file.Skip(1))
      return err::kOutOfRange;
  }
  parts_loaded = true;
  return err::kSuccess;
}
