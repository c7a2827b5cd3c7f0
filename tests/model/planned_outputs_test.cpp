// What a batch export's --skip-existing relies on: the worker's list of the
// files a job would write is the list of files the exports write, over the
// sample tree, for the settings that change the names;
// and the times decide as documented.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "jobs/xmodel_threaded.h"
#include "platform/file_times.h"
#include "tests/model/model_test_support.h"
#include "tests/shell/shell_test_support.h"
#include "tools/fixture/sample_tree.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kEveryFormat = job::kExportXE | job::kExportOBJ | job::kExportMA | job::kDumpGDT |
                                  job::kDumpTags | job::kStaticTagFiles | job::kMoveImages | job::kExportGLB;

struct Variant {
  const char* label;
  void (*apply)(ExportSettings&);
};

// Every model of `models` with each settings variant: after the export,
// what it wrote is among the planned files, and every planned file is
// there (the tags pictures are written once per folder, so an export may
// write fewer than planned, never others).
void CheckPlans(const std::vector<std::string>& models, GameVersion game, const std::string& out,
                const std::vector<Variant>& variants) {
  for (const Variant& v : variants) {
    ExportSettings settings;
    settings.export_folder = out + "/" + v.label;
    settings.export_folder_GDT = out + "/" + v.label + "/GDTs";
    settings.tags_folder = out + "/" + v.label + "/Tags";
    v.apply(settings);
    XmodelThreaded worker;
    worker.SetExportSettings(settings);
    worker.SetModelGame(game);
    worker.Start(out);
    size_t exported = 0;
    for (const std::string& path : models) {
      SCOPED_TRACE(std::string(v.label) + " " + path);
      worker.AddJob(path, job::kLoad | job::kSurfaces);
      worker.WaitIdle();
      std::vector<JobReport> load = worker.TakeReports();
      if (load.empty() || load[0].failed()) continue;  // real files without parts or surfs
      const std::vector<std::string> planned = worker.PlannedOutputs(kEveryFormat);
      const std::vector<std::string> sources = worker.SourceFiles(kEveryFormat);
      worker.AddJob(path, kEveryFormat);
      worker.WaitIdle();
      std::vector<JobReport> reports = worker.TakeReports();
      ASSERT_EQ(reports.size(), 1u);
      if (reports[0].failed()) continue;
      ++exported;
      const std::set<std::string> plan(planned.begin(), planned.end());
      EXPECT_EQ(plan.size(), planned.size()) << "a file planned twice";
      for (const std::string& w : reports[0].written) EXPECT_TRUE(plan.count(w)) << "written, not planned: " << w;
      for (const std::string& p : planned) EXPECT_TRUE(fs::is_regular_file(p)) << "planned, not written: " << p;
      EXPECT_TRUE(platform::OutputsNewerThanSources(planned, sources));
      EXPECT_NE(std::find(sources.begin(), sources.end(), path), sources.end()) << "the xmodel is a source";
      EXPECT_GE(sources.size(), 3u) << "xmodel, parts and surfs";
    }
    EXPECT_GT(exported, 0u) << v.label;
  }
}

}  // namespace

TEST(PlannedOutputs, AreTheFilesTheExportsWrite) {
  model_test::TempDir dir;
  shell_test::LogCapture log;
  model_test::ScriptedAnswerer yes(true);
  const std::vector<std::string> sample = fixture::WriteSampleTree(dir.Sub("sample"));
  ASSERT_FALSE(sample.empty());
  const std::vector<Variant> variants = {
      {"defaults", [](ExportSettings&) {}},
      {"flat", [](ExportSettings& s) { s.export_sub_dir = false; }},
      {"no_bind_no_mtl_tga", [](ExportSettings& s) { s.export_MA_BIND = false; s.export_MTL = false; s.export_img_as_tga = true; }},
      {"png_colour_only", [](ExportSettings& s) { s.export_img_png = 2; s.export_images_col = true; }},
      {"images_beside_source", [](ExportSettings& s) { s.export_images_local = false; s.export_tags_local = true; s.tags_folder.clear(); }},
  };
  for (const auto& [tree, game] : {std::pair{"cod4", Cod4}, {"cod5", Cod5}, {"bo", BO}}) {
    std::vector<std::string> models;
    for (const std::string& m : sample)
      if (m.find("/" + std::string(tree) + "/") != std::string::npos) models.push_back(m);
    CheckPlans(models, game, dir.Sub(std::string("out_") + tree), variants);
  }
}

TEST(PlannedOutputs, CountOnlyWhenEveryOutputIsNewerThanEverySource) {
  model_test::TempDir dir;
  const std::string a = dir.Sub("a"), b = dir.Sub("b"), src = dir.Sub("src"), gone = dir.Sub("gone");
  for (const std::string& p : {a, b, src}) fixture::WriteFile(p, std::vector<uint8_t>{1});
  const auto base = fs::file_time_type::clock::now();
  struct Case {
    int a, b, src;
    std::vector<std::string> outputs;
    bool current;
  } cases[] = {
      {10, 20, 5, {a, b}, true},
      {10, 20, 10, {a, b}, false},   // a tie is stale
      {10, 20, 15, {a, b}, false},   // one output older than the source
      {10, 20, 5, {a, b, gone}, false},  // an output missing
      {10, 20, 5, {}, false},        // nothing to go by
  };
  for (const Case& c : cases) {
    for (auto [p, seconds] : {std::pair{a, c.a}, {b, c.b}, {src, c.src}})
      fs::last_write_time(p, base + std::chrono::seconds(seconds));
    EXPECT_EQ(platform::OutputsNewerThanSources(c.outputs, {src, gone}), c.current)
        << c.a << " " << c.b << " " << c.src << " outputs " << c.outputs.size();
  }
}

// The CLI's jobs get their steps here (the window's command words apply the
// same rule): with export_images on, MA, OBJ and XE move the images, glTF
// and GLB never do.
TEST(JobStepsTest, OnlyTheSceneAndTextExportsMoveImages) {
  ExportSettings settings;
  settings.export_images = true;
  EXPECT_EQ(JobSteps(job::kExportGLTF | job::kExportGLB, settings), job::kExportGLTF | job::kExportGLB);
  EXPECT_EQ(JobSteps(job::kExportOBJ, settings), job::kExportOBJ | job::kMoveImages);
}
