// The background worker: step order and log lines, the GL hand-off, batches,
// stopping, export destinations and the report the command line reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <filesystem>

#include "jobs/xmodel_threaded.h"
#include "base/list_source.h"
#include "tests/model/model_test_support.h"
#include "tests/shell/shell_test_support.h"
#include "tools/fixture/fixture_writer.h"
#include "tools/fixture/sample_tree.h"

namespace fs = std::filesystem;

namespace {

// Counts what the texture step asks of the GL side.
class FakeGl : public WorkerGl {
 public:
  explicit FakeGl(int fail_first = 0) : fail_first_(fail_first) {}
  bool MakeCurrent() override { return ++attempts > fail_first_; }
  void ReleaseCurrent() override { ++released; }
  void DeleteModelObjects() override { ++deleted; }
  void RebuildTrees(const Xmodel&) override { ++trees; }
  void BuildModelData(Xmodel&) override { ++built; }
  int attempts = 0, released = 0, deleted = 0, trees = 0, built = 0;

 private:
  int fail_first_;
};

class WorkerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    crate_ = fixture::WriteModel(dir_.Sub("game"), fixture::MakePropModel("crate", Cod4));
    soldier_ = fixture::WriteModel(dir_.Sub("game"), fixture::MakeSoldierModel("soldier", Cod4));
    ASSERT_FALSE(crate_.empty());
    ASSERT_FALSE(soldier_.empty());
    ExportSettings o;
    o.export_folder = dir_.Sub("out");
    worker_.SetExportSettings(o);
    worker_.SetModelGame(Cod4);
  }

  // Starts the worker on one job and waits for it.
  void Run(const std::string& model, uint32_t steps) {
    worker_.Start(dir_.path());
    worker_.AddJob(model, steps);
    worker_.WaitIdle();
  }
  // Index of the first line holding `part`, or -1.
  int LineOf(const std::string& part) {
    std::vector<std::string> lines = log_.lines();
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i].find(part) != std::string::npos) return int(i);
    return -1;
  }

  model_test::TempDir dir_;
  shell_test::LogCapture log_;
  XmodelThreaded worker_;
  std::string crate_, soldier_;
};

// A failed load skips the surfaces but still runs the texture step: the
// trees are rebuilt (emptied), and nothing is built for the viewer. A GL
// context that will not become current is tried five times.
TEST_F(WorkerTest, OpenJobLoadsReadsSurfacesAndBuildsInOrderAndAFailedOneBuildsNothing) {
  FakeGl gl;
  worker_.SetGl(&gl);
  Run(dir_.Sub("game/raw/xmodel/missing"), job::kOpenModel);
  EXPECT_TRUE(log_.Contains("^1LoadxmodelFull^7:: Invalid Path")) << log_.Joined();
  EXPECT_FALSE(log_.Contains("LoadSurface") || log_.Contains("Loaded Surface"));
  EXPECT_EQ(std::make_pair(gl.trees, gl.built), std::make_pair(1, 0));
  std::vector<JobReport> reports = worker_.TakeReports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_TRUE(reports[0].failed());

  const int deleted = gl.deleted, released = gl.released;
  worker_.AddJob(soldier_, job::kOpenModel);
  worker_.WaitIdle();
  int load = LineOf("^2Loaded Xmodel^7: soldier (");
  int surf = LineOf("^2Loaded Surface^7: 0, ");
  ASSERT_GE(load, 0) << log_.Joined();
  EXPECT_GT(surf, load);
  EXPECT_GT(LineOf("^2Material^7: "), surf);
  EXPECT_EQ(std::vector<int>({gl.built, gl.deleted - deleted, gl.released - released}), std::vector<int>({1, 1, 1}));
  const ModelBounds shown = worker_.ShownBounds();  // what the renderer reads
  EXPECT_TRUE(shown.valid && shown.min[2] < shown.max[2]);

  FakeGl stuck(/*fail_first=*/100);
  worker_.SetGl(&stuck);
  worker_.AddJob(crate_, job::kOpenModel);
  worker_.WaitIdle();
  EXPECT_EQ(stuck.attempts, 5);
  EXPECT_TRUE(log_.Contains("Failed To Set OpenGL Contex"));
}

