// OBJ and MTL writer (its bytes, line ends included, are pinned in
// writer_bytes_test): the MTL's material and map lists, refused names, the
// model left untouched, and Assimp reading the files back (the map lines
// are checked against the texture export elsewhere).
#include <gtest/gtest.h>

#include <array>
#include <regex>
#include <set>

#include "base/export_settings.h"
#include "tests/export/export_test_support.h"
#include "tools/fixture/sample_tree.h"

namespace {

using namespace export_test;

class ObjWriterTest : public ExportTest {
 protected:
  std::string ExportedObj(const ExportSettings& settings = {}) {
    EXPECT_EQ(model_.ExportOBJ(Out(), settings), err::kSuccess);
    return ReadText(OutFile(model_.lods[0].surf_name + ".obj"));
  }
  std::string Mtl() { return ReadText(OutFile(model_.lods[0].surf_name + ".mtl")); }
};

TEST_F(ObjWriterTest, EveryLayoutLeavesTheModelAlone) {
  const fixture::ModelFiles models[] = {fixture::MakePropModel("crate", Cod5), fixture::MakeSoldierModel("soldier", BO),
                                        fixture::MakeBarrelModel("barrel")};
  for (const fixture::ModelFiles& files : models) {
    Load(files, 2.54f);
    ModelSnapshot before(model_);
    ExportedObj();
    EXPECT_TRUE(before.Same(model_)) << files.name;
    EXPECT_FALSE(model_.busy);
  }
}

// Each material once; a map is listed once however often its material
// names it, and only when its image exists (the fixture's colour maps are
// always listed).
TEST_F(ObjWriterTest, MtlListsEachMaterialAndImageOnce) {
  fixture::ModelFiles files = fixture::MakeSoldierModel("soldier", Cod4);
  files.materials[0].slots = {{"colorMap", "~body_col"}, {"colorMap", "~body_col"}, {"normalMap", "body_nml"}};
  Load(files);
  ExportedObj();
  const std::string mtl = Mtl();
  EXPECT_TRUE(mtl.starts_with(OnDisk("newmtl mtl_soldier_body\nKd 1.0000 1.0000 1.0000\nNs 1\nillum 0\n"
                                     "map_Kd images/_body_col.dds\n\nnewmtl mtl_soldier_head\n")));
  size_t newmtl = 0;
  for (const std::string& line : Lines(mtl)) newmtl += line.rfind("newmtl ", 0) == 0;
  EXPECT_EQ(newmtl, 3u);
}

TEST_F(ObjWriterTest, WithoutMtlTheObjStillNamesIt) {
  Load(fixture::MakePropModel("crate", Cod4));
  ExportSettings settings;
  settings.export_MTL = false;
  ExportWritten written;
  ASSERT_EQ(model_.ExportOBJ(Out(), settings, &written), err::kSuccess);
  EXPECT_FALSE(fs::exists(OutFile("crate_lod0.mtl")));
  EXPECT_NE(ReadText(OutFile("crate_lod0.obj")).find("mtllib crate_lod0.mtl\r\r\n"), std::string::npos);
  EXPECT_EQ(written, ExportWritten{OutFile("crate_lod0.obj").string()});

  settings.export_MTL = true;
  written.clear();
  ASSERT_EQ(model_.ExportOBJ(Out(), settings, &written), err::kSuccess);
  EXPECT_EQ(written, (ExportWritten{OutFile("crate_lod0.obj").string(), OutFile("crate_lod0.mtl").string()}));
}

TEST_F(ObjWriterTest, RefusesNamesThatWouldBreakALine) {
  Load(fixture::MakePropModel("crate", Cod4));
  model_.lods[0].materials[0] = "mtl\nf 1 2 3";
  EXPECT_EQ(model_.ExportOBJ(Out()), err::kFileNotValid);
  EXPECT_FALSE(fs::exists(OutFile("crate_lod0.obj")));
  model_.lods[0].materials[0] = "mtl_crate";
  model_.name = "crate\nf 1 2 3";
  EXPECT_EQ(model_.ExportOBJ(Out()), err::kFileNotValid);
  model_.name = "crate";
  model_.material_library.entries[0].images[0].dds_file = "col\nnewmtl x.dds";
  EXPECT_EQ(model_.ExportMTL(Out()), err::kFileNotValid);
  EXPECT_FALSE(fs::exists(OutFile("crate_lod0.mtl")));
  fs::create_directories(OutFile("crate_lod0.obj"));  // a folder where the file should be
  EXPECT_EQ(model_.ExportOBJ(Out()), err::kCantOpen);
  EXPECT_FALSE(model_.busy);
}

// ------------------------------------------------------------ Assimp

struct AssimpInfo {
  std::array<int, 3> counts = {-1, -1, -1};  // meshes, vertices, faces
  std::set<std::string> materials;
};

AssimpInfo ReadWithAssimp(const fs::path& obj, bool raw) {
  AssimpInfo info;
  std::string text = RunCommand("cd '" + obj.parent_path().string() + "' && assimp info '" + obj.filename().string() +
                         "'" + (raw ? " -r" : "") + " 2>&1");
  std::smatch m;
  const char* what[] = {"Meshes", "Vertices", "Faces"};
  for (size_t i = 0; i < 3; ++i)
    if (std::regex_search(text, m, std::regex(std::string("\n") + what[i] + R"(:\s+(\d+))"))) info.counts[i] = std::stoi(m[1]);
  std::regex named(R"(\n    '([^']*)' \(prop\))");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), named); it != std::sregex_iterator(); ++it)
    info.materials.insert((*it)[1]);
  return info;
}

