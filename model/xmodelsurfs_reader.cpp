// The xmodelsurfs reader: the geometry of one level of detail. Per
// surface a bone table (several stored forms), the vertex records (48 bytes,
// a 4-byte tag more in Black Ops files, then the weighting data and the
// position) and the triangles. The layouts differ in two places: the Black
// Ops vertex tag (with the 48 bytes an extended tag brings) and the limit of
// 99 influence entries in COD 4 and COD 5 files.
#include <cerrno>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "base/byte_cursor.h"
#include "model/xmodel.h"
#include "platform/clock.h"
#include "platform/file_bytes.h"
#include "platform/fs_paths.h"

static_assert(offsetof(XmodelVertex, normal) == 0);
static_assert(offsetof(XmodelVertex, colour) == 12);
static_assert(offsetof(XmodelVertex, u) == 16);
static_assert(offsetof(XmodelVertex, v) == 20);
static_assert(offsetof(XmodelVertex, extra) == 24);
static_assert(offsetof(XmodelVertex, position) == 48, "the first 48 bytes are the file's");
static_assert(sizeof(InfluenceEntry) == 4);

namespace {

constexpr size_t kVertexHead = 48;
constexpr size_t kBlackOpsVertexTag = 4;
// Every Black Ops vertex carries the tag 00 0C D6 46 after its 48 bytes,
// except those of some surfaces of the stock files, tagged 00 0A D6 46, whose
// record holds 48 bytes more before the weighting data: ten floats holding
// the indices of the surface's triangles that use the vertex (zero padded),
// a float count of them, and the sum of those triangles' doubled areas. They
// are skipped; no export takes them.
constexpr uint8_t kExtendedVertexTag[kBlackOpsVertexTag] = {0x00, 0x0A, 0xD6, 0x46};
constexpr size_t kExtendedVertexBytes = 48;
constexpr int kMaxCodInfluences = 99;
constexpr uintptr_t kPrefetchAhead = 1024;
// The smallest surface record: 3 bytes, V, T and a 4-byte bone table.
constexpr size_t kMinSurfaceBytes = 3 + 2 + 2 + 4;

}  // namespace

ErrorCode Xmodel::SetupSurfaces() {
  if (!platform::FolderExists(raw_dir + "xmodelsurfs")) return err::kNoSurfsFolder;
  if (lod_count == 0) return err::kNoLods;
  for (int i = 0; i < lod_count && size_t(i) < lods.size() && size_t(i) < lod_names.size(); ++i) {
    XmodelLod& lod = lods[size_t(i)];
    lod.surf_name = lod_names[size_t(i)];
    lod.surf_path = raw_dir + "xmodelsurfs/" + lod.surf_name;
    lod.surfaces_loaded = false;
    lod.surf_file_exists = platform::FileExists(lod.surf_path);
  }
  surfaces_set_up = true;
  return err::kSuccess;
}

ErrorCode Xmodel::LoadSurface() {
  const ErrorCode result = ReadShownLevel();
  // A level that was set up names its file; before that no file is at fault.
  failed_file = result == err::kSuccess || lods.empty() || ShownLod().surf_path.empty()
                    ? std::string()
                    : FromGameRoot(ShownLod().surf_path);
  return result;
}

ErrorCode Xmodel::ReadShownLevel() {
  if (!xmodel_loaded) return err::kNotLoaded;
  if (!surfaces_set_up) return err::kSurfacesNotSetUp;
  if (lods.empty()) return err::kOutOfRange;
  XmodelLod& lod = ShownLod();
  if (lod.surfaces_loaded) return err::kAlreadyLoaded;
  if (!lod.surf_file_exists) return err::kCantOpen;

  busy = true;
  progress = 1;
  platform::LoadedFile bytes;
  int e = bytes.Open(lod.surf_path);
  // The model scale goes on the positions as they are read, while they are
  // in the cache, rather than in a second pass over every vertex; the bones
  // follow once the surfaces are in, as ApplyScale would have it.
  ErrorCode result = e == 0 ? ReadSurfaces(lod, {bytes.data(), bytes.size()}, scale,
                                           [&bytes](size_t done) { bytes.Release(done); })
                            : (e == EACCES ? err::kPermission : err::kCantOpen);
  // A failed read keeps the surfaces read before the fault, unscaled (the
  // scale goes on a loaded level only): read them again as they stand, from
  // the file again since the first read gave its bytes back as it went.
  if (e == 0 && result != err::kSuccess && scale != 1.0f) {
    e = bytes.Open(lod.surf_path);
    if (e == 0) result = ReadSurfaces(lod, {bytes.data(), bytes.size()}, 1.0f, {});
  }
  if (result == err::kSuccess) ScaleBones();
  progress = 99;
  busy = false;
  return result;
}

