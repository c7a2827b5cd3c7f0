// MEL bind script: rigid binds, the vertex runs and weight lines, and a
// structural read in place of Maya: procedures defined
// before they are called, every skinPercent on a mesh of the scene and a
// bone of the model that its binder put into the skin cluster.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>

#include "tests/export/export_test_support.h"
#include "tools/fixture/sample_tree.h"

namespace {

using namespace export_test;

::testing::AssertionResult ScriptIsSound(const std::string& script, const Xmodel& m) {
  std::set<std::string> defined, bones;
  for (const XmodelBone& b : m.bones) bones.insert(b.name);
  const size_t meshes = m.lods[0].surfaces.size();
  std::string binder;        // the smooth binder being read
  std::set<std::string> selected;
  int braces = 0;
  static const std::regex proc(R"(^global proc (?:string )?(\w+)\()");
  static const std::regex call(R"(^\s*(?:catch\()?(\w+)\(\)\)?;$)");
  static const std::regex select(R"(^\tselect -add (\w+);$)");
  static const std::regex percent(R"(^\t\t?skinPercent -tv (\w+) [0-9.]+ \$cluster QorMesh_(\d+)\.vtx\[\d+(?::\d+)?\];$)");
  static const std::regex rigid(R"(^\tskinCluster -tsb -mi 1 (\w+) QorMesh_(\d+);$)");
  std::smatch mt;
  for (const std::string& line : Lines(script)) {
    for (char c : line) braces += c == '{' ? 1 : c == '}' ? -1 : 0;
    if (braces < 0) return ::testing::AssertionFailure() << "unbalanced braces at " << line;
    if (std::regex_search(line, mt, proc)) {
      defined.insert(mt[1]);
      binder = mt[1];
      selected.clear();
    } else if (std::regex_match(line, mt, call)) {
      if (!defined.count(mt[1]) && mt[1] != "print")
        return ::testing::AssertionFailure() << mt[1] << " called before it is defined";
    } else if (std::regex_match(line, mt, select)) {
      selected.insert(mt[1]);
    } else if (line.find("skinPercent") != std::string::npos) {
      if (!std::regex_match(line, mt, percent)) return ::testing::AssertionFailure() << "malformed: " << line;
      if (!bones.count(mt[1])) return ::testing::AssertionFailure() << mt[1] << " is not a bone of the model";
      if (!selected.count(mt[1])) return ::testing::AssertionFailure() << mt[1] << " is not in the cluster of " << binder;
      if (std::stoul(mt[2]) >= meshes || binder != "QorMesh_" + std::string(mt[2]) + "_SmoothBinder")
        return ::testing::AssertionFailure() << "skinPercent on the wrong mesh: " << line;
    } else if (line.find("skinCluster -tsb") != std::string::npos) {
      if (!std::regex_match(line, mt, rigid) || !bones.count(mt[1]) || std::stoul(mt[2]) >= meshes)
        return ::testing::AssertionFailure() << "bad rigid bind: " << line;
    }
  }
  if (braces != 0) return ::testing::AssertionFailure() << "unbalanced braces";
  return ::testing::AssertionSuccess();
}

// A weighted surface over three bones: `primaries` gives each vertex's own
// bone, `extras` the influences of the vertices that have them.
fixture::ModelFiles WeightedModel(const std::vector<int16_t>& primaries,
                                  const std::map<size_t, std::vector<fixture::Influence>>& extras) {
  fixture::ModelFiles files = fixture::MakePropModel("skin", Cod4);
  files.parts.bones = {{"tag_origin"}, {"j_a"}, {"j_b"}};
  files.parts.bones[1].parent = 0;
  files.parts.bones[2].parent = 0;
  fixture::SurfsSurface s;
  for (size_t k = 0; k < primaries.size(); ++k) {
    fixture::SurfsVertex v;
    v.primary_bone = primaries[k];
    if (auto it = extras.find(k); it != extras.end()) v.influences = it->second;
    s.vertices.push_back(v);
  }
  s.triangles = {{0, 0, 0}};
  s.bone_table = fixture::ListTable({{uint16_t(primaries.size() - 1), 1}, {1, 2}});
  files.surfs[0].surfaces = {s};
  return files;
}

class MelBindWriterTest : public ExportTest {
 protected:
  std::string Exported() {
    EXPECT_EQ(model_.ExportMABind(Out()), err::kSuccess);
    return ReadText(OutFile(model_.lods[0].surf_name + "_bind.mel"));
  }
  // The folder is not made beforehand: the script makes it when written
  // on its own.
};

TEST_F(MelBindWriterTest, RigidMeshesBindWholeAndRunsBecomeRanges) {
  Load(fixture::MakeBarrelModel("barrel"));
  model_.lods[0].surfaces[0].weighted = false;  // Black Ops surfaces always carry weights; make both rigid
  model_.lods[0].surfaces[1].weighted = false;
  std::string text = Exported();
  EXPECT_NE(text.find("\tskinCluster -tsb -mi 1 tag_origin QorMesh_0;\r\n"), std::string::npos);
  EXPECT_NE(text.find("\tskinCluster -tsb -mi 1 tag_origin QorMesh_1;\r\n}\r\n\r\nRunMeshBinds();"), std::string::npos);
  EXPECT_EQ(text.find("SmoothBinder"), std::string::npos);
  EXPECT_FALSE(model_.busy);

  // 0..9 on j_a, 10..11 on j_b, 12 on j_a alone, 13 on j_b with two
  // influences, 14 on j_b.
  std::vector<int16_t> primaries(10, 1);
  primaries.insert(primaries.end(), {2, 2, 1, 2, 2});
  Load(WeightedModel(primaries, {{13, {{1, 16384}, {0, 65535}}}}));
  text = Exported();
  EXPECT_NE(text.find(OnDisk("\tskinPercent -tv j_a 1.0 $cluster QorMesh_0.vtx[0:9];\n"
                             "\tskinPercent -tv j_b 1.0 $cluster QorMesh_0.vtx[10:11];\n"
                             "\tskinPercent -tv j_a 1.0 $cluster QorMesh_0.vtx[12];\n"
                             "\tskinPercent -tv j_b 1.0 $cluster QorMesh_0.vtx[13];\n"
                             "\t\tskinPercent -tv j_a 0.25000 $cluster QorMesh_0.vtx[13];\n"
                             "\t\tskinPercent -tv tag_origin 1.00000 $cluster QorMesh_0.vtx[13];\n"
                             "\tskinPercent -tv j_b 1.0 $cluster QorMesh_0.vtx[14];\n")),
            std::string::npos);
  EXPECT_TRUE(text.ends_with(OnDisk("\tcatch(QorMesh_0_SmoothBinder());\n}\n\nRunMeshBinds();\nQorsPerfectBind();")));
  EXPECT_TRUE(ScriptIsSound(text, model_));
}

// Every bone a weight line names is put into the skin cluster first, even
// one the surface's table does not list with vertices of its own (here the
// table names j_a and j_b; tag_origin owns vertices too).
TEST_F(MelBindWriterTest, EveryWeightedBoneIsInTheCluster) {
  Load(WeightedModel({1, 1, 0, 0, 2}, {}));
  const std::string text = Exported();
  EXPECT_NE(text.find("\tselect -add j_a;\r\n\tselect -add j_b;\r\n\tselect -add tag_origin;\r\n\tnewSkinCluster"),
            std::string::npos);
  EXPECT_TRUE(ScriptIsSound(text, model_));

  // A one-vertex mesh still writes its vertex.
  Load(WeightedModel({2, 1}, {}));  // the table's first entry ends before the last vertex
  model_.lods[0].surfaces[0].vertices.resize(1);
  model_.lods[0].surfaces[0].influences.resize(1);
  model_.lods[0].surfaces[0].vertex_count = 1;
  EXPECT_NE(Exported().find("\tskinPercent -tv j_b 1.0 $cluster QorMesh_0.vtx[0];\r\n\r\n\tcout(\"QorMesh_0 Binds"),
            std::string::npos);
}

TEST_F(MelBindWriterTest, FixtureAndSampleScriptsAreSound) {
  for (GameVersion layout : {Cod4, Cod5, BO}) {
    Load(fixture::MakeSoldierModel("soldier", layout));
    EXPECT_TRUE(ScriptIsSound(Exported(), model_)) << "layout " << layout;
  }
  const fs::path samples = fs::path(VANTOR_SOURCE_DIR) / ".." / "shared" / "samples";
  if (!fs::exists(samples)) GTEST_SKIP() << "no ../shared/samples";
  int checked = 0;
  const std::pair<const char*, GameVersion> trees[] = {{"cod4-modtools", Cod4}, {"cod4-deathrun", Cod4}, {"bo-t7mod", BO}};
  for (const auto& [tree, game] : trees)
    for (const auto& entry : fs::directory_iterator(samples / tree / "raw" / "xmodel")) {
      Xmodel m;
      m.game = game;
      if (m.LoadxmodelFull(entry.path().string()) != err::kSuccess || m.LoadSurface() != err::kSuccess) continue;
      ASSERT_EQ(m.ExportMABind(Out()), err::kSuccess) << entry.path();
      EXPECT_TRUE(ScriptIsSound(ReadText(OutFile(m.lods[0].surf_name + "_bind.mel")), m)) << entry.path();
      ++checked;
    }
  EXPECT_GT(checked, 8);
}

// The scene makes no joint of a bone without a name (real props have such
// a root), so a mesh on it is left unbound instead of binding to "".
TEST_F(MelBindWriterTest, RigidMeshOnAnUnnamedBoneIsLeftUnbound) {
  fixture::ModelFiles files = fixture::MakePropModel("tree", Cod4);
  files.parts.bones[0].name = "";
  Load(files);
  const std::string text = Exported();
  EXPECT_NE(text.find(OnDisk("\t// Full mesh binds\n\t// QorMesh_0: its bone has no name, nothing to bind to\n}\n")),
            std::string::npos);
  EXPECT_TRUE(ScriptIsSound(text, model_));
}

// A bone name Maya cannot take is bound under the name the scene gives its
// joint, so a ";" cannot end the command (line breaks: see the scene's tests).
TEST_F(MelBindWriterTest, MapsBoneNamesMayaCannotTake) {
  Load(fixture::MakeSoldierModel("soldier", Cod4));
  model_.bones[2].name = "j_hip;delete";
  const std::string text = Exported();
  EXPECT_NE(text.find("\tselect -add j_hip_delete;\r\n"), std::string::npos);
  EXPECT_EQ(text.find("j_hip;"), std::string::npos);
}

}  // namespace
