// Every model exporter through one table (the bytes themselves, and what
// Assimp and the Khronos validator read of them, are in writer_bytes_test):
// the files each writes and reports, what each refuses before a byte is
// written (a model not loaded through its surfaces, an index past the
// vertices, a name that would break a line or leave the folder, a folder in
// a file's place), and the settings that change the files. Then the tags
// report's preconditions, its two pictures written once, and the page in
// headless Chromium: no script errors, and hovering a tree link lights its
// table row (and the other way round). Last, exports that cannot finish:
// into a nearly full disk (a small tmpfs) and killed half way. Whatever
// sits under a final name afterwards is whole, no temporary file stays
// behind a failed write, and the failed step says why.
#include <gtest/gtest.h>
#include <signal.h>         // Required for: kill()
#include <sys/mount.h>      // Required for: mount(), umount2()
#include <sys/statvfs.h>    // Required for: statvfs()
#include <sys/wait.h>       // Required for: waitpid()
#include <unistd.h>         // Required for: fork(), geteuid(), _exit()

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <thread>

#include "export/model_exports.h"
#include "export/tags_report.h"
#include "base/export_settings.h"
#include "jobs/xmodel_threaded.h"
#include "tests/export/export_test_support.h"
#include "tests/shell/shell_test_support.h"
#include "tools/fixture/fixture_writer.h"
#include "tools/fixture/iwi_writer.h"
#include "tools/fixture/sample_tree.h"

