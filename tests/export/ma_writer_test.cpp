// Maya ASCII writer: the header and the fixed blocks (by their line counts
// and telling lines), the mesh and joint lines on small cases, and a structural read of the whole scene in place of Maya:
// statements closed, quotes balanced, every node name valid and created
// once, every connected node created, every joint under a created parent,
// 3T edges and T faces per mesh; the bind script naming the scene's nodes.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>

#include "export/export_settings.h"
#include "tests/export/export_test_support.h"
#include "tests/shell/shell_test_support.h"
#include "tools/fixture/sample_tree.h"

namespace {

using namespace export_test;

// ------------------------------------------------------------ the structural read

struct Statement {
  std::string text;
  std::vector<std::string> words;  // quoted words without their quotes
};

// Splits the scene (comment lines dropped) into ";"-ended statements.
::testing::AssertionResult ParseScene(const std::string& scene, std::vector<Statement>& out) {
  std::string code;
  for (const std::string& line : Lines(scene))
    if (line.rfind("//", 0) != 0) code += line + "\n";
  Statement st;
  std::string word;
  bool quoted = false;
  auto end_word = [&] {
    if (!word.empty()) st.words.push_back(word);
    word.clear();
  };
  for (size_t i = 0; i < code.size(); ++i) {
    char c = code[i];
    if (quoted) {
      if (c == '\\' && i + 1 < code.size()) {
        word += code[++i];
        continue;
      }
      if (c == '"') {
        quoted = false;
        st.words.push_back(word);
        word.clear();
        continue;
      }
      if (c == '\n') return ::testing::AssertionFailure() << "string runs over a line end: " << st.text;
      word += c;
    } else if (c == '"') {
      end_word();
      quoted = true;
    } else if (c == ';') {
      end_word();
      out.push_back(st);
      st = Statement();
      continue;
    } else if (std::isspace(static_cast<unsigned char>(c))) {
      end_word();
    } else {
      word += c;
    }
    st.text += c;
  }
  if (quoted) return ::testing::AssertionFailure() << "unbalanced quote";
  end_word();
  if (!st.words.empty()) return ::testing::AssertionFailure() << "statement without \";\": " << st.text;
  return ::testing::AssertionSuccess();
}

std::string Flag(const Statement& st, const std::string& flag) {
  for (size_t i = 0; i + 1 < st.words.size(); ++i)
    if (st.words[i] == flag) return st.words[i + 1];
  return "";
}

std::string NodeOf(const std::string& plug) { return plug.substr(0, plug.find('.')); }

bool IsNodeName(const std::string& name) {
  static const std::regex valid("[A-Za-z_][A-Za-z0-9_]*");
  return std::regex_match(name, valid);
}

// `joints` receives the names of the joints the scene creates.
::testing::AssertionResult SceneIsSound(const std::string& scene, const Xmodel& m,
                                        std::set<std::string>* joints = nullptr) {
  std::vector<Statement> sts;
  if (auto r = ParseScene(scene, sts); !r) return r;
  std::set<std::string> created, joint_names;
  std::map<std::string, std::pair<int, int>> edges_faces;  // mesh shape -> counted edges, faces
  std::string shape;
  for (const Statement& st : sts) {
    if (st.words.empty()) continue;
    const std::string& verb = st.words[0];
    if (verb == "createNode") {
      std::string name = Flag(st, "-n"), parent = Flag(st, "-p");
      if (name.empty()) return ::testing::AssertionFailure() << "unnamed node: " << st.text;
      if (!parent.empty() && !created.count(parent))
        return ::testing::AssertionFailure() << name << " is parented to " << parent << ", not created before";
      if (st.words[1] == "joint" && parent.empty()) return ::testing::AssertionFailure() << "joint without parent";
      if (!IsNodeName(name)) return ::testing::AssertionFailure() << "not a Maya node name: " << name;
      if (!created.insert(name).second) return ::testing::AssertionFailure() << name << " is created twice";
      if (st.words[1] == "joint") joint_names.insert(name);
      if (st.words[1] == "mesh") shape = name;
    } else if (verb == "connectAttr" || verb.rfind("if(getAttr(", 0) == 0) {
      std::vector<std::string> plugs;
      for (size_t i = 1; i < st.words.size(); ++i)
        if (st.words[i][0] != '-' && st.words[i].find('.') != std::string::npos &&
            st.words[i].rfind("connectAttr", 0) != 0 && st.words[i].rfind("if(", 0) != 0 && st.words[i] != "))")
          plugs.push_back(st.words[i]);
      for (const std::string& plug : plugs) {
        std::string node = NodeOf(plug);
        if (node.rfind("))", 0) == 0) continue;
        if (node[0] != ':' && !created.count(node))
          return ::testing::AssertionFailure() << "connectAttr names " << node << ", which is not created";
      }
    } else if (verb == "setAttr" && !shape.empty()) {
      std::string attr = st.words.size() > 3 ? st.words[3] : "";
      if (attr.rfind(".ed[", 0) == 0) edges_faces[shape].first = int(st.words.size() - 4) / 3;
      if (attr.rfind(".fc[", 0) == 0) {
        int faces = 0;
        for (const std::string& w : st.words) faces += w == "f";
        edges_faces[shape].second = faces;
      }
    } else if (verb != "requires" && verb != "currentUnit" && verb != "fileInfo" && verb != "setAttr" &&
               verb != "select" && verb != "addAttr") {
      return ::testing::AssertionFailure() << "unknown statement: " << st.text;
    }
  }
  const XmodelLod& lod = m.lods[0];
  for (size_t i = 0; i < lod.surfaces.size(); ++i) {
    auto it = edges_faces.find("MeshShape_" + std::to_string(i));
    if (it == edges_faces.end()) return ::testing::AssertionFailure() << "no MeshShape_" << i;
    if (it->second.first != 3 * lod.surfaces[i].triangle_count || it->second.second != lod.surfaces[i].triangle_count)
      return ::testing::AssertionFailure() << "MeshShape_" << i << ": " << it->second.first << " edges, "
                                           << it->second.second << " faces";
  }
  size_t named = 0;
  for (const XmodelBone& b : m.bones) named += !b.name.empty();
  if (joint_names.size() != named)
    return ::testing::AssertionFailure() << joint_names.size() << " joints for " << named << " named bones";
  if (joints) *joints = joint_names;
  return ::testing::AssertionSuccess();
}

class MaWriterTest : public ExportTest {
 protected:
  std::string Exported(const ExportSettings& settings = {}) {
    EXPECT_EQ(model_.ExportMA(Out(), settings), err::kSuccess);
    return ReadText(OutFile(model_.lods[0].surf_name + ".ma"));
  }
};

TEST_F(MaWriterTest, HeaderAndFixedBlocksFrameASoundScene) {
  const fixture::ModelFiles models[] = {fixture::MakeSoldierModel("soldier", Cod4), fixture::MakePropModel("crate", Cod5),
                                        fixture::MakeBarrelModel("barrel")};
  for (const fixture::ModelFiles& files : models) {
    Load(files, 2.54f);
    ModelSnapshot before(model_);
    const XmodelLod& lod = model_.lods[0];
    const std::string raw = Exported();
    ASSERT_TRUE(EveryLineEndIsCrLf(raw));
    EXPECT_TRUE(before.Same(model_));
    EXPECT_FALSE(model_.busy);

    std::string head = Printf("//Maya ASCII 8.5 scene\n//Name: %s%s\n", lod.surf_name.c_str(), ".ma") +
                       "//Exported by Qor_Fen Vantor\n"
                       "//Maya ASCII scene written from the game's xmodel, xmodelparts and xmodelsurfs files\n" +
                       "//Parent Xmodel: " + Printf("%s\n", model_.name.c_str()) +
                       Printf("//Surface Load Time: %.2f ms\n//Total Meshes: %i\n//Codeset: 1252\n",
                              float(lod.surf_load_ms), lod.surface_count) +
                       "requires maya \"8.5\";\n";
    ASSERT_EQ(raw.substr(0, OnDisk(head).size()), OnDisk(head));

    // Block A (61 lines), the link counts, block B (42 lines with its empty
    // last one), then the scene.
    const int n = int(lod.unique_materials.size());
    const std::string counts = Printf("\tsetAttr -s %i \".lnk\";\n\tsetAttr -s %i \".slnk\";\n", n, n);
    const std::string block_b_end = "connectAttr \"lightLinker1.msg\" \":lightList1.ln\" -na;\n\n";
    size_t a = raw.find("requires maya"), c = raw.find(OnDisk(counts)), b = raw.find(OnDisk(block_b_end));
    ASSERT_NE(c, std::string::npos);
    ASSERT_NE(b, std::string::npos);
    EXPECT_EQ(Lines(raw.substr(a, c - a)).size(), 61u);
    EXPECT_EQ(Lines(raw.substr(c + OnDisk(counts).size(), b + OnDisk(block_b_end).size() - c - OnDisk(counts).size()))
                  .size(),
              42u);
    for (const char* line : {"\tsetAttr \".t\" -type \"double3\" 48.186233840145825 37.816674066853686 41.0540421364379 ;",
                             "fileInfo \"cutIdentifier\" \"200612162224-692032\";",
                             "\tsetAttr \".hc\" -type \"string\" \"viewSet -s %camera\";",
                             "createNode lightLinker -n \"lightLinker1\";",
                             "\tsetAttr \".b\" -type \"string\" \"playbackOptions -min 1 -max 24 -ast 1 -aet 48 \";",
                             "\tsetAttr \".res\" -type \"string\" \"ntsc_4d 646 485 1.333\";"})
      EXPECT_NE(raw.find(OnDisk(std::string(line) + "\n")), std::string::npos) << line;

    EXPECT_TRUE(SceneIsSound(raw, model_)) << files.name;
  }
}

TEST_F(MaWriterTest, OneTriangleAndFiveVertexEdgeCases) {
  fixture::ModelFiles files = fixture::MakePropModel("tri", Cod4);
  fixture::SurfsSurface s;
  for (int k = 0; k < 5; ++k) {
    fixture::SurfsVertex v;
    v.u = 0.25f * float(k);
    v.v = 1.0f;  // stored as 0
    s.vertices.push_back(v);
  }
  s.triangles = {{0, 1, 2}};
  s.bone_table = fixture::ShortTable(5, 0);
  files.surfs[0].surfaces = {s};
  Load(files);
  const std::string raw = Exported();
  EXPECT_NE(raw.find(OnDisk(" 0.000000 0.000000 0.250000 0.000000 0.500000 0.000000 0.750000 0.000000\n"
                            " 1.000000 0.000000;\n")),
            std::string::npos);
  EXPECT_NE(raw.find(OnDisk("\".ed[0:2]\"\n\t2 1 0 1 0 0 0 2 0;\n")), std::string::npos);
  EXPECT_NE(raw.find(OnDisk("\n\tf 3 0 1 2\n\tmu 0 3 2 1 0;\n")), std::string::npos);
  EXPECT_NE(raw.find(OnDisk("\".n[0:2]\" -type \"float3\"\n\t 0.000000  0.000000  1.000000")), std::string::npos);
}

TEST_F(MaWriterTest, LightLinksCountFromTwoAndAssignEveryMesh) {
  fixture::ModelFiles files = fixture::MakeSoldierModel("soldier", Cod4);
  Load(files);
  const std::string raw = Exported();
  EXPECT_NE(raw.find(OnDisk("\tsetAttr -s 3 \".lnk\";\n\tsetAttr -s 3 \".slnk\";\n")), std::string::npos);
  EXPECT_NE(raw.find(OnDisk("connectAttr \":defaultLightSet.msg\" \"lightLinker1.lnk[2].llnk\";\n"
                            "connectAttr \"mtl_soldier_bodySG.msg\" \"lightLinker1.lnk[2].olnk\";\n")),
            std::string::npos);
  EXPECT_NE(raw.find(OnDisk("connectAttr \"mtl_soldier_gearSG.msg\" \"lightLinker1.slnk[4].solk\";\n")),
            std::string::npos);
  // Arms and legs share the gear material.
  EXPECT_NE(raw.find(OnDisk("connectAttr \"mtl_soldier_gearSG.mwc\" \"MeshShape_3.iog.og[0].gco\";\n"
                            "connectAttr \"MeshShape_3.iog\" \"mtl_soldier_gearSG.dsm\" -na;\n\n")),
            std::string::npos);
  EXPECT_NE(raw.find(OnDisk("createNode joint -n \"tag_origin\" -p \"Joints\";\n")), std::string::npos);
  EXPECT_EQ(raw.find("\"tag_origin.is\""), std::string::npos);
  EXPECT_NE(raw.find(OnDisk("setAttr \".radi\"   0.50;\nsetAttr \".jo\" -type \"double3\" 0.000000 0.000000 0.000000;")),
            std::string::npos);
}

TEST_F(MaWriterTest, FileTexturePathsNameTheExportedImages) {
  fixture::ModelFiles files = fixture::MakePropModel("crate", Cod4);
  files.materials[0].slots = {{"Diffuse_MapSampler", "~crate_col"}, {"normalMap", "crate_nml"}};
  Load(files);
  EXPECT_NE(Exported().find("\tsetAttr \".ftn\" -type \"string\" \"images\\\\_crate_col.dds\";"), std::string::npos);
  ExportSettings beside;
  beside.export_img_as_tga = true;
  beside.export_images_local = false;
  EXPECT_NE(Exported(beside).find("\"" + model_.raw_dir + "images\\\\~crate_col.tga\";"), std::string::npos);
}

// A material without a colour map still gets its nodes: its light links and
// its meshes connect to them.
TEST_F(MaWriterTest, MaterialWithoutColourMapStillHasTheNodesItsLinksName) {
  fixture::ModelFiles files = fixture::MakePropModel("crate", Cod4);
  files.materials[0].slots = {{"normalMap", "crate_nml"}};
  Load(files);
  const std::string raw = Exported();
  EXPECT_NE(raw.find(OnDisk("// Material: mtl_crate\ncreateNode shadingEngine -n \"mtl_crateSG\";")), std::string::npos);
  EXPECT_NE(raw.find("\tsetAttr \".ftn\" -type \"string\" \"\";"), std::string::npos);
  EXPECT_TRUE(SceneIsSound(raw, model_));
}

// Joints with no name are not created, so nothing may hang under them or
// connect to them; a right-angle pitch past 1 by rounding stays 90 degrees.
TEST_F(MaWriterTest, UnnamedBonesAndRightAnglePitchStaySound) {
  Load(fixture::MakeSoldierModel("soldier", Cod4));
  model_.bones[1].name.clear();  // j_mainroot: hips and spine hang under it
  model_.bones[2].rotation[0] = 0, model_.bones[2].rotation[2] = 0;
  model_.bones[2].rotation[1] = 0.70712, model_.bones[2].rotation[3] = 0.70712;
  const std::string raw = Exported();
  EXPECT_TRUE(SceneIsSound(raw, model_));
  EXPECT_NE(raw.find(OnDisk("createNode joint -n \"j_hip_le\" -p \"Joints\";\n")), std::string::npos);
  EXPECT_EQ(raw.find("\".s\" \"j_hip_le.is\""), std::string::npos);
  EXPECT_NE(raw.find(OnDisk("setAttr \".jo\" -type \"double3\" 0.000000 90.000000 0.000000;")), std::string::npos);
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

// Names the games allow and Maya does not take as node names: "~", "/", a
// blank, a leading digit, two that meet once mapped, a camera's name, one
// of a material's own nodes, and a bone name given twice.
fixture::ModelFiles AwkwardSoldier() {
  fixture::ModelFiles files = fixture::MakeSoldierModel("soldier", Cod4);
  const char* materials[] = {"metal~x", "mc/foo", "metal x"};
  for (size_t k = 0; k < 3; ++k) files.materials[k].name = materials[k];
  fixture::MaterialBlock block{{"metal~x", "mc/foo", "metal x", "metal x"}};
  files.xmodel.materials = {block, block};
  const std::pair<size_t, const char*> bones[] = {{2, "tag weapon"}, {3, "1st_knee"},  {4, "tag~weapon"},
                                                  {10, "persp"},     {14, "metal_xSG"}, {24, "tag_weapon_right"}};
  for (const auto& [index, name] : bones) files.parts.bones[index].name = name;
  return files;
}

TEST_F(MaWriterTest, AwkwardNamesBecomeUniqueNodesThatSceneAndBindScriptShare) {
  Load(AwkwardSoldier());
  ModelSnapshot before(model_);
  const std::string raw = Exported();
  std::set<std::string> joints;
  ASSERT_TRUE(SceneIsSound(raw, model_, &joints));
  EXPECT_TRUE(before.Same(model_));
  // Valid names are claimed first: the bone "metal_xSG" keeps its name and
  // pushes "metal~x" (whose engine would be "metal_xSG") on to "metal_x1".
  for (const char* node : {"metal_x1", "mc_foo", "metal_x2"}) {
    EXPECT_NE(raw.find(OnDisk(Printf("createNode lambert -n \"%s\";\n", node))), std::string::npos) << node;
    EXPECT_NE(raw.find(OnDisk(Printf("createNode shadingEngine -n \"%sSG\";\n", node))), std::string::npos) << node;
  }
  EXPECT_EQ(joints, (std::set<std::string>{"tag_origin", "j_mainroot", "tag_weapon", "_1st_knee", "tag_weapon1",
                                           "j_ball_le", "j_hip_ri", "j_knee_ri", "j_ankle_ri", "j_ball_ri", "persp1",
                                           "j_spineupper", "j_spine4", "j_neck", "metal_xSG", "j_clavicle_le",
                                           "j_shoulder_le", "j_elbow_le", "j_wrist_le", "j_clavicle_ri",
                                           "j_shoulder_ri", "j_elbow_ri", "j_wrist_ri", "tag_weapon_right",
                                           "tag_weapon_right1", "j_helmet", "tag_eye"}));
  EXPECT_NE(raw.find(OnDisk("createNode joint -n \"_1st_knee\" -p \"tag_weapon\";\n")), std::string::npos);
  EXPECT_NE(raw.find(OnDisk("connectAttr \"tag_weapon.s\" \"_1st_knee.is\";\n")), std::string::npos);
  // Comments and texture paths keep the real names.
  EXPECT_NE(raw.find(OnDisk("// Material: mc/foo\ncreateNode shadingEngine -n \"mc_fooSG\";\n")), std::string::npos);
  EXPECT_NE(raw.find("\tsetAttr \".ftn\" -type \"string\" \"images\\\\soldier_head_col.dds\";"), std::string::npos);
  EXPECT_NE(raw.find(OnDisk("connectAttr \"metal_x2SG.mwc\" \"MeshShape_3.iog.og[0].gco\";\n")), std::string::npos);

  const std::string script = ReadText(OutFile("soldier_lod0_bind.mel"));
  EXPECT_TRUE(ScriptBindsTheSceneNodes(script, joints, model_.lods[0].surfaces.size()));
  EXPECT_NE(script.find("\tselect -add tag_weapon1;"), std::string::npos);

  // The same model gives the same names every time.
  EXPECT_EQ(Exported(), raw);
}

// A surf_name becomes part of the model transform's name, and keeps itself
// in the file name.
TEST_F(MaWriterTest, SurfNameOutsideMayasAlphabetNamesTheModelTransform) {
  Load(fixture::MakePropModel("crate", Cod4));
  model_.lods[0].surf_name = "2crate lod~0";
  const std::string raw = Exported();
  EXPECT_TRUE(SceneIsSound(raw, model_));
  EXPECT_NE(raw.find(OnDisk("//Name: 2crate lod~0.ma\n")), std::string::npos);
  EXPECT_NE(raw.find("createNode transform -n \"QorMesh_0\" -p \"Qor_2crate_lod_0\";"), std::string::npos);
}

// What no mapping makes safe is still refused: a line break would end a
// comment or a MEL string, a surf_name with a path would leave the folder.
TEST_F(MaWriterTest, RefusesNamesThatBreakALineOrLeaveTheFolder) {
  Load(fixture::MakeSoldierModel("soldier", Cod4));
  ModelSnapshot before(model_);
  model_.bones[3].name = "j_knee\n\" -p \"persp";
  EXPECT_EQ(model_.ExportMA(Out()), err::kFileNotValid);
  EXPECT_EQ(model_.ExportMABind(Out()), err::kFileNotValid);
  model_.bones[3].name = "j_knee_le";
  model_.lods[0].materials[1] = model_.lods[0].unique_materials[1] = "mtl\rhead";
  EXPECT_EQ(model_.ExportMA(Out()), err::kFileNotValid);
  model_.lods[0].materials[1] = model_.lods[0].unique_materials[1] = "mtl_soldier_head";
  model_.lods[0].surf_name = "../soldier_lod0";
  EXPECT_EQ(model_.ExportMA(Out()), err::kInvalidPath);
  model_.lods[0].surf_name = "soldier_lod0";
  EXPECT_FALSE(fs::exists(OutFile("soldier_lod0.ma")));
  EXPECT_FALSE(fs::exists(OutFile("soldier_lod0_bind.mel")));
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
