// Many models in one `export` command: up to `jobs` models at once, each on
// a worker of its own (XmodelThreaded) with the same two jobs a single
// export queues, so every model gets the same steps and log lines. A
// model's log lines are kept together and handed over whole when it ends,
// so the lines of models running side by side never mix.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/export_settings.h"
#include "cli/cli_session.h"

enum class BatchStatus { kNotStarted, kExported, kFailed, kSkipped };

struct BatchModel {
  std::string path;
  BatchStatus status = BatchStatus::kNotStarted;
  std::string name;                  // the model's name once it loaded
  std::vector<std::string> lines;    // its log lines, colour codes kept
  std::vector<std::string> written;  // files its exports wrote
  std::string error;                 // the first failure line, plain text
  double seconds = 0;
};

struct BatchSettings {
  uint32_t flags = 0;          // the export steps (job bits)
  bool skip_existing = false;  // leave a model whose outputs are current
  bool open_tags = false;
  int jobs = 1;
  ExportSettings exports;
  CliModelOptions model;
};

// Runs every model of `models` unless `stop` is set before it starts (the
// running ones finish). `finished(index)` is called on the calling thread
// for each model as it ends, in the order they end; `tick()` about every
// 100 ms while models run.
void RunBatch(std::vector<BatchModel>& models, const BatchSettings& settings, const std::atomic<bool>& stop,
              const std::function<void(size_t index)>& finished, const std::function<void()>& tick);

// One model on a worker of its own, on the calling thread: load and
// surfaces, then (when they worked) the export steps; with skip_existing
// the surfaces are read only when an output is missing or older than a
// source.
void RunBatchModel(BatchModel& model, const BatchSettings& settings);
