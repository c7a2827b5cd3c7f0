// Every model exporter through one table (the bytes themselves are pinned in
// writer_bytes_test): the files each writes and reports, the model left
// untouched, what each refuses before a byte is written (a model not loaded
// through its surfaces, an index past the vertices, a name that would break
// a line or leave the folder, a folder in a file's place), the settings that
// change the files, and the real readers: Assimp and the Khronos validator.
#include <gtest/gtest.h>

#include <functional>
#include <regex>

#include "export/model_exports.h"
#include "base/export_settings.h"
#include "export/gdt_writer.h"
#include "tests/export/export_test_support.h"
#include "tests/shell/shell_test_support.h"
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
     [](Xmodel& m, const std::string& d, ExportWritten* w) {
       const ErrorCode code = ExportXE(m, d);
       if (code == err::kSuccess) w->push_back(d + "/" + m.lods[0].surf_name + ".XMODEL_EXPORT");
       return code;
     }},
    {"OBJ", {"soldier_lod0.obj", "soldier_lod0.mtl"}, kGeometry | kMaterialLines | kModelLines,
     [](Xmodel& m, const std::string& d, ExportWritten* w) { return ExportOBJ(m, d, {}, w); }},
    {"Maya", {"soldier_lod0_bind.mel", "soldier_lod0.ma"}, kGeometry | kBoneLines | kMaterialLines | kModelLines,
     [](Xmodel& m, const std::string& d, ExportWritten* w) { return ExportMA(m, d, {}, w); }},
    {"MEL", {"soldier_lod0_bind.mel"}, kGeometry | kBoneLines | kMaterialLines,
     [](Xmodel& m, const std::string& d, ExportWritten* w) { return ExportMABind(m, d, w); }},
    {"glTF", {"soldier_lod0.bin", "soldier_lod0.gltf"}, kGeometry,
     [](Xmodel& m, const std::string& d, ExportWritten* w) { return ExportGLTF(m, d, false, w); }},
    {"GLB", {"soldier_lod0.glb"}, kGeometry,
     [](Xmodel& m, const std::string& d, ExportWritten* w) { return ExportGLTF(m, d, true, w); }},
    {"GDT", {"soldier.gdt"}, kMaterialLines,
     [](Xmodel& m, const std::string& d, ExportWritten* w) { return DumpGDT(m, 0, d, {}, w); }},
    {"tags", {"soldier_tags.html"}, 0,
     [](Xmodel& m, const std::string& d, ExportWritten* w) { return DumpTags(m, d, w); }},
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

