// The batch export's threads: `jobs` runner threads take the next model
// in order, each running it on a fresh worker; the calling thread hears of
// every finished model through a small queue.
#include "cli/batch_export.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "base/logger.h"
#include "base/notice_board.h"
#include "jobs/xmodel_threaded.h"
#include "platform/desktop.h"
#include "platform/file_times.h"
#include "platform/fs_paths.h"
#include "platform/program_paths.h"
#include "platform/text_case.h"

namespace {

// The plain text of a failure line ("^1LoadxmodelFull^7:: ..."): what the
// summary lists for a failed model.
std::string FirstFailure(const std::vector<std::string>& lines) {
  for (const std::string& line : lines)
    if (line.find("^1") != std::string::npos) return ConvertColourCodes(line, false);
  return "";
}

// Whether the model's last export is current: every file it writes is newer
// than every file it reads. The tags report's two pictures are the same
// bytes for every model and are never rewritten, so they only need to be
// there; held against the sources they would keep a model stale for ever.
bool OutputsCurrent(XmodelThreaded& worker, uint32_t flags, int32_t lod) {
  for (const std::string& picture : worker.PlannedOutputs(flags & job::kStaticTagFiles, lod))
    if (!platform::FileExists(picture)) return false;
  return platform::OutputsNewerThanSources(worker.PlannedOutputs(flags & ~job::kStaticTagFiles, lod),
                                           worker.SourceFiles(flags));
}

// The outputs of a model are named for it, so two models of one name (from
// two folders) would write the same files, one half over the other. The
// first in command-line order is exported; any later one fails before a
// file is written. Names compare without case: a Windows share or a
// Wine drive folds them.
void FailNameClashes(std::vector<BatchModel>& models) {
  auto name_of = [](const std::string& path) {
    return platform::AsciiLowered(std::string_view(path).substr(platform::LastSeparator(path) + 1));
  };
  std::unordered_map<std::string, size_t> first;
  for (size_t i = 0; i < models.size(); ++i) {
    auto [at, fresh] = first.emplace(name_of(models[i].path), i);
    if (fresh) continue;
    models[i].status = BatchStatus::kFailed;
    models[i].error = "a model of this name is already in this batch (" + models[at->second].path +
                      "): its files would be overwritten";
  }
}

}  // namespace

void RunBatchModel(BatchModel& m, const BatchSettings& settings) {
  const auto started = std::chrono::steady_clock::now();
  std::mutex lines_lock;
  QorLogger::Sink sink = [&](std::string_view line) {
    std::lock_guard<std::mutex> hold(lines_lock);
    m.lines.emplace_back(line);
  };
  // This thread's own lines ("Xmodel thread Stopped") join the model's.
  QorLogger::Sink* previous = QorLogger::set_thread_sink(&sink);
  bool failed = false;
  {
    NoticeBoard board;  // the sounds and balloons nobody shows
    XmodelThreaded worker;
    worker.SetBoard(&board);
    worker.SetExportSettings(settings.exports);
    worker.SetThreadSink(sink);
    if (settings.open_tags) {
      WorkerNotices notices;
      notices.open_file = [](std::string_view file) {
        if (const std::string error = platform::OpenWithDesktop(std::string(file)); !error.empty())
          Logger().warning("%s", error.c_str());
      };
      worker.SetNotices(notices);
    }
    worker.SetModelGame(settings.model.game);
    worker.SetModelScale(settings.model.scale);
    worker.Start(platform::RunningFolder());
    auto run = [&](uint32_t bits) {
      worker.AddJob(m.path, bits, {}, settings.model.lod);
      worker.WaitIdle();
      std::vector<JobReport> reports = worker.TakeReports();
      bool ok = !reports.empty();
      for (const JobReport& r : reports) {
        m.written.insert(m.written.end(), r.written.begin(), r.written.end());
        ok = ok && !r.failed();
      }
      return ok;
    };
    const uint32_t flags = settings.flags | (settings.open_tags ? job::kOpenTags : 0);
    // A model that does not load writes nothing; the steps and their lines
    // are those of a single export (the load and surface steps may run as
    // two jobs: a job's steps start from a clean result either way).
    bool ok = run(settings.skip_existing ? job::kLoad : job::kLoad | job::kSurfaces);
    if (ok && worker.model.xmodel_loaded) m.name = worker.model.name;
    bool skipped = false;
    if (ok && settings.skip_existing) {
      skipped = OutputsCurrent(worker, flags, settings.model.lod);
      if (!skipped) ok = run(job::kSurfaces);
    }
    if (ok && !skipped) ok = run(flags);
    worker.Stop();
    failed = !ok;
    m.status = skipped ? BatchStatus::kSkipped : ok ? BatchStatus::kExported : BatchStatus::kFailed;
  }
  QorLogger::set_thread_sink(previous);
  if (failed) {
    m.error = FirstFailure(m.lines);
    if (m.error.empty()) m.error = "failed";
  }
  m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

void RunBatch(std::vector<BatchModel>& models, const BatchSettings& settings, const std::atomic<bool>& stop,
              const std::function<void(size_t index)>& finished, const std::function<void()>& tick) {
  std::mutex lock;
  std::condition_variable changed;
  std::deque<size_t> done;
  size_t next = 0;
  int running_threads = 0;
  FailNameClashes(models);

  auto runner = [&] {
    for (;;) {
      size_t index;
      {
        std::lock_guard<std::mutex> hold(lock);
        // A stop lets the running models finish and starts no other.
        if (next >= models.size() || stop.load()) break;
        index = next++;
      }
      if (models[index].status == BatchStatus::kNotStarted) RunBatchModel(models[index], settings);
      std::lock_guard<std::mutex> hold(lock);
      done.push_back(index);
      changed.notify_all();
    }
    std::lock_guard<std::mutex> hold(lock);
    --running_threads;
    changed.notify_all();
  };

  const int threads = std::max(1, std::min<int>(settings.jobs, int(models.size())));
  std::vector<std::thread> pool;
  running_threads = threads;
  for (int i = 0; i < threads; ++i) pool.emplace_back(runner);
  std::unique_lock<std::mutex> hold(lock);
  for (;;) {
    changed.wait_for(hold, std::chrono::milliseconds(100), [&] { return !done.empty() || running_threads == 0; });
    while (!done.empty()) {
      const size_t index = done.front();
      done.pop_front();
      hold.unlock();
      finished(index);
      hold.lock();
    }
    if (running_threads == 0) break;
    hold.unlock();
    tick();
    hold.lock();
  }
  hold.unlock();
  for (std::thread& t : pool) t.join();
}
