// The worker thread: the job queue, the fixed step order and each step's
// log lines, the bounds refresh and the export destinations.
#include "export/model_exports.h"
#include "jobs/xmodel_threaded.h"

#include <chrono>
#include <filesystem>  // Required for: absolute()

#include "base/logger.h"
#include "export/export_common.h"
#include "export/tags_report.h"
#include "export/texture_export.h"
#include "jobs/image_convert.h"
#include "jobs/model_rows.h"
#include "model/texture_pick.h"
#include "platform/path_names.h"
#include "platform/replace_file.h"

namespace {

// The steps in the order a job runs them (the tags opener rides on 0x04).
constexpr uint32_t kStepOrder[] = {
    job::kLoad,         job::kSurfaces,  job::kTextures,   job::kExportMA,
    job::kExportOBJ,    job::kExportXE,  job::kExportGLTF, job::kExportGLB,
    job::kDumpTags,     job::kStaticTagFiles,
    job::kDumpGDT,      job::kUnload,    job::kMoveImages, job::kExportIWI,
    job::kExportTGA,
};

namespace fs = std::filesystem;

constexpr const char* kRunningDirectory = "Running Directory";

// A written file as the user finds it: absolute, without "." or "..".
std::string FullPath(const std::string& path) {
  std::error_code ec;
  const fs::path full = fs::absolute(path, ec);
  return ec ? path : full.lexically_normal().string();
}

double LodMs(const Xmodel& m, bool surface) {
  if (m.lods.empty()) return 0.0;
  return double(surface ? m.ShownLod().surf_load_ms : m.ShownLod().export_ms);
}

}  // namespace

bool JobReport::failed() const {
  for (const StepResult& s : steps)
    if (s.code != err::kSuccess) return true;
  return false;
}

XmodelThreaded::~XmodelThreaded() {
  Stop();
  if (thread_.joinable()) thread_.join();
  model.progress.SetSink(nullptr, nullptr);
  model.Reset();
}

void XmodelThreaded::Start(std::string program_dir) {
  std::lock_guard<std::mutex> guard(queue_lock_);
  if (started_) return;
  running_dir = std::move(program_dir);
  started_ = true;
  // The bar follows the model's progress within a step too.
  model.progress.SetSink([](void* self, int32_t) { static_cast<XmodelThreaded*>(self)->PublishProgress(); }, this);
  thread_ = std::thread([this] { Run(); });
}

void XmodelThreaded::AddJob(std::string path, uint32_t flags, ImageRef image, int32_t lod) {
  {
    std::lock_guard<std::mutex> guard(queue_lock_);
    if (flags & job::kLoad) model_path_ = path;
    queue_.push_back(Job{std::move(path), flags, image, lod, {}});
  }
  queue_signal_.notify_all();
}

void XmodelThreaded::RunOnModel(std::function<void(const Xmodel& model)> visit) {
  {
    std::lock_guard<std::mutex> guard(queue_lock_);
    queue_.push_back(Job{{}, 0, {}, kKeepLod, std::move(visit)});
  }
  queue_signal_.notify_all();
}

std::string XmodelThreaded::ModelPath() {
  std::lock_guard<std::mutex> guard(queue_lock_);
  return model_path_;
}

void XmodelThreaded::Stop() {
  std::unique_lock<std::mutex> guard(queue_lock_);
  if (stopped_ || !started_) return;
  stop_requested_ = true;
  queue_signal_.notify_all();
  finished_signal_.wait_for(guard, std::chrono::seconds(1), [this] { return finished_; });
  stopped_ = true;
  guard.unlock();
  if (finished_ && thread_.joinable()) thread_.join();
  Logger().log("Xmodel thread Stopped");
}

void XmodelThreaded::SetExportSettings(const ExportSettings& settings) {
  std::lock_guard<std::mutex> guard(queue_lock_);
  settings_ = settings;
}

void XmodelThreaded::SetModelGame(GameVersion game) {
  std::lock_guard<std::mutex> guard(queue_lock_);
  pending_game_ = game;
  game_pending_ = true;
}