TEST_P(ExportersTest, WritesItsFilesAndLeavesTheModelAlone) {
  Load(fixture::MakeSoldierModel("soldier", Cod4), 2.54f);
  ModelSnapshot before(model_);
  ExportWritten written, want;
  ASSERT_EQ(Run(model_, &written), err::kSuccess);
  for (const std::string& name : GetParam().files) want.push_back(OutFile(name).string());
  EXPECT_EQ(written, want);
  for (const std::string& file : written) EXPECT_GT(fs::file_size(file), 0u) << file;
  EXPECT_TRUE(before.Same(model_));
  EXPECT_FALSE(model_.busy);
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
  ModelSnapshot before(model_);
  auto expect = [&](bool refused, const char* what) {
    const ErrorCode code = Run(model_);
    EXPECT_EQ(code != err::kSuccess, refused) << what << ": " << code;
    if (refused) {
      EXPECT_FALSE(AnyFile()) << what;
    }
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
  model_.name = "soldier";
  EXPECT_TRUE(before.Same(model_));
  EXPECT_FALSE(model_.busy);
}

// A model not loaded through its surfaces (a surface reader that refused a
// triangle index past its vertices included), an index changed in memory
// past the vertices, and a surf_name that leads out of the export folder.
TEST_P(ExportersTest, RefusesGeometryItCannotTrust) {
  if (!Carries(kGeometry)) GTEST_SKIP() << "no geometry";
  fixture::ModelFiles files = fixture::MakeSoldierModel("soldier", Cod4);
  files.surfs[0].surfaces[1].triangles[0][2] = uint16_t(files.surfs[0].surfaces[1].vertices.size());
  const std::string path = fixture::WriteModel((dir_ / "bad").string(), files);
  Xmodel empty, refused;
  EXPECT_EQ(Run(empty), err::kNotLoaded);
  refused.game = Cod4;
  ASSERT_EQ(refused.LoadxmodelFull(path), err::kSuccess);
  EXPECT_EQ(Run(refused), err::kNotLoaded);  // surfaces not read yet
  EXPECT_EQ(refused.LoadSurface(), err::kOutOfRange);
  EXPECT_EQ(Run(refused), err::kNotLoaded);
  EXPECT_FALSE(refused.busy);

  Load(fixture::MakeSoldierModel("soldier", Cod4));
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
  EXPECT_FALSE(fs::exists(dir_ / "escaped.obj"));
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

TEST_F(ExportTest, GdtWriterAddsTheExtensionOnceAndWritesNothingWhenClosed) {
  GdtWriter gdt;
  gdt.WriteMaterial("m", "", "", "");  // not open: nothing
  ASSERT_EQ(gdt.Open((dir_ / "named.gdt").string()), err::kSuccess);
  EXPECT_EQ(gdt.path(), (dir_ / "named.gdt").string());
  gdt.WriteModel("m", "a\\b", false);
  EXPECT_EQ(gdt.Close(), err::kSuccess);
  EXPECT_NE(ReadText(dir_ / "named.gdt").find("\"filename\" \"a\\\\b\""), std::string::npos);
  EXPECT_EQ(gdt.Close(), err::kNotLoaded);
  ASSERT_EQ(gdt.Open((dir_ / "plain").string()), err::kSuccess);
  EXPECT_EQ(gdt.Close(), err::kSuccess);
  EXPECT_TRUE(fs::exists(dir_ / "plain.gdt"));
}

// ------------------------------------------------------------ real readers

// The Khronos validator (tests/export/gltf/validate.sh installs it with npm
// on first use): every file without an error.
std::string ValidatorErrors(const std::vector<fs::path>& files) {
  std::string command = "bash '" + (fs::path(VANTOR_SOURCE_DIR) / "tests/export/gltf/validate.sh").string() + "'";
  for (const fs::path& f : files) command += " '" + f.string() + "'";
  int status = 0;
  const std::string out = RunCommand(command + " 2>&1", &status);
  // One report line per file; npm's words on a first install may come before.
  size_t reports = 0;
  for (size_t at = out.find("{\"file\":"); at != std::string::npos; at = out.find("{\"file\":", at + 1)) ++reports;
  if (status == 0 && reports == files.size()) return "";
  return "status " + std::to_string(status) + ":\n" + out;
}

// Every fixture of the sample tree and every real sample as OBJ, glTF and
// GLB: Assimp reads back each mesh, vertex, face and bone (a raw import
// keeps a vertex per face corner in OBJ, the model's own in glTF), and the
// validator finds no error in the glTF files.
TEST(ExportRealReaders, AssimpAndTheValidatorReadEveryFixtureAndSample) {
  const fs::path out = fs::path(::testing::TempDir()) / ("vantor_exp_real_" + std::to_string(::getpid()));
  fs::remove_all(out);
  std::vector<std::pair<std::string, GameVersion>> models;
  for (const std::string& path : fixture::WriteSampleTree((out / "fixtures").string()))
    models.emplace_back(path, path.find("/bo/") != std::string::npos     ? BO
                              : path.find("/cod5/") != std::string::npos ? Cod5
                                                                         : Cod4);
  ASSERT_GE(models.size(), 9u);
  const fs::path samples = fs::path(VANTOR_SOURCE_DIR) / ".." / "shared" / "samples";
  const std::pair<const char*, GameVersion> trees[] = {{"cod4-modtools", Cod4}, {"cod4-deathrun", Cod4},
                                                       {"cod4-surf", Cod4},      {"bo-t7mod", BO},
                                                       {"bo-ville", BO},         {"waw-santaraus", Cod5}};
  if (fs::exists(samples))
    for (const auto& [tree, game] : trees)
      for (const auto& entry : fs::directory_iterator(samples / tree / "raw" / "xmodel"))
        models.emplace_back(entry.path().string(), game);

  struct Read {
    fs::path file;
    unsigned long meshes, vertices, faces, bones;
  };
  std::vector<Read> reads;
  std::vector<fs::path> gltf;
  for (const auto& [path, game] : models) {
    Xmodel m;
    m.game = game;
    m.scale = 2.54f;
    if (m.LoadxmodelFull(path) != err::kSuccess || m.LoadSurface() != err::kSuccess) continue;
    const fs::path folder = out / "export" / std::to_string(reads.size());
    unsigned long vertices = 0, faces = 0;
    for (const XmodelSurface& s : m.lods[0].surfaces) vertices += s.vertices.size(), faces += s.triangles.size() / 3;
    const unsigned long meshes = m.lods[0].surfaces.size();
    ASSERT_EQ(ExportOBJ(m, folder.string()), err::kSuccess) << path;
    reads.push_back({folder / (m.lods[0].surf_name + ".obj"), meshes, 3 * faces, faces, 0});
    for (bool binary : {false, true}) {
      ASSERT_EQ(ExportGLTF(m, folder.string(), binary), err::kSuccess) << path;
      gltf.push_back(folder / (m.lods[0].surf_name + (binary ? ".glb" : ".gltf")));
      // Read raw, Assimp gives every mesh the skin's joints as its bones.
      reads.push_back({gltf.back(), meshes, vertices, faces, meshes * m.bones.size()});
    }
  }
  EXPECT_GE(gltf.size(), fs::exists(samples) ? 40u : 18u);
  EXPECT_EQ(ValidatorErrors(gltf), "");

  if (!HaveProgram("assimp")) GTEST_SKIP() << "assimp (Debian assimp-utils) is not installed";
  for (const Read& r : reads) {
    const std::string text = RunCommand("cd '" + r.file.parent_path().string() + "' && assimp info '" +
                                        r.file.filename().string() + "' -r 2>&1");
    auto number = [&](const char* what) {
      std::smatch m;
      return std::regex_search(text, m, std::regex(std::string("\n") + what + R"(:\s+(\d+))")) ? std::stoul(m[1]) : 0ul;
    };
    EXPECT_EQ(number("Meshes"), r.meshes) << r.file;
    EXPECT_EQ(number("Vertices"), r.vertices) << r.file;
    EXPECT_EQ(number("Faces"), r.faces) << r.file;
    EXPECT_EQ(number("Bones"), r.bones) << r.file;
  }
  fs::remove_all(out);
}

}  // namespace
