// Maya ASCII writer (its bytes are pinned in writer_bytes_test): awkward
// names, refusals, the bind script's failure, and a structural read of the
// whole scene in place of Maya (node names valid and created once, parents
// and connected nodes created first, one edge row and one face per
// triangle) over the fixtures and the real samples; the bind script naming
// the scene's nodes.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>

#include "base/export_settings.h"
#include "tests/export/export_test_support.h"
#include "tests/shell/shell_test_support.h"
#include "tools/fixture/sample_tree.h"

namespace {

using namespace export_test;

// `joints` receives the names of the joints the scene creates.
::testing::AssertionResult SceneIsSound(const std::string& scene, const Xmodel& m,
                                        std::set<std::string>* joints = nullptr) {
  static const std::regex create(R"re(^createNode (\w+)(?: -s)? -n "([^"]*)"(?: -p "([^"]*)")?;$)re");
  static const std::regex valid("[A-Za-z_][A-Za-z0-9_]*");
  static const std::regex connect(R"re(^(?:if\(getAttr\("\w+\.\w+"\)\) )?connectAttr "?([^". ]*)\.\S* "?([^". ]*)\.)re");
  static const std::regex edge_row(R"(^\t\d+ \d+ 0 \d+ \d+ 0 \d+ \d+ 0;?$)");
  std::set<std::string> created, joint_names;
  std::map<std::string, std::pair<int, int>> rows;  // mesh shape -> edge rows, faces
  std::string shape;
  std::smatch mt;
  for (const std::string& line : Lines(scene)) {
    if (line.rfind("//", 0) == 0) continue;
    size_t quotes = 0;
    for (size_t i = 0; i < line.size(); ++i) quotes += line[i] == '"' && (i == 0 || line[i - 1] != '\\');
    if (quotes % 2) return ::testing::AssertionFailure() << "unbalanced quote: " << line;
    if (std::regex_match(line, mt, create)) {
      const std::string kind = mt[1], name = mt[2], parent = mt[3];
      if (!std::regex_match(name, valid)) return ::testing::AssertionFailure() << "not a node name: " << name;
      if (!created.insert(name).second) return ::testing::AssertionFailure() << name << " is created twice";
      if (!parent.empty() && !created.count(parent))
        return ::testing::AssertionFailure() << name << " hangs under " << parent << ", not created before";
      if (kind == "joint" && parent.empty()) return ::testing::AssertionFailure() << "joint without parent";
      if (kind == "joint") joint_names.insert(name);
      shape = kind == "mesh" ? name : "";
    } else if (line.rfind("createNode", 0) == 0) {
      return ::testing::AssertionFailure() << "malformed: " << line;
    } else if (std::regex_search(line, mt, connect)) {
      for (const std::string& node : {std::string(mt[1]), std::string(mt[2])})
        if (!node.empty() && node[0] != ':' && !created.count(node))
          return ::testing::AssertionFailure() << "connectAttr names " << node << ", which is not created";
    } else if (!shape.empty()) {
      rows[shape].first += std::regex_match(line, edge_row);
      rows[shape].second += line.rfind("\tf 3 ", 0) == 0;
    }
  }
  const XmodelLod& lod = m.lods[0];
  for (size_t i = 0; i < lod.surfaces.size(); ++i) {
    const auto [edges, faces] = rows["MeshShape_" + std::to_string(i)];
    if (edges != lod.surfaces[i].triangle_count || faces != lod.surfaces[i].triangle_count)
      return ::testing::AssertionFailure() << "MeshShape_" << i << ": " << edges << " edge rows, " << faces << " faces";
  }
  size_t named = 0;
  for (const XmodelBone& b : m.bones) named += !b.name.empty();
  if (joint_names.size() != named)
    return ::testing::AssertionFailure() << joint_names.size() << " joints for " << named << " named bones";
  if (joints) *joints = joint_names;
  return ::testing::AssertionSuccess();
}

// Every joint the bind script binds to is one the scene creates, and every
// mesh it binds is a mesh transform of the scene.
::testing::AssertionResult ScriptBindsTheSceneNodes(const std::string& script, const std::set<std::string>& joints,
                                                    size_t meshes) {
  static const std::regex joint(R"(^\t(?:select -add |\t?skinPercent -tv |skinCluster -tsb -mi 1 )([^\s;]+))");
  static const std::regex mesh(R"(QorMesh_(\d+)[ ;".])");
  std::smatch mt;
  for (const std::string& line : Lines(script)) {
    if (std::regex_search(line, mt, joint) && !joints.count(mt[1]))
      return ::testing::AssertionFailure() << "no joint " << mt[1] << ": " << line;
    for (auto it = std::sregex_iterator(line.begin(), line.end(), mesh); it != std::sregex_iterator(); ++it)
      if (std::stoul((*it)[1]) >= meshes) return ::testing::AssertionFailure() << "no such mesh: " << line;
  }
  return ::testing::AssertionSuccess();
}

class MaWriterTest : public ExportTest {
 protected:
  std::string Exported(const ExportSettings& settings = {}) {
    EXPECT_EQ(model_.ExportMA(Out(), settings), err::kSuccess);
    return ReadText(OutFile(model_.lods[0].surf_name + ".ma"));
  }
  bool Has(const std::string& raw, const std::string& text) { return raw.find(OnDisk(text)) != std::string::npos; }
};

TEST_F(MaWriterTest, FixtureScenesAreSoundAndLeaveTheModelAlone) {
  const fixture::ModelFiles models[] = {fixture::MakeSoldierModel("soldier", Cod4), fixture::MakePropModel("crate", Cod5),
                                        fixture::MakeBarrelModel("barrel")};
  for (const fixture::ModelFiles& files : models) {
    Load(files, 2.54f);
    ModelSnapshot before(model_);
    const std::string raw = Exported();
    EXPECT_TRUE(before.Same(model_));
    EXPECT_FALSE(model_.busy);
    EXPECT_TRUE(SceneIsSound(raw, model_)) << files.name;
  }
}

// A material without a colour map still gets the nodes its links name,
// and one with two colour slots gets them once; joints with no name are
// not created, so nothing hangs under them; a right-angle pitch past 1 by
// rounding stays 90 degrees.
TEST_F(MaWriterTest, MissingColourMapUnnamedBonesAndRightAnglePitchStaySound) {
  fixture::ModelFiles files = fixture::MakeSoldierModel("soldier", Cod4);
  files.materials[0].slots = {{"normalMap", "soldier_body_nml"}};
  files.materials[1].slots.push_back({"Diffuse_MapSampler", files.materials[1].slots[0].image});
  Load(files);
  model_.bones[1].name.clear();  // j_mainroot: hips and spine hang under it
  model_.bones[2].rotation[0] = 0, model_.bones[2].rotation[2] = 0;
  model_.bones[2].rotation[1] = 0.70712, model_.bones[2].rotation[3] = 0.70712;
  const std::string raw = Exported();
  EXPECT_TRUE(SceneIsSound(raw, model_));
  EXPECT_NE(raw.find("\tsetAttr \".ftn\" -type \"string\" \"\";"), std::string::npos);
  EXPECT_TRUE(Has(raw, "createNode joint -n \"j_hip_le\" -p \"Joints\";\n"));
  EXPECT_TRUE(Has(raw, "setAttr \".jo\" -type \"double3\" 0.000000 90.000000 0.000000;"));
}

TEST_F(MaWriterTest, BindScriptComesFirstAndItsFailureOnlyLogs) {
  Load(fixture::MakeSoldierModel("soldier", Cod4));
  ExportWritten written;
  ASSERT_EQ(model_.ExportMA(Out(), {}, &written), err::kSuccess);
  EXPECT_EQ(written, (ExportWritten{OutFile("soldier_lod0_bind.mel").string(), OutFile("soldier_lod0.ma").string()}));

  fs::remove(OutFile("soldier_lod0_bind.mel"));
  fs::create_directories(OutFile("soldier_lod0_bind.mel"));  // a folder in its place
  shell_test::LogCapture log;
  written.clear();
  EXPECT_EQ(model_.ExportMA(Out(), {}, &written), err::kSuccess);
  EXPECT_TRUE(log.Contains("^1Mel Error^7: Can't Open File"));
  EXPECT_EQ(written, ExportWritten{OutFile("soldier_lod0.ma").string()});
  EXPECT_FALSE(model_.busy);

  ExportSettings no_bind;
  no_bind.export_MA_BIND = false;
  fs::remove_all(Out());
  EXPECT_EQ(model_.ExportMA(Out(), no_bind), err::kSuccess);
  EXPECT_FALSE(fs::exists(OutFile("soldier_lod0_bind.mel")));
}

// Names the games allow and Maya does not take as node names: "~", "/", a
// blank, a leading digit, two that meet once mapped, a camera's name, one
// of a material's own nodes, a bone name given twice, and a surf_name.
TEST_F(MaWriterTest, AwkwardNamesBecomeUniqueNodesThatSceneAndBindScriptShare) {
  fixture::ModelFiles files = fixture::MakeSoldierModel("soldier", Cod4);
  const char* materials[] = {"metal~x", "mc/foo", "metal x"};
  for (size_t k = 0; k < 3; ++k) files.materials[k].name = materials[k];
  fixture::MaterialBlock block{{"metal~x", "mc/foo", "metal x", "metal x"}};
  files.xmodel.materials = {block, block};
  const std::pair<size_t, const char*> bones[] = {{2, "tag weapon"}, {3, "1st_knee"},  {4, "tag~weapon"},
                                                  {10, "persp"},     {14, "metal_xSG"}, {24, "tag_weapon_right"}};
  for (const auto& [index, name] : bones) files.parts.bones[index].name = name;
  Load(files);
  model_.lods[0].surf_name = "2soldier lod~0";
  ModelSnapshot before(model_);
  const std::string raw = Exported();
  std::set<std::string> joints;
  ASSERT_TRUE(SceneIsSound(raw, model_, &joints));
  EXPECT_TRUE(before.Same(model_));
  // Valid names are claimed first: the bone "metal_xSG" keeps its name and
  // pushes "metal~x" (whose engine would be "metal_xSG") on to "metal_x1".
  for (const char* node : {"metal_x1", "mc_foo", "metal_x2"})
    EXPECT_TRUE(Has(raw, "createNode shadingEngine -n \"" + std::string(node) + "SG\";\n")) << node;
  for (const char* joint : {"tag_weapon", "_1st_knee", "tag_weapon1", "persp1", "metal_xSG", "tag_weapon_right1"})
    EXPECT_TRUE(joints.count(joint)) << joint;
  EXPECT_TRUE(Has(raw, "connectAttr \"tag_weapon.s\" \"_1st_knee.is\";\n"));
  // Comments and the file name keep the real names.
  EXPECT_TRUE(Has(raw, "// Material: mc/foo\ncreateNode shadingEngine -n \"mc_fooSG\";\n"));
  EXPECT_TRUE(Has(raw, "//Name: 2soldier lod~0.ma\n"));
  EXPECT_NE(raw.find("createNode transform -n \"QorMesh_0\" -p \"Qor_2soldier_lod_0\";"), std::string::npos);

  const std::string script = ReadText(OutFile("2soldier lod~0_bind.mel"));
  EXPECT_TRUE(ScriptBindsTheSceneNodes(script, joints, model_.lods[0].surfaces.size()));
  EXPECT_NE(script.find("\tselect -add tag_weapon1;"), std::string::npos);
  EXPECT_EQ(Exported(), raw);  // the same names every time
}

// What no mapping makes safe is still refused: a line break would end a
// comment or a MEL string (a surf_name that leaves the folder: export_guards).
TEST_F(MaWriterTest, RefusesNamesThatBreakALine) {
  Load(fixture::MakeSoldierModel("soldier", Cod4));
  ModelSnapshot before(model_);
  model_.bones[3].name = "j_knee\n\" -p \"persp";
  EXPECT_EQ(model_.ExportMA(Out()), err::kFileNotValid);
  EXPECT_EQ(model_.ExportMABind(Out()), err::kFileNotValid);
  model_.bones[3].name = "j_knee_le";
  model_.lods[0].materials[1] = model_.lods[0].unique_materials[1] = "mtl\rhead";
  EXPECT_EQ(model_.ExportMA(Out()), err::kFileNotValid);
  model_.lods[0].materials[1] = model_.lods[0].unique_materials[1] = "mtl_soldier_head";
  EXPECT_FALSE(fs::exists(Out()) && !fs::is_empty(Out()));
  EXPECT_TRUE(before.Same(model_));
}

TEST(MaWriterRealFiles, EverySampleSceneIsSound) {
  const fs::path samples = fs::path(VANTOR_SOURCE_DIR) / ".." / "shared" / "samples";
  if (!fs::exists(samples)) GTEST_SKIP() << "no ../shared/samples";
  const fs::path out = fs::path(::testing::TempDir()) / ("vantor_exp_ma_real_" + std::to_string(::getpid()));
  const std::pair<const char*, GameVersion> trees[] = {{"cod4-modtools", Cod4}, {"cod4-deathrun", Cod4},
                                                       {"cod4-surf", Cod4}, {"bo-t7mod", BO}};
  int checked = 0;
  for (const auto& [tree, game] : trees) {
    for (const auto& entry : fs::directory_iterator(samples / tree / "raw" / "xmodel")) {
      Xmodel m;
      m.game = game;
      if (m.LoadxmodelFull(entry.path().string()) != err::kSuccess || m.LoadSurface() != err::kSuccess) continue;
      ASSERT_EQ(m.ExportMA(out.string()), err::kSuccess) << entry.path();
      std::set<std::string> joints;
      EXPECT_TRUE(SceneIsSound(ReadText(out / (m.lods[0].surf_name + ".ma")), m, &joints)) << entry.path();
      EXPECT_TRUE(ScriptBindsTheSceneNodes(ReadText(out / (m.lods[0].surf_name + "_bind.mel")), joints,
                                           m.lods[0].surfaces.size()))
          << entry.path();
      ++checked;
    }
  }
  EXPECT_GT(checked, 10);
  fs::remove_all(out);
}

}  // namespace
