// The background worker: step order and log lines, the GL hand-off, batches,
// stopping, export destinations, the progress, the panels' rows and the
// report the command line reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <filesystem>

#include "jobs/model_rows.h"
#include "jobs/xmodel_threaded.h"
#include "tests/model/model_test_support.h"
#include "tests/shell/shell_test_support.h"
#include "tools/fixture/sample_tree.h"

namespace fs = std::filesystem;

namespace {

// Counts what the texture step asks of the GL side; MakeCurrent fails its
// first `fail_first` calls.
struct FakeGl : WorkerGl {
  bool MakeCurrent() override { return ++attempts > fail_first; }
  void ReleaseCurrent() override { ++released; }
  void DeleteModelObjects() override { ++deleted; }
  void RebuildTrees(const Xmodel&) override { ++trees; }
  void BuildModelData(Xmodel&) override { ++built; }
  int fail_first = 0, attempts = 0, released = 0, deleted = 0, trees = 0, built = 0;
};

class WorkerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    crate_ = fixture::WriteModel(dir_.Sub("game"), fixture::MakePropModel("crate", Cod4));
    soldier_ = fixture::WriteModel(dir_.Sub("game"), fixture::MakeSoldierModel("soldier", Cod4));
    ASSERT_FALSE(crate_.empty() || soldier_.empty());
    ExportSettings o;
    o.export_folder = dir_.Sub("out");
    worker_.SetExportSettings(o);
    worker_.SetModelGame(Cod4);
    worker_.SetBoard(&board_);
  }

  // Starts the worker if it is not running, gives it one job and waits.
  void Run(const std::string& model, uint32_t steps, int32_t lod = kKeepLod) {
    worker_.Start(dir_.path());
    worker_.AddJob(model, steps, {}, lod);
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
  NoticeBoard board_;
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
  Run(soldier_, job::kOpenModel);
  int load = LineOf("^2Loaded Xmodel^7: soldier (");
  int surf = LineOf("^2Loaded Surface^7: 0, ");
  ASSERT_GE(load, 0) << log_.Joined();
  EXPECT_GT(surf, load);
  EXPECT_GT(LineOf("^2Material^7: "), surf);
  EXPECT_EQ(std::vector<int>({gl.built, gl.deleted - deleted, gl.released - released}), std::vector<int>({1, 1, 1}));
  const ModelBounds shown = worker_.ShownBounds();  // what the renderer reads
  EXPECT_TRUE(shown.valid && shown.min[2] < shown.max[2]);

  FakeGl stuck;
  stuck.fail_first = 100;
  worker_.SetGl(&stuck);
  Run(crate_, job::kOpenModel);
  EXPECT_EQ(stuck.attempts, 5);
  EXPECT_TRUE(log_.Contains("Failed To Set OpenGL Contex"));
}

// A model that does not open says why and which file in the error box, and
// the log panel's line says the same: a missing parts or surfs file or
// folder, a bad version, a file too small.
TEST_F(WorkerTest, FailedLoadsNameTheirFileInTheErrorBox) {
  Logger().attach_model_log();
  Logger().clear_model_log();
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
    ASSERT_TRUE(c.xmodel.empty() || fixture::WriteFile(path, c.xmodel));
    Run(path, job::kOpenModel);
    BoardSnapshot view;
    board_.Drain(view);
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
  Run(soldier_, job::kSurfaces);
  EXPECT_TRUE(log_.Contains("^2Loaded Surface^7: 0, ")) << log_.Joined();
  Run(crate_, job::kUnload);
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
  Run(soldier_, job::kLoad | job::kSurfaces | job::kExportXE);
  std::vector<JobReport> reports = worker_.TakeReports();
  ASSERT_EQ(reports.size(), 1u);
  ASSERT_EQ(reports[0].written.size(), 1u) << log_.Joined();
  EXPECT_TRUE(fs::exists(reports[0].written[0]));
  EXPECT_EQ(fs::path(reports[0].written[0]).parent_path(), fs::path(dir_.Sub("out/soldier")));
  EXPECT_TRUE(log_.Contains("^2Exported XE^7: "));
  BoardSnapshot view;
  ASSERT_TRUE(board_.Drain(view));
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
  Run(crate_, job::kLoad | job::kSurfaces | job::kExportXE);
  EXPECT_TRUE(log_.Contains("^1Export XE^7:: File Not Loaded")) << log_.Joined();
  reports = worker_.TakeReports();
  ASSERT_EQ(reports.size(), 3u);  // the unload's, the failed export's, the export's
  EXPECT_TRUE(reports[1].failed());
  ASSERT_EQ(reports[2].written.size(), 1u);
  EXPECT_EQ(fs::path(reports[2].written[0]).parent_path(), fs::path(dir_.Sub("exported")));
}

std::vector<std::string> Texts(const std::vector<DetailRow>& rows) {
  std::vector<std::string> out;
  for (const DetailRow& r : rows) out.push_back(std::string(r.depth, ' ') + r.text);
  return out;
}