void XmodelThreaded::SetModelScale(float scale) {
  std::lock_guard<std::mutex> guard(queue_lock_);
  pending_scale_ = scale;
  scale_pending_ = true;
}

void XmodelThreaded::SetGl(WorkerGl* gl) {
  std::lock_guard<std::mutex> guard(queue_lock_);
  gl_ = gl;
}

void XmodelThreaded::SetNotices(WorkerNotices notices) {
  std::lock_guard<std::mutex> guard(queue_lock_);
  notices_ = std::move(notices);
}

void XmodelThreaded::SetBoard(NoticeBoard* board) {
  std::lock_guard<std::mutex> guard(queue_lock_);
  board_ = board ? board : &Board();
}

void XmodelThreaded::PublishProgress() {
  NoticeBoard* board;
  {
    std::lock_guard<std::mutex> guard(queue_lock_);
    board = board_;
  }
  board->SetProgress(kWorkerProgressName, float(model.progress.load(std::memory_order_relaxed)) / 99.0f);
}

void XmodelThreaded::WaitIdle() {
  std::unique_lock<std::mutex> guard(queue_lock_);
  idle_signal_.wait(guard, [this] { return (queue_.empty() && !working_) || finished_; });
}

bool XmodelThreaded::WaitIdleFor(int ms) {
  std::unique_lock<std::mutex> guard(queue_lock_);
  return idle_signal_.wait_for(guard, std::chrono::milliseconds(ms),
                               [this] { return (queue_.empty() && !working_) || finished_; });
}

bool XmodelThreaded::Idle() {
  std::lock_guard<std::mutex> guard(queue_lock_);
  return queue_.empty() && !working_;
}

ModelBounds XmodelThreaded::ShownBounds() const {
  std::lock_guard<std::mutex> guard(box_lock);
  return bounds;
}

bool XmodelThreaded::HasModel() {
  if (!Idle()) return true;
  std::lock_guard<std::mutex> guard(box_lock);
  return model_ready;
}

std::vector<JobReport> XmodelThreaded::TakeReports() {
  std::lock_guard<std::mutex> guard(queue_lock_);
  std::vector<JobReport> out;
  out.swap(reports_);
  return out;
}

void XmodelThreaded::SetThreadSink(QorLogger::Sink sink) {
  std::lock_guard<std::mutex> guard(queue_lock_);
  thread_sink_ = std::move(sink);
}

void XmodelThreaded::Run() {
  QorLogger::Sink sink;
  {
    std::lock_guard<std::mutex> guard(queue_lock_);
    sink = thread_sink_;
  }
  if (sink) QorLogger::set_thread_sink(&sink);
  for (;;) {
    std::vector<Job> batch;
    {
      std::unique_lock<std::mutex> guard(queue_lock_);
      if (queue_.empty() && !stop_requested_) queue_signal_.wait(guard);
      if (stop_requested_) break;
      batch.swap(queue_);
      if (batch.empty()) continue;  // a wake-up without a job
      working_ = true;
    }
    for (const Job& j : batch) {
      if (j.visit) {
        std::lock_guard<std::mutex> hold(lock);
        j.visit(model);
        continue;
      }
      JobReport report;
      report.path = j.path;
      report.flags = j.flags;
      RunJob(j, report);
      std::lock_guard<std::mutex> guard(queue_lock_);
      reports_.push_back(std::move(report));
    }
    {
      std::lock_guard<std::mutex> guard(queue_lock_);
      working_ = false;
    }
    idle_signal_.notify_all();
  }
  std::lock_guard<std::mutex> guard(queue_lock_);
  finished_ = true;
  working_ = false;
  finished_signal_.notify_all();
  idle_signal_.notify_all();
}

