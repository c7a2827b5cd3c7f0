// vantor-cli export: the model is loaded on the worker (load and surface
// steps), then, only when that worked, the chosen exports run as a second
// job on the loaded model, as the window's export buttons queue them. The
// worker's log lines go to standard error, each written file to standard
// output; non-zero exit when a step failed. Several models (paths, folders,
// --all ROOT) run as a batch (batch_export.h).
#include <signal.h>  // Required for: sigaction()

#include <atomic>
#include <chrono>
#include <iostream>
#include <sstream>
#include <thread>

#include "base/logger.h"
#include "cli/batch_export.h"
#include "cli/batch_models.h"
#include "cli/batch_report.h"
#include "cli/cli_session.h"
#include "cli/commands.h"
#include "cli/progress_line.h"
#include "cli/terminal_question.h"
#include "cli/terminal_text.h"
#include "jobs/export_formats.h"
#include "jobs/xmodel_threaded.h"
#include "platform/desktop.h"
#include "platform/fs_paths.h"
#include "platform/program_paths.h"
#include "platform/terminal.h"
#include "shell/settings.h"
#include "shell/settings_export.h"

namespace {

// "xe, obj, ..., glb or all": the words --format takes.
std::string FormatWords() {
  std::string words;
  for (const ExportFormat& f : ExportFormats()) words += std::string(f.cli_name) + ", ";
  words.replace(words.size() - 2, 2, " or all");
  return words;
}

// Ctrl-C during a batch: the running models finish, no other starts. The
// flag is all the handler touches; SA_RESETHAND makes a second Ctrl-C end
// the process at once (a file being written is then left only under its
// temporary name).
std::atomic<bool> g_stop{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler needs a lock-free flag");

void OnInterrupt(int) { g_stop.store(true); }

constexpr int kExitInterrupted = 130;  // 128 + SIGINT, as a shell reports it

int RunBatchCommand(const CliArgs& args, ProgressLine& out, BatchSettings settings, std::vector<std::string> paths) {
  if (auto j = args.Get("-j")) {
    try {
      size_t used = 0;
      settings.jobs = std::stoi(*j, &used);
      if (used != j->size() || settings.jobs < 1 || settings.jobs > 256) throw std::invalid_argument("range");
    } catch (...) {
      std::cerr << "error: -j takes a number of models from 1 to 256\n";
      return 2;
    }
  } else {
    settings.jobs = int(std::max(1u, std::thread::hardware_concurrency()));
  }
  if (paths.empty()) {
    std::cerr << "error: no models to export\n";
    return 2;
  }
  const bool json = args.Has("--json");
  std::vector<BatchModel> models(paths.size());
  for (size_t i = 0; i < paths.size(); ++i) models[i].path = std::move(paths[i]);

  TerminalQuestion question(settings.model.auto_switch);
  question.SetProgressLine(&out);
  platform::SetQuestionAnswerer(&question);
  g_stop.store(false);
  struct sigaction action = {}, previous = {};
  action.sa_handler = OnInterrupt;
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &previous);

  const auto started = std::chrono::steady_clock::now();
  auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(); };
  // Counted here as models end: a model still running belongs to its
  // runner thread.
  BatchCounts counts;
  counts.total = models.size();
  auto draw = [&] { out.Draw(float(counts.finished()) / float(counts.total), BarLabel(counts, elapsed())); };
  RunBatch(models, settings, g_stop,
           [&](size_t index) {
             // A model's lines whole, then its files and its own line.
             const BatchModel& m = models[index];
             counts.Add(m.status);
             for (const std::string& line : m.lines) out.Log(line);
             if (!json) {
               for (const std::string& written : m.written) std::cout << Printable(written) << "\n";
               std::cout << std::flush;
             }
             if (out.terminal()) draw();
             else out.Line(ModelLine(m, counts.finished(), counts.total));
           },
           [&] { draw(); });
  sigaction(SIGINT, &previous, nullptr);
  const BatchCounts final_counts = CountModels(models);
  const bool stopped = g_stop.load() && final_counts.finished() < models.size();
  for (const std::string& line : SummaryLines(models, elapsed(), stopped)) out.Line(line);
  if (json) std::cout << BatchJson(models, elapsed(), stopped) << "\n" << std::flush;
  platform::SetQuestionAnswerer(nullptr);
  if (stopped) return kExitInterrupted;
  return final_counts.failed > 0 ? 1 : 0;
}

}  // namespace