namespace {

using namespace export_test;

enum Carries { kGeometry = 1, kBoneLines = 2, kMaterialLines = 4, kModelLines = 8 };
struct Format {
  const char* name;
  std::vector<std::string> files;  // what it reports written for the soldier, in order
  int carries;                     // geometry, and which names it checks for lines of their own
  std::function<ErrorCode(Xmodel&, const std::string&, ExportWritten*)> run;
};

const Format kFormats[] = {
    {"XMODEL_EXPORT", {"soldier_lod0.XMODEL_EXPORT"}, kGeometry | kBoneLines | kMaterialLines | kModelLines,
     [](auto& m, auto& d, auto* w) {
       const ErrorCode code = ExportXE(m, d);
       if (code == err::kSuccess) w->push_back(d + "/" + m.lods[0].surf_name + ".XMODEL_EXPORT");
       return code;
     }},
    {"OBJ", {"soldier_lod0.obj", "soldier_lod0.mtl"}, kGeometry | kMaterialLines | kModelLines,
     [](auto& m, auto& d, auto* w) { return ExportOBJ(m, d, {}, w); }},
    {"Maya", {"soldier_lod0_bind.mel", "soldier_lod0.ma"}, kGeometry | kBoneLines | kMaterialLines | kModelLines,
     [](auto& m, auto& d, auto* w) { return ExportMA(m, d, {}, w); }},
    {"MEL", {"soldier_lod0_bind.mel"}, kGeometry | kBoneLines | kMaterialLines,
     [](auto& m, auto& d, auto* w) { return ExportMABind(m, d, w); }},
    {"glTF", {"soldier_lod0.bin", "soldier_lod0.gltf"}, kGeometry,
     [](auto& m, auto& d, auto* w) { return ExportGLTF(m, d, false, w); }},
    {"GLB", {"soldier_lod0.glb"}, kGeometry, [](auto& m, auto& d, auto* w) { return ExportGLTF(m, d, true, w); }},
    {"GDT", {"soldier.gdt"}, kMaterialLines, [](auto& m, auto& d, auto* w) { return DumpGDT(m, 0, d, {}, w); }},
    {"tags", {"soldier_tags.html"}, 0, [](auto& m, auto& d, auto* w) { return DumpTags(m, d, w); }},
};

class ExportersTest : public ExportTest, public ::testing::WithParamInterface<Format> {
 protected:
  ErrorCode Run(Xmodel& m, ExportWritten* written = nullptr) {
    ExportWritten ignored;
    return GetParam().run(m, Out(), written ? written : &ignored);
  }
  bool AnyFile() const { return fs::exists(Out()) && !fs::is_empty(Out()); }
  bool Carries(int what) const { return (GetParam().carries & what) != 0; }
};

TEST_P(ExportersTest, WritesItsFilesAndReportsThem) {
  Load(fixture::MakeSoldierModel("soldier", Cod4), 2.54f);
  ExportWritten written, want;
  ASSERT_EQ(Run(model_, &written), err::kSuccess);
  for (const std::string& name : GetParam().files) want.push_back(OutFile(name).string());
  EXPECT_EQ(written, want);
  // A folder where its last file goes fails the open.
  fs::remove_all(Out());
  fs::create_directories(OutFile(GetParam().files.back()));
  EXPECT_EQ(Run(model_), err::kCantOpen);
  EXPECT_FALSE(model_.busy);
}

// The line formats quote names with no escape: a line break would end the
// name and start lines of its own, so such a name is refused and nothing is
// written (glTF and the tags report escape them).
TEST_P(ExportersTest, ANameThatWouldBreakALineIsRefused) {
  Load(fixture::MakeSoldierModel("soldier", Cod4));
  auto expect = [&](bool refused, const char* what) {
    const ErrorCode code = Run(model_);
    EXPECT_EQ(code != err::kSuccess, refused) << what << ": " << code;
    EXPECT_FALSE(refused && AnyFile()) << what;
    fs::remove_all(Out());
  };
  const std::string bone = model_.bones[3].name, material = model_.lods[0].materials[1];
  model_.bones[3].name = "j_knee\n\" -p \"persp";
  expect(Carries(kBoneLines), "bone");
  model_.bones[3].name = bone;
  auto name_material = [&](const std::string& name) {
    model_.lods[0].materials[1] = model_.lods[0].unique_materials[1] = model_.material_library.entries[1].name = name;
  };
  name_material("mtl\r\nhead");
  expect(Carries(kMaterialLines), "material");
  name_material(material);
  // The parent's name is a comment line; files named after the model
  // refuse a name that is no file name, or that leaves the folder.
  const bool named_after_model = !GetParam().files[0].starts_with("soldier_lod0");
  model_.name = "soldier\nNUMBONES 99";
  expect(Carries(kModelLines) || named_after_model, "model");
  model_.name = "../soldier";
  expect(named_after_model, "model path");
  EXPECT_FALSE(model_.busy);
}

// A model not loaded through its surfaces (a surface reader that refused a
// file leaves them unread), an index changed in memory past the vertices,
// and a surf_name that leads out of the export folder.
TEST_P(ExportersTest, RefusesGeometryItCannotTrust) {
  Xmodel empty;
  EXPECT_EQ(Run(empty), err::kNotLoaded);
  if (!Carries(kGeometry)) GTEST_SKIP() << "no geometry";
  Load(fixture::MakeSoldierModel("soldier", Cod4));
  model_.lods[0].surfaces_loaded = false;
  EXPECT_EQ(Run(model_), err::kNotLoaded);
  model_.lods[0].surfaces_loaded = true;
  model_.lods[0].surfaces[1].triangles[4] = uint16_t(model_.lods[0].surfaces[1].vertices.size());
  EXPECT_EQ(Run(model_), err::kOutOfRange);
  model_.lods[0].surfaces[1].triangles[4] = 0;
  model_.lods[0].surfaces[2].triangles.push_back(0);  // no longer matches its count
  EXPECT_EQ(Run(model_), err::kOutOfRange);
  model_.lods[0].surfaces[2].triangles.pop_back();
  for (const char* name : {"../escaped", "sub/inner"}) {
    model_.lods[0].surf_name = name;
    EXPECT_EQ(Run(model_), err::kInvalidPath) << name;
  }
  EXPECT_FALSE(model_.busy);
  EXPECT_FALSE(AnyFile());
  EXPECT_FALSE(fs::exists(dir_.Sub("escaped.obj")));
}

INSTANTIATE_TEST_SUITE_P(Formats, ExportersTest, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::regex_replace(info.param.name, std::regex("\\W"), ""); });