TEST_F(ObjWriterTest, AssimpReadsTheMeshesVerticesFacesAndMaterials) {
  if (!HaveProgram("assimp")) GTEST_SKIP() << "assimp (Debian assimp-utils) is not installed";
  const fixture::ModelFiles models[] = {fixture::MakePropModel("crate", Cod4),
                                        fixture::MakeSoldierModel("soldier", Cod5), fixture::MakeBarrelModel("barrel")};
  for (const fixture::ModelFiles& files : models) {
    Load(files);
    ExportedObj();
    int vertices = 0, faces = 0;
    for (const XmodelSurface& s : model_.lods[0].surfaces) {
      vertices += s.vertex_count;
      faces += s.triangle_count;
    }
    const fs::path obj = OutFile(model_.lods[0].surf_name + ".obj");
    // A raw import keeps a vertex per face corner; the default one welds
    // them back into the model's own vertices.
    const int meshes = int(model_.lods[0].surfaces.size());
    AssimpInfo raw = ReadWithAssimp(obj, true);
    EXPECT_EQ(raw.counts, (std::array<int, 3>{meshes, 3 * faces, faces})) << files.name;
    EXPECT_EQ(ReadWithAssimp(obj, false).counts, (std::array<int, 3>{meshes, vertices, faces})) << files.name;
    for (const std::string& name : model_.lods[0].unique_materials)
      EXPECT_TRUE(raw.materials.count(name)) << name << " not read from the MTL of " << files.name;
  }
}

// OBJ readers end a material name at the first blank: a blank becomes "_"
// in `usemtl` and `newmtl` alike, numbered on when that meets another name;
// every other name, "~" and "/" included, is written as stored, and the
// maps still name the real image files.
TEST_F(ObjWriterTest, MaterialNamesWithBlanksStayOneWordForAssimp) {
  fixture::ModelFiles files = fixture::MakeSoldierModel("soldier", Cod4);
  const char* names[] = {"metal x", "mc/foo~1", "metal_x"};
  for (size_t k = 0; k < 3; ++k) files.materials[k].name = names[k];
  fixture::MaterialBlock block{{"metal x", "mc/foo~1", "metal_x", "metal_x"}};
  files.xmodel.materials = {block, block};
  Load(files);
  const std::string obj = ExportedObj();
  const std::string mtl = Mtl();
  auto listed = [](const std::string& text, const std::string& keyword) {
    std::vector<std::string> out;
    for (const std::string& line : Lines(text))
      if (line.rfind(keyword, 0) == 0) out.push_back(line.substr(keyword.size()));
    return out;
  };
  EXPECT_EQ(listed(obj, "usemtl "), (std::vector<std::string>{"metal_x1", "mc/foo~1", "metal_x", "metal_x"}));
  EXPECT_EQ(listed(mtl, "newmtl "), (std::vector<std::string>{"metal_x1", "mc/foo~1", "metal_x"}));
  EXPECT_NE(mtl.find("newmtl metal_x1\r\nKd 1.0000 1.0000 1.0000\r\nNs 1\r\nillum 0\r\nmap_Kd images/soldier_body_col.dds"),
            std::string::npos);

  if (!HaveProgram("assimp")) GTEST_SKIP() << "assimp (Debian assimp-utils) is not installed";
  std::set<std::string> read = ReadWithAssimp(OutFile("soldier_lod0.obj"), true).materials;
  read.erase("DefaultMaterial");  // Assimp's own
  EXPECT_EQ(read, (std::set<std::string>{"metal_x1", "mc/foo~1", "metal_x"}));
}

}  // namespace
