// What the model exporters share: the load-state checks every geometry
// export makes first, the geometry check that keeps a bad index out of the
// writers, opening the output file, and the busy/progress/timing frame of
// one export run.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "export/text_out.h"
#include "platform/replace_file.h"
#include "model/xmodel.h"

// 22 when the xmodel is not loaded, 13 when its surfaces are not set up,
// 16 without a level of detail, 22 when level 0's surfaces are not read;
// then 16 when a surface's lists disagree with its counts or a triangle
// names a vertex past its surface (the readers never let one through; a
// model changed in memory could).
[[nodiscard]] ErrorCode CheckLevelZero(const Xmodel& model);

// One output file of an exporter, written beside its target and put under
// the target's name only by a Close without error (platform::ReplaceFile):
// a full disk, a failed write or a writer that never closes leaves the old
// file, or none, never a short one. The cause of a failure is kept for the
// worker's error line (platform::LastWriteFailureText).
class OutputFile {
 public:
  // Binary (the writers put the CR LF line ends in themselves). Null with
  // `code` 8 when permission is refused, 7 otherwise (a target that is a
  // folder, a FIFO or a device included).
  std::FILE* Open(const std::string& path, ErrorCode& code);
  // Flushes `out` and commits: 27, or 1 when a write, the close or the
  // rename failed.
  [[nodiscard]] ErrorCode Close(TextOut& out);
  // The same for a file written with fwrite or WriteAt.
  [[nodiscard]] ErrorCode Close();
  // Bytes at `offset` of a file not written through the stream, from any
  // thread (platform::ReplaceFile::WriteAt).
  bool WriteAt(const void* data, size_t size, uint64_t offset) { return file_.WriteAt(data, size, offset); }

 private:
  platform::ReplaceFile file_;
};

// The text of a failed export step: the code's text, and the cause when a
// file write on this thread failed since the last ClearWriteFailure.
std::string ExportErrorText(ErrorCode code);

// One export on the model: sets `busy` and the starting progress, keeps the
// clock in level 0's `export_ms`; Finish sets progress 99, clears `busy` and
// stores the elapsed whole milliseconds, on every path out.
class ExportRun {
 public:
  ExportRun(const Xmodel& model, int32_t start_progress);
  ~ExportRun();
  ExportRun(const ExportRun&) = delete;
  ExportRun& operator=(const ExportRun&) = delete;

  ErrorCode Finish(ErrorCode code);
  // progress + step, kept only while the sum stays below `limit`.
  void Step(int32_t step, int32_t limit = 100);

 private:
  const Xmodel& model_;
  int64_t started_;
  bool finished_ = false;
};