// A model that does not open says why and which file in the error box, and
// the log panel's line says the same: a missing parts or surfs file or
// folder, a bad version, a file too small.
TEST_F(WorkerTest, FailedLoadsNameTheirFileInTheErrorBox) {
  NoticeBoard board;
  worker_.SetBoard(&board);
  Logger().attach_model_log();
  Logger().clear_model_log();
  worker_.Start(dir_.path());
  const struct {
    const char* root;
    const char* removed;  // a file or folder of the model taken away
    std::vector<uint8_t> xmodel;  // the xmodel file's bytes, when replaced
    const char* step;
    std::string text;
  } cases[] = {
      {"parts", "xmodelparts/crate_lod0", {}, "LoadxmodelFull", "File Not Found: raw/xmodelparts/crate_lod0"},
      {"surfs", "xmodelsurfs/crate_lod0", {}, "LoadSurface", "Can't Open File: raw/xmodelsurfs/crate_lod0"},
      {"parts_dir", "xmodelparts", {}, "LoadxmodelFull", "Error No: 20: raw/xmodelparts"},
      {"surfs_dir", "xmodelsurfs", {}, "LoadxmodelFull", "'xmodelsurfs' folder not Found: raw/xmodelsurfs"},
      {"version", nullptr, std::vector<uint8_t>(128, 99), "LoadxmodelFull", "Invalid Version: raw/xmodel/crate"},
      {"small", nullptr, {25, 0, 1}, "LoadxmodelFull", "File To small: raw/xmodel/crate"},
  };
  for (const auto& c : cases) {
    const std::string path = fixture::WriteModel(dir_.Sub(c.root), fixture::MakePropModel("crate", Cod4));
    ASSERT_FALSE(path.empty());
    if (c.removed) fs::remove_all(dir_.Sub(c.root) + "/raw/" + c.removed);
    if (!c.xmodel.empty()) {
      ASSERT_TRUE(fixture::WriteFile(path, c.xmodel));
    }
    worker_.AddJob(path, job::kOpenModel);
    worker_.WaitIdle();
    BoardSnapshot view;
    board.Drain(view);
    ASSERT_EQ(view.errors.size(), 1u) << c.root << "\n" << log_.Joined();
    EXPECT_EQ(view.errors[0], c.text);
    const std::vector<std::string> panel = Logger().model_log_lines();
    EXPECT_NE(std::find(panel.begin(), panel.end(), "^1" + std::string(c.step) + "^7:: " + view.errors[0]),
              panel.end())
        << log_.Joined();
  }
}

// Jobs queued before the thread starts run in queue order in its first
// batch; a surface job alone runs on the model loaded before; an unload
// empties it; a second Stop logs nothing. The model path is the last load's.
TEST_F(WorkerTest, JobsRunInQueueOrderOnTheLoadedModel) {
  worker_.AddJob(crate_, job::kLoad);
  worker_.AddJob(soldier_, job::kLoad);
  worker_.Start(dir_.path());
  worker_.WaitIdle();
  int first = LineOf("Loaded Xmodel^7: crate");
  ASSERT_GE(first, 0) << log_.Joined();
  EXPECT_GT(LineOf("Loaded Xmodel^7: soldier"), first);
  EXPECT_EQ(worker_.TakeReports().size(), 2u);
  EXPECT_FALSE(log_.Contains("Loaded Surface"));
  worker_.AddJob(soldier_, job::kSurfaces);
  worker_.WaitIdle();
  EXPECT_TRUE(log_.Contains("^2Loaded Surface^7: 0, ")) << log_.Joined();
  worker_.AddJob(crate_, job::kUnload);
  worker_.WaitIdle();
  EXPECT_EQ(worker_.ModelPath(), soldier_);
  {
    std::lock_guard<std::mutex> hold(worker_.box_lock);
    EXPECT_FALSE(worker_.model_ready || worker_.model.xmodel_loaded);
  }
  worker_.Stop();
  worker_.Stop();
  const std::vector<std::string> lines = log_.lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "Xmodel thread Stopped"), 1);
}

