// The model's own readers do the work, stopped after the headers: the
// xmodel reader (its game check decides COD 4 or COD 5 by which layout
// names an existing surfs file, without a question) and the parts file's
// first six bytes, the two bone counts.
#include "model/model_facts.h"

#include <sys/stat.h>  // Required for: struct stat

#include <cerrno>

#include "base/byte_cursor.h"
#include "platform/file_bytes.h"
#include "platform/fs_paths.h"

namespace {

// Version, non-root bones, root bones.
constexpr size_t kPartsHeadBytes = 6;

ErrorCode ReadBoneCount(const std::string& path, int32_t& bones) {
  const std::optional<std::string> found = platform::ResolveExisting(path);
  if (!found) return err::kFileNotFound;
  struct stat st {};
  int error = 0;
  const int fd = platform::OpenRegularFile(found->c_str(), st, error);
  if (fd < 0) return error == EACCES ? err::kPermission : err::kCantOpen;
  uint8_t head[kPartsHeadBytes] = {};
  bool failed = false;
  const size_t got = platform::ReadAt(fd, 0, head, sizeof head, failed);
  platform::CloseFile(fd);
  if (failed) return err::kCantOpen;
  ByteCursor file({head, got});
  uint16_t version = 0;
  int16_t b = 0, r = 0;
  if (!file.Get(version) || !file.Get(b) || !file.Get(r) || b < 0 || r < 0) return err::kOutOfRange;
  bones = int32_t(b) + int32_t(r);
  return err::kSuccess;
}

void Prepare(Xmodel& model, const std::string& raw_dir, const std::string& name) {
  model.path_valid = true;
  model.name = name;
  model.path = raw_dir + "xmodel/" + name;
  model.raw_dir = raw_dir;
  model.game = Cod4;
  model.switch_unasked = true;
}

// Level 0's vertices, from its surfs file, of a model whose xmodel is read;
// verts stays -1 when the surfs file cannot be read.
void CountVerts(Xmodel& model, ModelFacts& facts) {
  if (model.SetupSurfaces() != err::kSuccess || model.LoadSurface() != err::kSuccess) return;
  int64_t verts = 0;
  for (const XmodelSurface& s : model.ShownLod().surfaces) verts += s.vertex_count;
  facts.verts = verts;
}

}  // namespace

ModelFacts ReadModelFacts(const std::string& raw_dir, const std::string& name, bool with_verts) {
  ModelFacts facts;
  Xmodel model;
  Prepare(model, raw_dir, name);
  std::vector<uint8_t> bytes;
  const int e = platform::ReadFileBytes(model.path, bytes, uint64_t(1) << 24);
  if (e != 0) {
    facts.result = e == EACCES ? err::kPermission : err::kCantOpen;
    return facts;
  }
  facts.result = model.LoadXmodelBytes(bytes);
  if (!facts.read()) return facts;
  facts.game = model.layout;
  facts.lods = model.lod_count;
  facts.materials = model.material_library.names;
  facts.parts_name = model.lod_names.empty() ? std::string() : model.lod_names[0];
  if (facts.parts_name.empty()) {
    facts.result = err::kNoLods;
    return facts;
  }
  facts.result = ReadBoneCount(raw_dir + "xmodelparts/" + facts.parts_name, facts.bones);
  if (facts.read() && with_verts) CountVerts(model, facts);  // the xmodel already read
  return facts;
}
