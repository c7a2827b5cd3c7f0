// Every model exporter through one table (the bytes themselves, and what
// Assimp and the Khronos validator read of them, are in writer_bytes_test):
// the files each writes and reports, what each refuses before a byte is
// written (a model not loaded through its surfaces, an index past the
// vertices, a name that would break a line or leave the folder, a folder in
// a file's place), and the settings that change the files.
#include <gtest/gtest.h>

#include <functional>
#include <regex>

#include "export/model_exports.h"
#include "base/export_settings.h"
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

}  // namespace