namespace {

// A vertex has one to four entries in nearly every file: fixed-size copies
// for those, since a copy of a variable few bytes is a slow string move.
inline void CopyEntries(InfluenceEntry* dst, const uint8_t* src, size_t count) {
  switch (count) {
    case 1: std::memcpy(dst, src, 1 * sizeof(InfluenceEntry)); break;
    case 2: std::memcpy(dst, src, 2 * sizeof(InfluenceEntry)); break;
    case 3: std::memcpy(dst, src, 3 * sizeof(InfluenceEntry)); break;
    case 4: std::memcpy(dst, src, 4 * sizeof(InfluenceEntry)); break;
    default: std::memcpy(dst, src, count * sizeof(InfluenceEntry)); break;
  }
}

// Reads the bone table of one surface; sets `weighted`.
ErrorCode ReadBoneTable(ByteCursor& file, XmodelSurface& s) {
  SurfaceBoneEntry first;
  if (!file.Get(first.vertex_count) || !file.Get(first.bone)) return err::kOutOfRange;
  s.bone_table.push_back(first);
  if (first.vertex_count == 0) {
    // Weighted in every game: the stock COD 4 and COD 5 files lay out
    // (0, 0) tables weighted too; read as rigid, every record after them
    // is misplaced.
    s.weighted = true;
    return err::kSuccess;
  }
  uint16_t c = 0;
  if (!file.Get(c)) return err::kOutOfRange;
  if (c == 0) {
    if (int16_t(first.vertex_count) < s.vertex_count) {
      s.weighted = true;
      if (!file.Skip(2)) return err::kOutOfRange;
    } else {
      s.weighted = false;
    }
    return err::kSuccess;
  }
  s.weighted = true;
  file.Back(2);
  for (;;) {
    SurfaceBoneEntry e;
    if (!file.Get(e.vertex_count) || !file.Get(e.bone)) return err::kOutOfRange;
    if (e.vertex_count == 0) break;
    s.bone_table.push_back(e);
  }
  return err::kSuccess;
}

}  // namespace

ErrorCode Xmodel::ReadSurfaceBytes(XmodelLod& lod, std::span<const uint8_t> bytes) {
  return ReadSurfaces(lod, bytes, 1.0f, {});
}

