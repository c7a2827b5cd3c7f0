// Shared exporter frame (see export_common.h).
#include "export/export_common.h"

#include <cerrno>

#include "platform/clock.h"

ErrorCode CheckLevelZero(const Xmodel& model) {
  if (!model.xmodel_loaded) return err::kNotLoaded;
  if (!model.surfaces_set_up) return err::kSurfacesNotSetUp;
  if (model.lods.empty()) return err::kOutOfRange;
  const XmodelLod& lod = model.ShownLod();
  if (!lod.surfaces_loaded) return err::kNotLoaded;
  for (const XmodelSurface& s : lod.surfaces) {
    const size_t vertices = s.vertices.size();
    if (s.vertex_count < 0 || size_t(s.vertex_count) != vertices || s.triangle_count < 0 ||
        s.triangles.size() != size_t(s.triangle_count) * 3 || s.influences.size() != vertices)
      return err::kOutOfRange;
    for (uint16_t index : s.triangles)
      if (index >= vertices) return err::kOutOfRange;
    for (const VertexInfluences& inf : s.influences)
      if (size_t(inf.first_entry) + inf.entry_count > s.influence_pool.size()) return err::kOutOfRange;
  }
  return err::kSuccess;
}

std::FILE* OutputFile::Open(const std::string& path, ErrorCode& code) {
  const int rc = file_.Open(path);
  code = rc == 0 ? err::kSuccess : rc == EACCES || rc == EPERM || rc == EROFS ? err::kPermission : err::kCantOpen;
  return file_.stream();
}

ErrorCode OutputFile::Close(TextOut& out) {
  // The buffer's own write failure shows in the stream's error state, which
  // Commit checks.
  (void)out.Flush();
  return Close();
}

ErrorCode OutputFile::Close() { return file_.Commit() == 0 ? err::kSuccess : err::kUnknown; }

std::string ExportErrorText(ErrorCode code) {
  std::string text = ErrorText(code);
  if (code == err::kUnknown || code == err::kCantOpen || code == err::kPermission) {
    std::string cause = platform::LastWriteFailureText();
    if (!cause.empty()) text += ": " + cause;
  }
  return text;
}

ExportRun::ExportRun(const Xmodel& model, int32_t start_progress) : model_(model), started_(platform::NowMs()) {
  model_.busy = true;
  model_.progress = start_progress;
  if (!model_.lods.empty()) model_.ShownLod().export_ms = int32_t(started_);
}

ExportRun::~ExportRun() {
  if (!finished_) Finish(err::kSuccess);
}

ErrorCode ExportRun::Finish(ErrorCode code) {
  finished_ = true;
  model_.progress = 99;
  model_.busy = false;
  if (!model_.lods.empty()) model_.ShownLod().export_ms = int32_t((platform::NowMs() - started_) * 1000 / 1000);
  return code;
}

void ExportRun::Step(int32_t step, int32_t limit) {
  if (model_.progress + step < limit) model_.progress += step;
}
