// What a batch export tells its user: the bar's label on a terminal, a
// line per model otherwise, the closing summary and the --json report.
#pragma once

#include <string>
#include <vector>

#include "cli/batch_export.h"

struct BatchCounts {
  size_t total = 0, exported = 0, failed = 0, skipped = 0;
  size_t finished() const { return exported + failed + skipped; }
  void Add(BatchStatus status) {
    exported += status == BatchStatus::kExported;
    failed += status == BatchStatus::kFailed;
    skipped += status == BatchStatus::kSkipped;
  }
};
BatchCounts CountModels(const std::vector<BatchModel>& models);

// "exported", "failed", "skipped", "not started".
const char* StatusName(BatchStatus status);

// "12/40 models, 1 failed, 2 skipped, 0:12 elapsed, about 0:30 left".
std::string BarLabel(const BatchCounts& counts, double elapsed_s);

// "[12/40] exported: PATH (1.2 s)", its path made printable.
std::string ModelLine(const BatchModel& model, size_t number, size_t total);

// The closing lines: the counts and time, then each failed model with its
// first failure line, and the models a stop left out.
std::vector<std::string> SummaryLines(const std::vector<BatchModel>& models, double elapsed_s, bool stopped);

// The whole run as one JSON object (see docs/cli.md).
std::string BatchJson(const std::vector<BatchModel>& models, double elapsed_s, bool stopped);
