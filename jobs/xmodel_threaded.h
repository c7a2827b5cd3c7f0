// The background model worker: owns the one Xmodel and runs every load,
// surface read, texture build and export on a thread of its own, one job
// (a model path and a word of step bits) at a time, steps in a fixed order,
// one log line a step.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/export_settings.h"
#include "base/logger.h"
#include "base/notice_board.h"
#include "export/model_exports.h"
#include "jobs/export_formats.h"
#include "jobs/job_bits.h"
#include "jobs/shown_model.h"
#include "jobs/worker_gl.h"
#include "model/bounds.h"
#include "model/xmodel.h"


// What the worker does outside the program besides writing files: opening
// the tags report in the browser (0x100). Left empty, nothing opens. The
// export sound and the tray notice go to the notice board instead.
struct WorkerNotices {
  std::function<void(std::string_view path)> open_file;
};

// The progress value the worker publishes on its board: the model's
// `progress` (0 to 99) as a fill, on every change and after every step.
// The tool bar's bar.
inline constexpr const char* kWorkerProgressName = "progress_bar";
// The rows of the properties and tags panels the worker publishes on its
// board, rebuilt after every texture step and emptied when the model is
// unloaded.
inline constexpr const char* kPropertyRowsName = "xmodel_prop";
inline constexpr const char* kTagRowsName = "xmodel_tags";
// The line under the view that says which level of detail is shown
// ("LOD 1 of 4"), empty without a model.
inline constexpr const char* kLodTextName = "lod_text";

// One step's outcome, kept for the command line.
struct StepResult {
  uint32_t bit = 0;
  ErrorCode code = err::kSuccess;
};

struct JobReport {
  std::string path;
  uint32_t flags = 0;
  std::vector<StepResult> steps;
  std::vector<std::string> written;  // files the export steps wrote
  bool failed() const;
};


// One image of the loaded model's material library, as the properties
// panel's rows name it: the material's index and the image's index within
// it. The single-image jobs convert exactly that image.
struct ImageRef {
  int32_t material = -1;
  int32_t image = -1;
  bool set() const { return material >= 0 && image >= 0; }
};

// The level of detail a job works on: the one shown (kKeepLod), every level
// (kEveryLod, export/model_exports.h: each level is read, and each writing
// format writes every level), or a level's index, which the job shows.
inline constexpr int32_t kKeepLod = -2;
// The level after the one shown, back to level 0 after the last.
inline constexpr int32_t kNextLod = -3;

class XmodelThreaded : public ShownModel {
 public:
  XmodelThreaded() = default;
  ~XmodelThreaded();
  XmodelThreaded(const XmodelThreaded&) = delete;
  XmodelThreaded& operator=(const XmodelThreaded&) = delete;

  // Starts the thread. `running_dir` is the program's folder.
  void Start(std::string running_dir);
  void AddJob(std::string path, uint32_t flags, ImageRef image = {}, int32_t lod = kKeepLod);
  // Runs `visit` on the worker thread once the jobs queued before it ran,
  // with the model as they left it, under `lock` (an animation binding to
  // the model on show).
  void RunOnModel(std::function<void(const Xmodel& model)> visit);
  // The model path: that of the last job queued that loads a model ("" before
  // one). The window's export and image jobs name it; nobody else keeps it.
  std::string ModelPath();
  void Stop();

  // Settings the main thread hands over; they take effect at the next job,
  // which works on its own copy of the export settings.
  void SetExportSettings(const ExportSettings& settings);
  void SetModelGame(GameVersion game);
  void SetModelScale(float scale);
  void SetGl(WorkerGl* gl);
  void SetNotices(WorkerNotices notices);
  // Where the export sound, the tray notices, the progress and the panels'
  // rows go; the program's board unless set (before Start).
  void SetBoard(NoticeBoard* board);

  ModelBounds ShownBounds() const override;

  // Blocks until every queued job has run.
  void WaitIdle();
  // The same for at most `ms` milliseconds; true when idle.
  bool WaitIdleFor(int ms);
  // No job queued or running (does not block).
  bool Idle();
  // A model is on show, or on its way: a job queued or running may be the
  // load just picked, and a job queued now runs after it.
  bool HasModel();
  // The reports of the jobs finished since the last call.
  std::vector<JobReport> TakeReports();

  // The folder an export of the loaded model goes to.
  std::string ExportDestination(const ExportSettings& settings) const;
  // Every folder the file-writing steps use, from the settings a job runs
  // with (see ExportStep).
  OutputFolders FoldersFor(const ExportSettings& settings) const;

  // The files a job of `flags` would write for the loaded model with the
  // current export settings, by the names the exporters give them (an
  // image only when its source is there); and the files the model was
  // read from (xmodel, xmodelparts, every level's xmodelsurfs, the
  // material files, and with images requested their sources). Call while
  // the worker is idle.
  std::vector<std::string> PlannedOutputs(uint32_t flags, int32_t lod = kKeepLod);
  std::vector<std::string> SourceFiles(uint32_t flags);

  // Lines the worker thread logs go to `sink` instead of the logger's own
  // sink (set before Start; see QorLogger::set_thread_sink).
  void SetThreadSink(QorLogger::Sink sink);

  // Everything below belongs to the worker thread while it runs jobs; the
  // main thread reads the model under `lock`, `bounds` under `box_lock`.
  std::mutex lock;
  std::mutex gl_lock;
  mutable std::mutex box_lock;
  bool model_ready = false;
  ModelBounds bounds;
  uint32_t model_loads = 0;  // jobs that loaded a model to show, `bounds` refreshed
  Xmodel model;
  ErrorCode last_result = err::kSuccess;
  std::string running_dir;

 private:
  struct Job {
    std::string path;
    uint32_t flags = 0;
    ImageRef image;
    int32_t lod = kKeepLod;
    std::function<void(const Xmodel&)> visit;  // RunOnModel's
  };
  ErrorCode SurfaceStep(int32_t lod);
  void Run();
  void RunJob(const Job& job, JobReport& report);
  void RefreshBounds();
  void TextureStep(const ExportSettings& settings);
  ErrorCode ExportStep(uint32_t bit, const ExportSettings& settings, const Job& job, JobReport& report);
  void PublishProgress();
  void PublishRows();

  std::thread thread_;
  bool started_ = false;
  bool stopped_ = false;
  std::mutex queue_lock_;
  std::condition_variable queue_signal_;
  std::condition_variable idle_signal_;
  std::vector<Job> queue_;
  std::string model_path_;  // see ModelPath
  bool working_ = false;
  bool stop_requested_ = false;
  bool finished_ = false;
  std::condition_variable finished_signal_;
  std::vector<JobReport> reports_;
  ExportSettings settings_;
  GameVersion pending_game_ = Cod5;
  bool game_pending_ = false;
  float pending_scale_ = 1.0f;
  bool scale_pending_ = false;
  WorkerGl* gl_ = nullptr;
  WorkerNotices notices_;
  NoticeBoard* board_ = &Board();
  QorLogger::Sink thread_sink_;
};