int CmdExport(const CliArgs& args) {
  if (args.Has("--anims")) return CmdExportAnims(args);
  const bool batch = args.positional.size() != 1 || args.Has("--all") || args.Has("-j") ||
                     args.Has("--skip-existing") || args.Has("--json") ||
                     (args.positional.size() == 1 && platform::FolderExists(args.positional[0]));
  if ((args.positional.empty() && !args.Has("--all")) || !args.Has("--format")) {
    std::cerr << "usage: vantor-cli export PATH|FOLDER... [--all ROOT] --format xe[,...] [--out DIR] "
                 "[--game cod4|cod5|bo] [--gdt-dir DIR] [--tags-dir DIR] [--scale F] [--lod N|all] [--sub-dir|--no-sub-dir] "
                 "[--auto-switch yes|no] [--open] [--png off|colour|all] [-j N] [--skip-existing] [--json]\n";
    return 2;
  }
  uint32_t flags = 0;
  std::stringstream list(*args.Get("--format"));
  for (std::string word; std::getline(list, word, ',');) {
    bool known = false;
    for (const ExportFormat& f : ExportFormats()) {
      if (word != f.cli_name && word != "all") continue;
      known = true;
      if (word == "all" && !f.in_all) continue;
      flags |= f.bits;
    }
    if (!known) {
      std::cerr << "error: unknown format \"" << word << "\" (" << FormatWords() << ")\n";
      return 2;
    }
  }
  if (args.Has("--sub-dir") && args.Has("--no-sub-dir")) {
    std::cerr << "error: --sub-dir and --no-sub-dir exclude each other\n";
    return 2;
  }

  ProgressLine out(platform::StderrIsTerminal());
  std::optional<CliModelOptions> options = ReadModelOptions(args);
  if (!options) return 2;
  ExportSettings exports = ExportSettingsFromSettings(Settings());
  // --out keeps the whole run under one folder: the exports, their images,
  // the GDT ("GDTs") and the tags report with its pictures ("Tags"), instead
  // of the program's folder the settings would otherwise name.
  if (auto out = args.Get("--out")) {
    exports.export_folder = *out;
    exports.export_images_local = true;  // the images too, never the game's raw/images
    exports.export_folder_GDT = *out + "/GDTs";
    exports.tags_folder = *out + "/Tags";
  }
  if (auto gdt = args.Get("--gdt-dir")) exports.export_folder_GDT = *gdt;
  if (auto tags = args.Get("--tags-dir")) exports.tags_folder = *tags;
  for (const char* flag : {"--out", "--gdt-dir", "--tags-dir"}) {
    if (auto dir = args.Get(flag); dir && dir->empty()) {
      std::cerr << "error: " << flag << " takes a folder\n";
      return 2;
    }
  }
  if (args.Has("--sub-dir")) exports.export_sub_dir = true;
  if (args.Has("--no-sub-dir")) exports.export_sub_dir = false;
  // The textures as PNG for this run: the colour maps, or every map.
  if (auto png = args.Get("--png")) {
    if (*png != "off" && *png != "colour" && *png != "all") {
      std::cerr << "error: --png takes off, colour or all\n";
      return 2;
    }
    exports.export_img_png = *png == "colour" ? 1 : *png == "all" ? 2 : 0;
  }

  if (batch) {
    std::string error;
    auto paths = CollectModels(args, error);
    if (!paths) {
      std::cerr << "error: " << error << "\n";
      return 2;
    }
    BatchSettings settings;
    settings.flags = flags;
    settings.skip_existing = args.Has("--skip-existing");
    settings.open_tags = args.Has("--open");
    settings.exports = exports;
    settings.model = *options;
    return RunBatchCommand(args, out, settings, std::move(*paths));
  }

  TerminalQuestion question(options->auto_switch);
  question.SetProgressLine(&out);
  platform::SetQuestionAnswerer(&question);
  static NoticeBoard board;  // this run's own, drawn as the bar
  static XmodelThreaded worker;
  worker.SetBoard(&board);
  worker.SetExportSettings(exports);
  if (args.Has("--open")) {
    flags |= job::kOpenTags;
    WorkerNotices notices;
    notices.open_file = [](std::string_view file) {
      if (const std::string error = platform::OpenWithDesktop(std::string(file)); !error.empty())
        Logger().warning("%s", error.c_str());
    };
    worker.SetNotices(notices);
  }
  worker.SetModelGame(options->game);
  worker.SetModelScale(options->scale);
  worker.Start(platform::RunningFolder());
  // A model that does not load writes nothing: the exports are queued only
  // once the load and surface steps have worked.
  const int32_t lod = options->lod;
  auto run = [&out, lod](const std::string& path, uint32_t bits, const char* label) {
    worker.AddJob(path, bits, {}, lod);
    BoardSnapshot view;
    while (!worker.WaitIdleFor(80)) {
      board.Drain(view);
      out.Draw(view.Progress(kWorkerProgressName), label);
    }
    std::vector<JobReport> reports = worker.TakeReports();
    bool failed = reports.empty();
    for (const JobReport& r : reports) {
      for (const std::string& written : r.written) std::cout << Printable(written) << "\n";
      failed |= r.failed();
    }
    return !failed;
  };
  bool ok = run(args.positional[0], job::kLoad | job::kSurfaces, "loading");
  if (ok) ok = run(args.positional[0], flags, "exporting");
  worker.Stop();
  platform::SetQuestionAnswerer(nullptr);
  return ok ? 0 : 1;
}