ErrorCode Xmodel::ReadSurfaces(XmodelLod& lod, std::span<const uint8_t> bytes,
                               float position_scale, const std::function<void(size_t)>& consumed) {
  busy = true;
  progress = 1;
  ErrorCode result = err::kSuccess;
  int64_t started = platform::NowMs();
  ByteCursor file(bytes);
  const GameVersion rules = layout;
  const size_t bone_limit = bones.size();

  auto fail = [&](ErrorCode code) {
    // Keep the surfaces read completely; drop the one that failed half-way.
    if (!lod.surfaces.empty()) lod.surfaces.pop_back();
    lod.surface_count = int16_t(lod.surfaces.size());
    result = code;
  };

  uint16_t file_version = 0;
  int16_t n = 0;
  if (!IsValidGame(rules)) {
    result = err::kInvalidVersion;
  } else if (!file.Get(file_version) || !file.Get(n) || n < 0) {
    result = err::kOutOfRange;
  } else if (size_t(n) * kMinSurfaceBytes > file.left() || size_t(n) > lod.materials.size()) {
    // Every surface needs a material name, and no count may promise more
    // records than the file can hold.
    result = err::kOutOfRange;
  } else {
    lod.surfaces.clear();
    lod.surfaces.reserve(size_t(n));
    lod.surface_count = n;
    const int step = n == 0 ? 0 : (rules == BO ? 100 : 99) / n;
    const bool tagged = rules == BO;
    const size_t head = kVertexHead + (tagged ? kBlackOpsVertexTag : 0);
    const bool scaled = position_scale != 1.0f;

    for (int si = 0; si < n && result == err::kSuccess; ++si) {
      XmodelSurface& s = lod.surfaces.emplace_back();
      if (!file.Skip(3) || !file.Get(s.vertex_count) || !file.Get(s.triangle_count) ||
          s.vertex_count <= 0 || s.triangle_count <= 0) {
        fail(err::kOutOfRange);
        break;
      }
      if (ErrorCode bt = ReadBoneTable(file, s); bt != err::kSuccess) {
        fail(bt);
        break;
      }
      // Entries with a vertex count bind vertices to their bone, and so does
      // the first entry of a rigid surface. The first entry of a weighted
      // table whose count is 0 holds some other number, not a bone.
      for (const SurfaceBoneEntry& e : s.bone_table)
        if ((e.vertex_count != 0 || !s.weighted) && e.bone >= bone_limit &&
            !(e.bone == 0 && bone_limit == 0)) {
          fail(err::kOutOfRange);
          break;
        }
      if (result != err::kSuccess) break;

      const size_t vcount = size_t(s.vertex_count);
      const size_t min_vertex = head + 12 + (s.weighted ? 3 : 0);
      if (vcount * min_vertex + size_t(s.triangle_count) * 6 > file.left()) {
        fail(err::kOutOfRange);
        break;
      }
      s.vertices.resize(vcount);
      s.influences.resize(vcount);

      // The hot loop reads through a raw pointer; every read is checked
      // against `end` first. The influence pool is sized for the common
      // case up front and grown only when a vertex needs more.
      const uint8_t* p = file.here();
      const uint8_t* const end = p + file.left();
      const size_t fixed = head + 12 + (s.weighted ? 3 : 0);
      size_t pool_used = 0;
      if (s.weighted) s.influence_pool.resize(vcount * 4);
      for (size_t vi = 0; vi < vcount; ++vi) {
        XmodelVertex& v = s.vertices[vi];
        // Pages of a large buffer are scattered in memory, and the hardware
        // stops following a stream at each page's end: ask ahead.
        __builtin_prefetch(reinterpret_cast<const void*>(uintptr_t(p) + kPrefetchAhead));
        VertexInfluences& inf = s.influences[vi];
        if (size_t(end - p) < fixed) {
          fail(err::kOutOfRange);
          break;
        }
        std::memcpy(static_cast<void*>(&v), p, kVertexHead);
        p += head;
        if (tagged && std::memcmp(p - kBlackOpsVertexTag, kExtendedVertexTag, kBlackOpsVertexTag) == 0) {
          if (size_t(end - p) < kExtendedVertexBytes + (fixed - head)) {
            fail(err::kOutOfRange);
            break;
          }
          p += kExtendedVertexBytes;
        }
        // The records are fresh memory: every field is set here.
        inf = VertexInfluences{};
        if (s.weighted) {
          inf.extra_count = p[0];
          std::memcpy(&inf.primary_bone, p + 1, 2);
          p += 3;
          if (inf.primary_bone < 0 || size_t(inf.primary_bone) >= bone_limit) {
            fail(err::kOutOfRange);
            break;
          }
        }
        std::memcpy(v.position, p, 12);
        p += 12;
        if (scaled)
          for (float& c : v.position) c *= position_scale;
        v.v = 1.0f - v.v;
        if (s.weighted && inf.extra_count >= 1 &&
            (rules == BO || inf.extra_count <= kMaxCodInfluences)) {
          const size_t count = inf.extra_count;
          if (count * sizeof(InfluenceEntry) > size_t(end - p)) {
            fail(err::kOutOfRange);
            break;
          }
          if (pool_used + count > s.influence_pool.size())
            s.influence_pool.resize(std::max(s.influence_pool.size() * 2, pool_used + count));
          InfluenceEntry* dst = s.influence_pool.data() + pool_used;
          CopyEntries(dst, p, count);
          p += count * sizeof(InfluenceEntry);
          bool bad = false;
          for (size_t k = 0; k < count; ++k)
            bad |= dst[k].bone < 0 || size_t(dst[k].bone) >= bone_limit;
          if (bad) {
            fail(err::kOutOfRange);
            break;
          }
          inf.first_entry = uint32_t(pool_used);
          inf.entry_count = uint16_t(count);
          pool_used += count;
        }
      }
      s.influence_pool.resize(pool_used);
      file.Skip(size_t(p - file.here()));
      if (result != err::kSuccess) break;

      s.triangles.resize(size_t(s.triangle_count) * 3);
      if (!file.Read(s.triangles.data(), s.triangles.size() * sizeof(uint16_t))) {
        fail(err::kOutOfRange);
        break;
      }
      for (uint16_t index : s.triangles)
        if (index >= vcount) {
          fail(err::kOutOfRange);
          break;
        }
      if (result != err::kSuccess) break;
      if (consumed) consumed(file.pos());
      if (progress + step < 100) progress += step;
    }
  }

  lod.surf_load_ms = int32_t((platform::NowMs() - started) * 1000 / 1000);
  if (result == err::kSuccess) lod.surfaces_loaded = true;
  consumed_bytes = file.pos();
  progress = 99;
  busy = false;
  return result;
}