// ------------------------------------------------------------ settings

TEST_F(ExportTest, SettingsChangeWhichFilesAreWritten) {
  Load(fixture::MakePropModel("crate", Cod4));
  // Without the MTL the OBJ still names it.
  ExportSettings settings;
  settings.export_MTL = false;
  ExportWritten written;
  ASSERT_EQ(ExportOBJ(model_, Out(), settings, &written), err::kSuccess);
  EXPECT_EQ(written, ExportWritten{OutFile("crate_lod0.obj").string()});
  EXPECT_NE(ReadText(OutFile("crate_lod0.obj")).find("mtllib crate_lod0.mtl\r\r\n"), std::string::npos);
  // A bind script that cannot be written is logged, and the scene still is.
  fs::create_directories(OutFile("crate_lod0_bind.mel"));
  shell_test::LogCapture log;
  written.clear();
  EXPECT_EQ(ExportMA(model_, Out(), {}, &written), err::kSuccess);
  EXPECT_TRUE(log.Contains("^1Mel Error^7: Can't Open File"));
  EXPECT_EQ(written, ExportWritten{OutFile("crate_lod0.ma").string()});
  fs::remove_all(Out());
  settings.export_MA_BIND = false;
  EXPECT_EQ(ExportMA(model_, Out(), settings), err::kSuccess);
  EXPECT_FALSE(fs::exists(OutFile("crate_lod0_bind.mel")));
  // Without the sub-folder the GDT's model file starts with a (doubled)
  // backslash; a level past the model's, or no materials, write nothing.
  settings.export_sub_dir = false;
  ASSERT_EQ(DumpGDT(model_, 0, Out(), settings), err::kSuccess);
  EXPECT_NE(ReadText(OutFile("crate.gdt")).find("\t\t\"filename\" \"\\\\crate_lod0.XMODEL_EXPORT\"\r\n"), std::string::npos);
  fs::remove(OutFile("crate.gdt"));
  EXPECT_EQ(DumpGDT(model_, 4, Out()), err::kOutOfRange);
  model_.material_library.loaded = false;
  model_.material_library.names.clear();
  EXPECT_EQ(DumpGDT(model_, 0, Out()), err::kNoMaterials);
  EXPECT_FALSE(fs::exists(OutFile("crate.gdt")));
}

// ------------------------------------------------------------ tags report

using TagsReportTest = ExportTest;

TEST_F(TagsReportTest, NeedsTheModelsTags) {
  Load(fixture::MakePropModel("crate", Cod4));
  model_.parts_loaded = false;
  EXPECT_EQ(DumpTags(model_, Out()), err::kTagsNotLoaded);
  EXPECT_FALSE(fs::exists(Out()));
}