void XmodelThreaded::RunJob(const Job& j, JobReport& report) {
  ExportSettings settings;
  NoticeBoard* board;
  {
    std::lock_guard<std::mutex> guard(queue_lock_);
    settings = settings_;
    board = board_;
    if (game_pending_) model.game = pending_game_;
    if (scale_pending_) model.scale = pending_scale_;
    game_pending_ = scale_pending_ = false;
  }
  last_result = err::kSuccess;
  auto record = [&](uint32_t bit, ErrorCode code) {
    last_result = code;
    report.steps.push_back({bit, code});
  };
  // A model that does not open is said in the error box as well as the
  // log, with the file to blame.
  auto failed = [&](const char* step, ErrorCode code) {
    const std::string text = model.FailureText(code);
    Logger().log_to_panel("^1%s^7:: %s", step, text.c_str());
    board->ShowError(text);
  };

  const uint32_t flags = JobSteps(j.flags, settings);

  for (uint32_t bit : kStepOrder) {
    if (bit == job::kTextures) RefreshBounds();  // every job, after the surface step
    if (!(flags & bit)) continue;
    switch (bit) {
      case job::kLoad: {
        {
          std::lock_guard<std::mutex> guard(box_lock);
          model_ready = false;
        }
        ErrorCode code = model.LoadxmodelFull(j.path);
        record(bit, code);
        if (code != err::kSuccess)
          failed("LoadxmodelFull", code);
        else
          Logger().log("^2Loaded Xmodel^7: %s (%.1f ms)", model.name.c_str(), model.load_time_ms);
        break;
      }
      case job::kSurfaces: {
        if (last_result != err::kSuccess) break;
        ErrorCode code = SurfaceStep(j.lod);
        record(bit, code);
        if (code != err::kSuccess) failed("LoadSurface", code);
        break;
      }
      case job::kTextures:
        TextureStep(settings);
        PublishRows();
        break;
      case job::kUnload: {
        {
          std::lock_guard<std::mutex> guard(box_lock);
          model_ready = false;
          model.Reset();
        }
        PublishRows();
        break;
      }
      default:
        platform::ClearWriteFailure();  // the error line names only this step's cause
        record(bit, ExportStep(bit, settings, j, report));
        break;
    }
    PublishProgress();
  }
  if (flags & job::kLoad) {
    std::lock_guard<std::mutex> guard(box_lock);
    if (model_ready) ++model_loads;
  }
}

// Reads the level the job names (every level with kEveryLod, which then
// shows level 0 again); a level read before is not read again.
ErrorCode XmodelThreaded::SurfaceStep(int32_t lod) {
  auto read = [this] {
    if (model.surfaces_set_up && !model.lods.empty() && model.ShownLod().surfaces_loaded) return err::kSuccess;
    const ErrorCode code = model.LoadSurface();
    if (code == err::kSuccess)
      Logger().log("^2Loaded Surface^7: %d, %.1f ms", int(model.ShownIndex()), LodMs(model, true));
    return code;
  };
  if (lod == kKeepLod) return read();
  if (lod == kEveryLod) {
    ErrorCode code = err::kSuccess;
    for (int32_t i = 0; i < int32_t(model.lods.size()) && code == err::kSuccess; ++i) {
      model.ShowLod(i);
      code = read();
    }
    if (code == err::kSuccess) model.ShowLod(0);
    return code;
  }
  if (lod == kNextLod && !model.lods.empty()) lod = int32_t((model.ShownIndex() + 1) % model.lods.size());
  if (!model.ShowLod(lod)) return err::kOutOfRange;
  return read();
}

void XmodelThreaded::PublishRows() {
  NoticeBoard* board;
  {
    std::lock_guard<std::mutex> guard(queue_lock_);
    board = board_;
  }
  board->SetRows(kPropertyRowsName, PropertyRows(model));
  board->SetRows(kTagRowsName, TagRows(model));
  board->SetText(kLodTextName, model.xmodel_loaded && !model.lods.empty()
                                   ? "LOD " + std::to_string(model.ShownIndex()) + " of " +
                                         std::to_string(model.lods.size())
                                   : std::string());
}