// An export goes to the model's sub-folder, and its sound, tray notice and a
// full bar reach the board; without the sub-folder setting it goes to
// "exported" beside the program; an export of a model not loaded fails.
TEST_F(WorkerTest, ExportsGoToTheirFolderAndAreReported) {
  NoticeBoard board;
  worker_.SetBoard(&board);
  Run(soldier_, job::kLoad | job::kSurfaces | job::kExportXE);
  std::vector<JobReport> reports = worker_.TakeReports();
  ASSERT_EQ(reports.size(), 1u);
  ASSERT_EQ(reports[0].written.size(), 1u) << log_.Joined();
  EXPECT_TRUE(fs::exists(reports[0].written[0]));
  EXPECT_EQ(fs::path(reports[0].written[0]).parent_path(), fs::path(dir_.Sub("out/soldier")));
  EXPECT_TRUE(log_.Contains("^2Exported XE^7: "));
  BoardSnapshot view;
  ASSERT_TRUE(board.Drain(view));
  EXPECT_EQ(view.sounds, std::vector<std::string>{"export_done"});
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(std::tie(view.messages[0].kind, view.messages[0].title, view.messages[0].text),
            std::make_tuple(AppMessageKind::kBalloon, std::string("Exported XMODEL_EXPORT"),
                            "Exported: 'soldier' to '" + reports[0].written[0] + "'"));
  EXPECT_EQ(view.messages[0].folder, dir_.Sub("out/soldier"));  // its "Open Folder"

  ExportSettings o;
  o.export_sub_dir = false;
  worker_.SetExportSettings(o);
  worker_.AddJob(soldier_, job::kUnload);
  worker_.AddJob(crate_, job::kExportXE);
  worker_.AddJob(crate_, job::kLoad | job::kSurfaces | job::kExportXE);
  worker_.WaitIdle();
  EXPECT_TRUE(log_.Contains("^1Export XE^7:: File Not Loaded")) << log_.Joined();
  reports = worker_.TakeReports();
  ASSERT_EQ(reports.size(), 3u);  // the unload's, the failed export's, the export's
  EXPECT_TRUE(reports[1].failed());
  ASSERT_EQ(reports[2].written.size(), 1u);
  EXPECT_EQ(fs::path(reports[2].written[0]).parent_path(), fs::path(dir_.Sub("exported")));
}

// The panels' rows reach the board whole while the worker rebuilds them
// (a TSan run checks the two threads); an unload empties them.
TEST_F(WorkerTest, PanelRowsFollowTheLoadedModel) {
  NoticeBoard board;
  worker_.SetBoard(&board);
  worker_.Start(dir_.path());
  worker_.AddJob(soldier_, job::kOpenModel);
  BoardSnapshot view;
  while (!worker_.WaitIdleFor(1)) {
    board.Drain(view);
    if (SharedRows rows = view.Rows(kPropertyRowsName)) {
      for (const DetailRow& row : *rows) EXPECT_FALSE(row.text.empty());
    }
  }
  board.Drain(view);
  SharedRows properties = view.Rows(kPropertyRowsName), tags = view.Rows(kTagRowsName);
  ASSERT_TRUE(properties && !properties->empty() && tags && !tags->empty());
  EXPECT_EQ((*properties)[0].text, "Name: soldier");
  EXPECT_EQ((*tags)[0].text.rfind("Tags: ", 0), 0u);
  worker_.AddJob(soldier_, job::kUnload);
  worker_.WaitIdle();
  EXPECT_TRUE(board.Rows(kTagRowsName)->empty());
}

// A job naming a level shows it: its surfaces read once, its bounds and the
// line saying which is shown; the cycle comes back to level 0; a level the
// model lacks fails and the level shown stays.
TEST_F(WorkerTest, ALevelJobShowsThatLevel) {
  fixture::ModelFiles files = fixture::MakePropModel("pair", Cod4);
  files.xmodel.lods[1] = {500.0f, "pair_lod1"};
  files.xmodel.materials.push_back(files.xmodel.materials[0]);
  files.surfs.push_back(files.surfs[0]);
  for (auto& v : files.surfs[1].surfaces[0].vertices) v.position[2] *= 2;
  const std::string pair = fixture::WriteModel(dir_.Sub("game"), files);
  NoticeBoard board;
  worker_.SetBoard(&board);
  Run(pair, job::kOpenModel);
  const float top = worker_.ShownBounds().max[2];
  const auto show = [&](int32_t lod) {
    worker_.AddJob(pair, job::kSurfaces | job::kTextures, {}, lod);
    worker_.WaitIdle();
    return worker_.TakeReports().back().steps[0].code;
  };
  EXPECT_EQ(show(kNextLod), err::kSuccess);
  EXPECT_EQ(worker_.ShownBounds().max[2], 2 * top);
  EXPECT_EQ(board.Text(kLodTextName), "LOD 1 of 2");
  EXPECT_EQ(show(kNextLod), err::kSuccess);
  EXPECT_EQ(show(1), err::kSuccess);
  EXPECT_EQ(show(2), err::kOutOfRange);
  EXPECT_EQ(board.Text(kLodTextName), "LOD 1 of 2");
  const std::vector<std::string> lines = log_.lines();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) { return l.find("Loaded Surface^7: 1,") != std::string::npos; }),
            1);
}

}  // namespace
