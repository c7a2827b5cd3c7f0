// The compiled xanim layout, little-endian, the same in the three games:
//   u16 version, u16 frames, u16 bones, u8 flags, u8 kind, u16 frame rate
//   with flag bit 1: the root motion, a turn channel (one s16 a key) and a
//     translation channel
//   two bit fields of (bones - 1) / 8 + 1 bytes: the first not understood,
//     the second marking the bones that turn about Z only
//   the bone names, NUL-terminated
//   per bone a rotation channel, then a translation channel
//   u8 note count, then per note its name and a u16 frame
// A channel starts with its key count: 0 none, 1 one key without a frame
// list; more keys come after their frame list, which is left out when every
// keyed frame has a key. A frame index is a u8 while the last frame is at
// most 255, else a u16. Rotation keys are three s16 (x, y, z over 32767;
// z alone for a bone that turns about Z), w = +sqrt(1 - x² - y² - z²).
// Translation keys: one key is three f32; more keys a u8 "small" flag, the
// f32 least values and ranges of x, y and z, then three u8 or u16 a key.
#include "model/xanim.h"

#include <cerrno>
#include <cmath>

#include "base/byte_cursor.h"
#include "base/read_cstring.h"
#include "platform/file_bytes.h"

namespace {

constexpr uint16_t kCod4Version = 17;  // and COD 5
constexpr uint16_t kBlackOpsVersion = 19;
constexpr size_t kMaxFileBytes = size_t(1) << 28;

class XanimParser {
 public:
  XanimParser(std::span<const uint8_t> bytes, Xanim& out) : in_(bytes), out_(out), size_(int64_t(bytes.size())) {}

  ErrorCode Run() {
    uint16_t bones = 0;
    if (!in_.Get(out_.version) || !in_.Get(out_.frames) || !in_.Get(bones) || !in_.Get(out_.flags) ||
        !in_.Get(out_.kind) || !in_.Get(out_.frame_rate))
      return err::kFileTooSmall;
    if (out_.version != kCod4Version && out_.version != kBlackOpsVersion) return err::kInvalidVersion;
    if (bones == 0) return err::kFileNotValid;
    keyed_ = size_t(out_.keyed_frames());
    wide_frames_ = keyed_ > 256;
    if (out_.root_motion()) {
      if (ErrorCode e = Channel(out_.root_yaw, 1, false); e != err::kSuccess) return e;
      if (ErrorCode e = Translations(out_.root_translation); e != err::kSuccess) return e;
    }
    const size_t field = (size_t(bones) - 1) / 8 + 1;
    if (in_.left() < 2 * field) return err::kFileTooSmall;
    out_.unknown_bits.assign(in_.here(), in_.here() + field);
    in_.Skip(field);
    const uint8_t* simple = in_.here();
    in_.Skip(field);
    // Every name takes at least its NUL.
    if (bones > in_.left()) return err::kFileTooSmall;
    out_.bones.resize(bones);
    for (size_t b = 0; b < bones; ++b) {
      XanimBone& bone = out_.bones[b];
      bone.simple = (simple[b / 8] >> (b % 8)) & 1;
      if (!ReadCString(in_, bone.name, size_) || !in_.Skip(1)) return err::kFileTooSmall;
    }
    for (XanimBone& bone : out_.bones) {
      if (ErrorCode e = Channel(bone.rotation, bone.simple ? 1 : 3, true); e != err::kSuccess) return e;
      if (ErrorCode e = Translations(bone.translation); e != err::kSuccess) return e;
    }
    uint8_t notes = 0;
    if (!in_.Get(notes)) return err::kFileTooSmall;
    out_.notes.resize(notes);
    for (XanimNote& note : out_.notes) {
      if (!ReadCString(in_, note.name, size_) || !in_.Skip(1) || !in_.Get(note.frame)) return err::kFileTooSmall;
      if (note.frame > keyed_) return err::kFileNotValid;
    }
    return in_.left() == 0 ? err::kSuccess : err::kFileNotValid;
  }