TEST_F(TagsReportTest, PicturesAreWrittenOnceAndAMissingOneIsRestored) {
  ExportWritten written;
  ASSERT_EQ(WriteStaticFiles(Out(), &written), err::kSuccess);
  EXPECT_EQ(written, (ExportWritten{OutFile("dotted.gif").string(), OutFile("joint.png").string()}));
  EXPECT_EQ(ReadText(OutFile("dotted.gif")).substr(0, 10), std::string("GIF89a\x01\x00\x06\x00", 10));
  EXPECT_EQ(ReadText(OutFile("joint.png")).substr(0, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_EQ(WriteStaticFiles(Out()), kStaticFilesPresent);

  // A run that wrote the first picture and failed on the second.
  fs::remove(OutFile("joint.png"));
  fs::resize_file(OutFile("dotted.gif"), 3);  // a user's own picture: kept
  written.clear();
  ASSERT_EQ(WriteStaticFiles(Out(), &written), err::kSuccess);
  EXPECT_EQ(written, ExportWritten{OutFile("joint.png").string()});
  EXPECT_EQ(fs::file_size(OutFile("dotted.gif")), 3u);
}

TEST_F(TagsReportTest, ChromiumRunsTheReportAndHoverLightsTheRow) {
  const fs::path browser_dir = fs::path(VANTOR_SOURCE_DIR) / "tests" / "export" / "browser";
  if (!fs::exists("/usr/bin/chromium")) GTEST_SKIP() << "chromium (Debian) is not installed";
  if (!HaveProgram("node")) GTEST_SKIP() << "node is not installed";
  if (!fs::exists(browser_dir / "node_modules" / "playwright-core"))
    GTEST_SKIP() << "playwright-core missing: run scripts/install-deps (npm install in " << browser_dir << ")";
  Load(fixture::MakeSoldierModel("soldier", Cod4));
  ASSERT_EQ(DumpTags(model_, Out()), err::kSuccess);
  ASSERT_EQ(WriteStaticFiles(Out()), err::kSuccess);
  int status = -1;
  const std::string json = RunCommand("cd '" + browser_dir.string() + "' && timeout 120 node tags_report_check.js '" +
                                   OutFile("soldier_tags.html").string() + "' 5 2>&1",
                               &status);
  ASSERT_EQ(status, 0) << json;
  // The row lights while its tree link is hovered and goes back, the link
  // reddens while its row is, and both pictures are read at their sizes.
  EXPECT_EQ(json,
            R"j({"errors":[],"row_before":"rgba(0, 0, 0, 0)","row_hovered":"rgb(216, 229, 242)",)j"
            R"j("row_after":"rgba(0, 0, 0, 0)","link_before":"rgb(0, 0, 0)","link_hovered":"rgb(255, 0, 0)",)j"
            R"j("row_hovered_itself":"rgb(216, 229, 242)","link_after":"rgb(0, 0, 0)",)j"
            R"j("pictures":{"dotted":[1,6],"joint":[16,16]}})j"
            "\n");
}

// ------------------------------------------------ exports that cannot finish

// A 64 KiB tmpfs, mounted for one test; the test skips when it cannot be
// mounted (not root, no mount permission in the container).
struct SmallDisk {
  explicit SmallDisk(const std::string& path) : path(path) {
    fs::create_directories(path);
    mounted = ::geteuid() == 0 && ::mount("tmpfs", path.c_str(), "tmpfs", 0, "size=64k") == 0;
  }
  ~SmallDisk() { if (mounted) ::umount2(path.c_str(), MNT_DETACH); }
  void FillLeaving(uint64_t left) {
    struct statvfs st;
    ASSERT_EQ(::statvfs(path.c_str(), &st), 0);
    const uint64_t free_bytes = uint64_t(st.f_bavail) * st.f_frsize;
    std::ofstream(path + "/filler", std::ios::binary)
        << std::string(size_t(free_bytes > left ? free_bytes - left : 0), 'f');
  }

  const std::string path;
  bool mounted = false;
};

// Every file under `dir` by relative path, with the lines that carry a
// load time (which differs from run to run) left out.
std::map<std::string, std::string> Files(const std::string& dir) {
  std::map<std::string, std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(dir)) {
    if (!e.is_regular_file()) continue;
    std::ifstream in(e.path(), std::ios::binary);
    std::string text, line;
    while (std::getline(in, line))
      if (line.find("Load Time") == std::string::npos) text += line + "\n";
    out[fs::relative(e.path(), dir).string()] = text;
  }
  return out;
}

class FullDiskTest : public ExportTest {
 protected:
  void SetUp() override {
    fixture::ModelFiles m = fixture::MakePropModel("crate", Cod4);
    m.xmodel.materials[0].names = {"mtl_one"};
    m.materials = {{"mtl_one", {{"colorMap", "crate_col"}, {"normalMap", "crate_nml"}, {"specularMap", "crate_spc"},
                                {"colorDetailMap", "crate_det"}}}};
    crate_ = fixture::WriteModel(dir_.Sub("game"), m);
    ASSERT_FALSE(crate_.empty());
    // DXT1 128 x 128 with mips: about 11 KB per DDS, 64 KB per TGA.
    for (const char* name : {"crate_col", "crate_nml", "crate_spc", "crate_det"}) {
      fixture::IwiDesc d;
      d.picture = fixture::MakeTestPicture(128, 128);
      ASSERT_TRUE(fixture::WriteFile(dir_.Sub("game/raw/images/") + name + ".iwi", fixture::WriteIwi(d)));
    }
  }

  // Every file-writing step of one job into `folder`.
  JobReport Export(const std::string& folder) {
    XmodelThreaded worker;
    ExportSettings o;
    o.export_folder = o.export_folder_GDT = folder;
    o.export_sub_dir = false;
    o.export_tags_local = true;
    o.load_model_textures = false;
    worker.SetExportSettings(o);
    worker.SetModelGame(Cod4);
    worker.Start(dir_.path());
    worker.AddJob(crate_, job::kLoad | job::kSurfaces | job::kExportXE | job::kExportOBJ | job::kExportMA |
                              job::kExportGLTF | job::kExportGLB | job::kDumpGDT | job::kDumpTags |
                              job::kStaticTagFiles | job::kMoveImages);
    worker.WaitIdle();
    std::vector<JobReport> reports = worker.TakeReports();
    worker.Stop();
    return reports.empty() ? JobReport{} : reports[0];
  }

  std::string crate_;
};

TEST_F(FullDiskTest, FullDiskLeavesOnlyWholeFilesAndTheStepNamesTheCause) {
  const JobReport whole = Export(dir_.Sub("reference"));
  ASSERT_FALSE(whole.failed());
  const std::map<std::string, std::string> reference = Files(dir_.Sub("reference"));
  // xe, obj, mtl, ma, mel, gltf, bin, glb, gdt, html, two pictures, images
  ASSERT_GE(reference.size(), 13u);

  SmallDisk disk(dir_.Sub("disk"));
  if (!disk.mounted) GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";
  // Cut points: before the first file, between the text files, in the images.
  for (uint64_t left : {uint64_t(0), uint64_t(12) << 10, uint64_t(28) << 10}) {
    SCOPED_TRACE("bytes left: " + std::to_string(left));
    fs::remove_all(dir_.Sub("disk/out"));
    fs::remove(dir_.Sub("disk/filler"));
    fs::create_directories(dir_.Sub("disk/out"));
    disk.FillLeaving(left);
    shell_test::LogCapture log;
    const JobReport report = Export(dir_.Sub("disk/out"));
    EXPECT_TRUE(report.failed());
    // The image step fails as a whole when one image could not be written.
    EXPECT_TRUE(std::none_of(report.steps.begin(), report.steps.end(), [](const StepResult& step) {
      return step.bit == job::kMoveImages && step.code == err::kSuccess;
    }));
    EXPECT_TRUE(log.Contains("No space left on device")) << log.Joined();
    for (const auto& [name, text] : Files(dir_.Sub("disk/out"))) {
      EXPECT_EQ(name.find(".vantor-tmp-"), std::string::npos) << name << " left behind";
      ASSERT_TRUE(reference.count(name)) << name;
      EXPECT_TRUE(text == reference.at(name)) << name << " is not whole (" << text.size() << " bytes)";
    }
  }
}

TEST_F(FullDiskTest, KilledExportLeavesNoShortFileUnderTheFinalName) {
  // Large enough that the child is still writing when it is killed on most
  // runs; either way the file is whole or absent.
  Load(fixture::MakeBigModel(8, 32000, 4));
  const std::string out = dir_.Sub("killed"), name = model_.lods[0].surf_name + ".XMODEL_EXPORT";
  fs::create_directories(out);

  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) ::_exit(ExportXE(model_, out) == err::kSuccess ? 0 : 1);
  // Killed once its temporary file is there (or after it finished): the
  // folder holds nothing else.
  for (int i = 0; i < 2000 && fs::is_empty(out); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ::kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  if (WIFEXITED(status)) {
    ASSERT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(Files(out)[name].find("BLINN -1.000000"), std::string::npos) << "finished, so whole";
  } else {
    EXPECT_FALSE(fs::exists(out + "/" + name)) << "a killed export left a file under its final name";
  }
}

}  // namespace
