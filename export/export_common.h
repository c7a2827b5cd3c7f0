// What the model exporters share: the load-state checks every geometry
// export makes first, the geometry check that keeps a bad index out of the
// writers, opening the output file, and the busy/progress/timing frame of
// one export run.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "export/text_out.h"
#include "model/xmodel.h"

// 22 when the xmodel is not loaded, 13 when its surfaces are not set up,
// 16 without a level of detail, 22 when level 0's surfaces are not read;
// then 16 when a surface's lists disagree with its counts or a triangle
// names a vertex past its surface (the readers never let one through; a
// model changed in memory could).
[[nodiscard]] ErrorCode CheckLevelZero(const Xmodel& model);

// Opens `path` for writing in binary (the writers put the CR LF line ends in
// themselves). Null with `code` 8 when permission is refused, 7 otherwise.
std::FILE* OpenOutput(const std::string& path, ErrorCode& code);

// Flushes `out` and closes `file`: 27, or 1 when a write or the close failed.
[[nodiscard]] ErrorCode CloseOutput(std::FILE* file, TextOut& out);

// One export on the model: sets `busy` and the starting progress, keeps the
// clock in level 0's `export_ms`; Finish sets progress 99, clears `busy` and
// stores the elapsed whole milliseconds, on every path out.
class ExportRun {
 public:
  ExportRun(Xmodel& model, int32_t start_progress);
  ~ExportRun();
  ExportRun(const ExportRun&) = delete;
  ExportRun& operator=(const ExportRun&) = delete;

  ErrorCode Finish(ErrorCode code);
  // progress + step, kept only while the sum stays below `limit`.
  void Step(int32_t step, int32_t limit = 100);

 private:
  Xmodel& model_;
  int64_t started_;
  bool finished_ = false;
};