void XmodelThreaded::RefreshBounds() {
  ModelBounds b = ComputeBounds(model);
  std::lock_guard<std::mutex> guard(box_lock);
  bounds = b;
}

void XmodelThreaded::TextureStep(const ExportSettings& settings) {
  WorkerGl* gl;
  {
    std::lock_guard<std::mutex> guard(queue_lock_);
    gl = gl_;
  }
  // Without a lock: the materials' textures, one line a material.
  if (settings.load_model_textures) PickTextures(model);
  if (!gl) {
    if (last_result == err::kSuccess) {
      std::lock_guard<std::mutex> guard(box_lock);
      model_ready = model.xmodel_loaded;
    }
    return;
  }
  std::lock_guard<std::mutex> hold(lock);
  std::lock_guard<std::mutex> hold_gl(gl_lock);
  bool current = false;
  for (int attempt = 0; attempt < 5 && !current; ++attempt) {
    current = gl->MakeCurrent();
    if (!current) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (!current) Logger().log("Failed To Set OpenGL Contex");
  gl->DeleteModelObjects();
  gl->RebuildTrees(model);
  if (last_result == err::kSuccess) gl->BuildModelData(model);
  gl->ReleaseCurrent();
  if (last_result == err::kSuccess) {
    std::lock_guard<std::mutex> guard(box_lock);
    model_ready = model.xmodel_loaded;
  }
}

std::string XmodelThreaded::ExportDestination(const ExportSettings& settings) const {
  std::string folder = settings.export_folder == kRunningDirectory ? running_dir + "/exported"
                                                                   : settings.export_folder;
  if (settings.export_sub_dir) folder += "/" + model.name;
  return folder;
}

OutputFolders XmodelThreaded::FoldersFor(const ExportSettings& settings) const {
  OutputFolders f;
  f.exports = ExportDestination(settings);
  // The tags report and its pictures: beside the program unless
  // "export_tags_local" puts them in the export folder.
  f.tags = !settings.tags_folder.empty() ? settings.tags_folder
                                         : (settings.export_tags_local ? f.exports : running_dir) + "/Tags";
  f.gdt = settings.export_folder_GDT == kRunningDirectory || settings.export_folder_GDT.empty()
              ? running_dir + "/GDTs"
              : settings.export_folder_GDT;
  return f;
}

ErrorCode XmodelThreaded::ExportStep(uint32_t bit, const ExportSettings& settings, const Job& job, JobReport& report) {
  WorkerNotices notices;
  NoticeBoard* board;
  {
    std::lock_guard<std::mutex> guard(queue_lock_);
    notices = notices_;
    board = board_;
  }
  // The sub-folder is named by the model's file name: it must stay one
  // folder below the export folder.
  if (settings.export_sub_dir && model.xmodel_loaded && !platform::IsSafeOutputName(model.name) &&
      bit != job::kStaticTagFiles) {
    Logger().log_to_panel("^1Export^7:: %s (^4%s^7)", ErrorText(err::kInvalidPath).c_str(), model.name.c_str());
    return err::kInvalidPath;
  }
  const OutputFolders folders = FoldersFor(settings);
  const std::string& folder = folders.exports;
  const std::string& tags_folder = folders.tags;
  // The notice names the files this step wrote, by their full paths, and
  // offers the folder they went to.
  const size_t first_written = report.written.size();
  auto exported = [&](const char* title) {
    std::string text = "Exported: '" + model.name + "' to ";
    for (size_t i = first_written; i < report.written.size(); ++i) {
      if (i > first_written) text += ", ";
      text += '\'';
      text += FullPath(report.written[i]);
      text += '\'';
    }
    board->PlaySound("export_done");
    board->PostMessage({AppMessageKind::kBalloon, text, title, FullPath(folder)});
  };

  if (const ExportFormat* format = FormatWritingStep(bit)) {
    // Every level asked for: each writes its own files, named after it.
    ErrorCode code = err::kSuccess;
    const int32_t levels = job.lod == kEveryLod ? int32_t(model.lods.size()) : 1;
    for (int32_t i = 0; i < levels && code == err::kSuccess; ++i) {
      if (job.lod == kEveryLod) model.ShowLod(i);
      code = format->write(model, folder, settings, &report.written);
    }
    if (job.lod == kEveryLod) model.ShowLod(0);
    if (code != err::kSuccess) {
      Logger().log_to_panel(format->failed_line, ExportErrorText(code).c_str());
      return code;
    }
    Logger().log(format->done_line, LodMs(model, false));
    exported(format->notice);
    return code;
  }
  switch (bit) {
    case job::kDumpTags: {
      if (!model.parts_loaded) {
        if (report.flags & job::kOpenTags) Logger().log("Tried To Open Tags: Not Loaded");
        return err::kSuccess;
      }
      const size_t before = report.written.size();
      ErrorCode code = DumpTags(model, tags_folder, &report.written);
      if (code != err::kSuccess) {
        Logger().log_to_panel("^1DumpTags^7:: %s", ExportErrorText(code).c_str());
        return code;
      }
      Logger().log("^5Dumped Tags");
      if (report.flags & job::kOpenTags) {
        // The report just written, wherever the setting put it.
        Logger().log("^5Displaying Tags In Browser");
        if (notices.open_file && report.written.size() > before) notices.open_file(report.written[before]);
      }
      return code;
    }
    case job::kStaticTagFiles: {
      ErrorCode code = WriteStaticFiles(tags_folder, &report.written);
      if (code == kStaticFilesPresent) return err::kSuccess;
      if (code != err::kSuccess) {
        Logger().log_to_panel("^1WrtieStaticfiles^7:: %s", ExportErrorText(code).c_str());
        return code;
      }
      Logger().log("^5StaticTagFilesDumped");
      return code;
    }
    case job::kDumpGDT: {
      const int gdt_level = job.lod == kEveryLod ? kEveryLod : int(model.ShownIndex());
      ErrorCode code = DumpGDT(model, gdt_level, folders.gdt, settings, &report.written);
      if (code != err::kSuccess) {
        Logger().log_to_panel("^1Dump GDT^7:: %s", ExportErrorText(code).c_str());
        Logger().log_to_panel("^4Dumping GDT to Model folder Instead");
        platform::ClearWriteFailure();
        code = DumpGDT(model, gdt_level, folder, settings, &report.written);
        if (code != err::kSuccess) {
          Logger().log_to_panel("^1Dump GDT^7:: %s", ExportErrorText(code).c_str());
          return code;
        }
      }
      Logger().log("^2GDT Dumped");
      return code;
    }
    case job::kMoveImages: {
      ErrorCode code = MoveImages(model, folder + "/images", settings, &report.written);
      if (code != err::kSuccess) {
        Logger().log_to_panel("^1Move Images^7:: %s", ExportErrorText(code).c_str());
        return code;
      }
      Logger().log("^5Moved Images Across");
      return code;
    }
    case job::kExportIWI:
    case job::kExportTGA: {
      // One texture of the loaded model, beside its source: DDS for the
      // "ExportIWI" job, TGA for "ExportTGA".
      const bool as_dds = bit == job::kExportIWI;
      ImageResult r = job.image.set() ? ConvertImageAt(model.material_library, model.raw_dir, job.image.material,
                                                       job.image.image, as_dds, &report.written)
                                      : ConvertImage(model.material_library, model.raw_dir, settings.image_item,
                                                     as_dds, &report.written);
      if (r == img::kSuccess) return err::kSuccess;
      std::string text = QorLogger::error_text(r);
      if (std::string cause = platform::LastWriteFailureText(); !cause.empty()) text += ": " + cause;
      Logger().warning(as_dds ? "^5ExportIWI^7:: %s" : "^5ExportTGA^7:: %s", text.c_str());
      return err::kUnknown;
    }
    default: break;
  }
  return err::kUnknown;
}