 private:
  // The key count and the frame list; `key_bytes` is what one key takes, to
  // check the count against the bytes left before anything is made.
  ErrorCode Frames(XanimKeys& keys, size_t key_bytes, uint16_t& count) {
    if (!in_.Get(count)) return err::kFileTooSmall;
    if (count == 0) return err::kSuccess;
    if (count > keyed_ && count > 1) return err::kFileNotValid;
    const bool listed = count > 1 && count != keyed_;
    const size_t index_bytes = wide_frames_ ? 2 : 1;
    if (size_t(count) * (key_bytes + (listed ? index_bytes : 0)) > in_.left()) return err::kFileTooSmall;
    if (!listed) return err::kSuccess;
    keys.frames.resize(count);
    for (uint16_t& f : keys.frames) {
      if (wide_frames_) {
        in_.Get(f);
      } else {
        uint8_t small = 0;
        in_.Get(small);
        f = small;
      }
    }
    for (size_t k = 0; k < count; ++k)
      if (keys.frames[k] >= keyed_ || (k > 0 && keys.frames[k] <= keys.frames[k - 1])) return err::kFileNotValid;
    return err::kSuccess;
  }

  // Rotation keys (`parts` 3, or 1 for a turn about Z) or the root's turn
  // (`parts` 1, not a quaternion).
  ErrorCode Channel(XanimKeys& keys, int parts, bool quaternion) {
    uint16_t count = 0;
    if (ErrorCode e = Frames(keys, size_t(parts) * 2, count); e != err::kSuccess) return e;
    keys.values.reserve(size_t(count) * (quaternion ? 4 : 1));
    for (size_t k = 0; k < count; ++k) {
      int16_t q[3] = {0, 0, 0};
      for (int i = 3 - parts; i < 3; ++i)
        if (!in_.Get(q[i])) return err::kFileTooSmall;
      if (!quaternion) {
        keys.values.push_back(float(q[2]) / 32767.0f);
        continue;
      }
      const float x = q[0] / 32767.0f, y = q[1] / 32767.0f, z = q[2] / 32767.0f;
      const float w2 = 1.0f - x * x - y * y - z * z;
      keys.values.insert(keys.values.end(), {x, y, z, w2 > 0 ? std::sqrt(w2) : 0.0f});
    }
    return err::kSuccess;
  }

  ErrorCode Translations(XanimKeys& keys) {
    uint16_t count = 0;
    // At least three u8 a key (the small form).
    if (ErrorCode e = Frames(keys, 3, count); e != err::kSuccess) return e;
    if (count == 0) return err::kSuccess;
    float v[3];
    if (count == 1) {
      if (!in_.Read(v, sizeof v)) return err::kFileTooSmall;
      keys.values.assign(v, v + 3);
      return err::kSuccess;
    }
    uint8_t small = 0;
    float least[3], range[3];
    if (!in_.Get(small) || !in_.Read(least, sizeof least) || !in_.Read(range, sizeof range)) return err::kFileTooSmall;
    const size_t part_bytes = small ? 1 : 2;
    if (size_t(count) * 3 * part_bytes > in_.left()) return err::kFileTooSmall;
    keys.values.resize(size_t(count) * 3);
    for (size_t k = 0; k < count; ++k)
      for (int i = 0; i < 3; ++i) {
        float q = 0;
        if (small) {
          uint8_t s = 0;
          in_.Get(s);
          q = s / 255.0f;
        } else {
          uint16_t s = 0;
          in_.Get(s);
          q = s / 65535.0f;
        }
        keys.values[k * 3 + size_t(i)] = least[i] + range[i] * q;
      }
    return err::kSuccess;
  }

  ByteCursor in_;
  Xanim& out_;
  int64_t size_;
  size_t keyed_ = 0;
  bool wide_frames_ = false;
};

}  // namespace

ErrorCode ReadXanim(std::span<const uint8_t> bytes, Xanim& out) {
  out = Xanim{};
  const ErrorCode e = XanimParser(bytes, out).Run();
  if (e != err::kSuccess) out = Xanim{};
  return e;
}

ErrorCode LoadXanim(const std::string& path, Xanim& out) {
  out = Xanim{};
  std::vector<uint8_t> bytes;
  const int e = platform::ReadFileBytes(path, bytes, kMaxFileBytes);
  if (e == ENOENT) return err::kFileNotFound;
  if (e == EACCES) return err::kPermission;
  if (e != 0) return err::kCantOpen;
  return ReadXanim(bytes, out);
}
