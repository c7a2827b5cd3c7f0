// Exports that cannot finish: into a nearly full disk (a small tmpfs) and
// killed half way. Whatever sits under a final name afterwards is whole,
// no temporary file stays behind a failed write, and the failed step says
// why.
#include <gtest/gtest.h>
#include <signal.h>         // Required for: kill()
#include <sys/mount.h>      // Required for: mount(), umount2()
#include <sys/statvfs.h>    // Required for: statvfs()
#include <sys/wait.h>       // Required for: waitpid()
#include <unistd.h>         // Required for: fork(), geteuid(), _exit()

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "export/model_exports.h"
#include "jobs/xmodel_threaded.h"
#include "tests/shell/shell_test_support.h"
#include "tests/support/temp_dir.h"
#include "tools/fixture/fixture_writer.h"
#include "tools/fixture/iwi_writer.h"

namespace fs = std::filesystem;

namespace {

// A 64 KiB tmpfs, mounted for one test; the test skips when it cannot be
// mounted (not root, no mount permission in the container).
class SmallDisk {
 public:
  explicit SmallDisk(const std::string& path) : path_(path) {
    fs::create_directories(path_);
    mounted_ = ::geteuid() == 0 && ::mount("tmpfs", path_.c_str(), "tmpfs", 0, "size=64k") == 0;
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }
  // Fills the disk until about `left` bytes are free.
  void FillLeaving(uint64_t left) {
    struct statvfs st;
    ASSERT_EQ(::statvfs(path_.c_str(), &st), 0);
    const uint64_t free_bytes = uint64_t(st.f_bavail) * st.f_frsize;
    std::ofstream(path_ + "/filler", std::ios::binary)
        << std::string(size_t(free_bytes > left ? free_bytes - left : 0), 'f');
  }

 private:
  std::string path_;
  bool mounted_ = false;
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

class FullDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fixture::ModelFiles m = fixture::MakePropModel("crate", Cod4);
    m.xmodel.materials[0].names = {"mtl_one"};
    m.materials = {{"mtl_one", {{"colorMap", "crate_col"}, {"normalMap", "crate_nml"}, {"specularMap", "crate_spc"},
                                {"colorDetailMap", "crate_det"}}}};
    model_ = fixture::WriteModel(dir_.Sub("game"), m);
    ASSERT_FALSE(model_.empty());
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
    o.export_folder = folder;
    o.export_folder_GDT = folder;
    o.export_sub_dir = false;
    o.export_tags_local = true;
    o.load_model_textures = false;
    worker.SetExportSettings(o);
    worker.SetModelGame(Cod4);
    worker.Start(dir_.path());
    worker.AddJob(model_, job::kLoad | job::kSurfaces | job::kExportXE | job::kExportOBJ | job::kExportMA |
                              job::kExportGLTF | job::kExportGLB | job::kDumpGDT | job::kDumpTags |
                              job::kStaticTagFiles | job::kMoveImages);
    worker.WaitIdle();
    std::vector<JobReport> reports = worker.TakeReports();
    worker.Stop();
    return reports.empty() ? JobReport{} : reports[0];
  }

  test_support::TempDir dir_;
  std::string model_;
};

TEST_F(FullDiskTest, FullDiskLeavesOnlyWholeFilesAndTheStepNamesTheCause) {
  const JobReport whole = Export(dir_.Sub("reference"));
  ASSERT_FALSE(whole.failed());
  const std::map<std::string, std::string> reference = Files(dir_.Sub("reference"));
  // xe, obj, mtl, ma, mel, gltf, bin, glb, gdt, html, two pictures, images
  ASSERT_GE(reference.size(), 13u);

  SmallDisk disk(dir_.Sub("disk"));
  if (!disk.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";
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
  const std::string big = fixture::WriteModel(dir_.Sub("game"), fixture::MakeBigModel(8, 32000, 4));
  ASSERT_FALSE(big.empty());
  Xmodel model;
  model.game = Cod4;
  ASSERT_EQ(model.LoadxmodelFull(big), err::kSuccess);
  ASSERT_EQ(model.LoadSurface(), err::kSuccess);
  const std::string out = dir_.Sub("killed");
  fs::create_directories(out);
  const std::string final_name = out + "/" + model.lods[0].surf_name + ".XMODEL_EXPORT";

  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) ::_exit(ExportXE(model, out) == err::kSuccess ? 0 : 1);
  // Killed once its temporary file is there (or after it finished).
  for (int i = 0; i < 2000; ++i) {
    bool writing = false;
    for (const auto& e : fs::directory_iterator(out)) writing |= e.path().filename().string().find(".vantor-tmp-") != std::string::npos;
    if (writing || fs::exists(final_name)) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ::kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  if (WIFEXITED(status)) {
    ASSERT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(Files(out)[model.lods[0].surf_name + ".XMODEL_EXPORT"].find("BLINN -1.000000"), std::string::npos)
        << "finished, so whole";
  } else {
    EXPECT_FALSE(fs::exists(final_name)) << "a killed export left a file under its final name";
  }
}

}  // namespace