// The panels' rows from a model: the optional properties only when set,
// the counts of the first level, image rows that carry their material and
// slot, and the bones nested under their parents.
TEST(ModelRows, PropertiesAndTagsOfALoadedModel) {
  Xmodel m;
  EXPECT_TRUE(PropertyRows(m).empty());  // nothing loaded
  m.xmodel_loaded = true;
  m.name = "helmet";
  m.lod_distances = {250};
  m.lods.resize(1);
  m.lods[0].surface_count = 2;
  m.lods[0].surfaces.resize(2);
  m.lods[0].surfaces[0].vertex_count = 10;
  m.lods[0].surfaces[0].triangle_count = 4;
  m.lods[0].surfaces[1].vertex_count = 5;
  m.lods[0].surfaces[1].triangle_count = 3;
  MaterialEntry entry;
  entry.name = "mtl_helmet";
  // Loose, missing, and held only by an archive of the game.
  entry.images = {{"colorMap", "~helmet_col.iwi", "", true, false, ""},
                  {"normalMap", "helmet_nml.iwi", "", false, false, ""},
                  {"specularMap", "helmet_spc.iwi", "", false, false, "main/iw_02.iwd"}};
  m.material_library.entries = {entry};
  m.bones = {{"tag_origin", {}, {}, 255}, {"j_head", {}, {}, 0}, {"j_eye", {}, {}, 1}, {"j_jaw", {}, {}, 1}};

  const std::vector<DetailRow> rows = PropertyRows(m);
  EXPECT_EQ(Texts(rows), (std::vector<std::string>{"Name: helmet", "Meshes: 2", "Verts: 15", "Faces: 7", "Surfaces",
                                                   " Mesh 0: 10 verts, 4 faces", " Mesh 1: 5 verts, 3 faces",
                                                   " LOD distance: 250", "Materials", " mtl_helmet",
                                                   "  colorMap: ~helmet_col.iwi", "  normalMap: helmet_nml.iwi",
                                                   "  specularMap: helmet_spc.iwi (main/iw_02.iwd)"}));
  EXPECT_EQ(std::make_tuple(rows[10].icon, rows[11].icon, rows[12].icon),
            std::make_tuple("tree_tick", "tree_cross", "tree_tick"));
  EXPECT_EQ(std::make_tuple(rows[11].image, rows[11].material, rows[11].slot, rows[12].image),
            std::make_tuple("helmet_nml.iwi", 0, 1, "helmet_spc.iwi"));

  m.physics_preset = "default";
  m.collision_lod = 1;
  EXPECT_EQ(PropertyRows(m)[1].text, "Physics: default");
  EXPECT_EQ(PropertyRows(m)[2].text, "CollisionLOD: 1");

  EXPECT_EQ(Texts(TagRows(m)),
            (std::vector<std::string>{"Tags: 4", " tag_origin", "  j_head", "   j_eye", "   j_jaw"}));
}

// The panels' rows reach the board whole while the worker rebuilds them
// (a TSan run checks the two threads); an unload empties them.
TEST_F(WorkerTest, PanelRowsFollowTheLoadedModel) {
  worker_.Start(dir_.path());
  worker_.AddJob(soldier_, job::kOpenModel);
  BoardSnapshot view;
  while (!worker_.WaitIdleFor(1)) {
    board_.Drain(view);
    if (SharedRows rows = view.Rows(kPropertyRowsName)) {
      for (const DetailRow& row : *rows) EXPECT_FALSE(row.text.empty());
    }
  }
  board_.Drain(view);
  SharedRows properties = view.Rows(kPropertyRowsName), tags = view.Rows(kTagRowsName);
  ASSERT_TRUE(properties && !properties->empty() && tags && !tags->empty());
  EXPECT_EQ((*properties)[0].text, "Name: soldier");
  EXPECT_EQ((*tags)[0].text.rfind("Tags: ", 0), 0u);
  Run(soldier_, job::kUnload);
  EXPECT_TRUE(board_.Rows(kTagRowsName)->empty());
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
  Run(pair, job::kOpenModel);
  const float top = worker_.ShownBounds().max[2];
  const auto show = [&](int32_t lod) {
    Run(pair, job::kSurfaces | job::kTextures, lod);
    return worker_.TakeReports().back().steps[0].code;
  };
  EXPECT_EQ(show(kNextLod), err::kSuccess);
  EXPECT_EQ(worker_.ShownBounds().max[2], 2 * top);
  EXPECT_EQ(board_.Text(kLodTextName), "LOD 1 of 2");
  EXPECT_EQ(show(kNextLod), err::kSuccess);
  EXPECT_EQ(show(1), err::kSuccess);
  EXPECT_EQ(show(2), err::kOutOfRange);
  EXPECT_EQ(board_.Text(kLodTextName), "LOD 1 of 2");
  const std::vector<std::string> lines = log_.lines();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) { return l.find("Loaded Surface^7: 1,") != std::string::npos; }),
            1);
}

// The job progress moves within a surface read, never past 99 (the GUI
// thread may read any value it takes), and the worker puts every move on
// its board, not only the values at step boundaries.
TEST_F(WorkerTest, ProgressMovesWithinTheSurfaceReadNeverPasses99AndReachesTheBoard) {
  // Three COD 4 surfaces step 33 from 1: a fourth step would land on 100.
  const fixture::ModelFiles big = fixture::MakeBigModel(3, 40, 2, Cod4);
  Xmodel m;
  std::vector<int32_t> seen;
  m.progress.SetSink([](void* out, int32_t v) { static_cast<std::vector<int32_t>*>(out)->push_back(v); }, &seen);
  ASSERT_EQ(model_test::WriteAndLoadSurfaces(dir_.Sub("game"), big, m, Cod4), err::kSuccess);
  ASSERT_GE(seen.size(), 3u) << "one move a surface at least";
  for (size_t i = 1; i < seen.size(); ++i) EXPECT_GT(seen[i], seen[i - 1]);
  EXPECT_EQ(seen.back(), 99);
  EXPECT_FALSE(m.busy.load());
  m.progress.SetSink(nullptr, nullptr);

  worker_.Start(dir_.path());
  const uint64_t before = board_.version();
  Run(dir_.Sub("game/raw/xmodel/") + big.name, job::kLoad | job::kSurfaces);
  worker_.Stop();
  EXPECT_GE(board_.version() - before, 3u);
  EXPECT_EQ(board_.Progress(kWorkerProgressName), 1.0f);
}

}  // namespace
