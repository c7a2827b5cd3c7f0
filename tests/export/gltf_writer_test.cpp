// glTF and GLB writer: a round trip through the test's own reader
// (positions, UVs, winding, joints and weights against the XMODEL_EXPORT of
// the same model), the four-influence rule, names escaped, maps as PNG
// files or embedded, unreadable maps left out, refused outputs leaving no
// file, and the real readers: the Khronos validator over the fixtures and
// every real sample, Assimp's counts.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <numeric>
#include <regex>
#include <set>

#include "export/gltf_json.h"
#include "model/texture_pick.h"
#include "tests/export/export_test_support.h"
#include "tests/export/gltf_reader.h"
#include "tests/shell/shell_test_support.h"
#include "tests/support/xe_parser.h"
#include "tools/fixture/iwi_writer.h"
#include "tools/fixture/sample_tree.h"

namespace {

using namespace export_test;
using gltf_test::GltfFile;
using gltf_test::Json;

constexpr bool kBinary[] = {false, true};

class GltfWriterTest : public ExportTest {
 protected:
  fs::path Export(bool binary, ExportWritten* written = nullptr) {
    EXPECT_EQ(model_.ExportGLTF(Out(), binary, written), err::kSuccess);
    return OutFile(model_.lods[0].surf_name + (binary ? ".glb" : ".gltf"));
  }
};

// A vertex's bone weights, merged by bone, zero weights left out.
using Weights = std::map<int, double>;

Weights Merged(const std::vector<std::pair<int, double>>& list) {
  Weights out;
  for (const auto& [bone, weight] : list)
    if (weight > 0) out[bone] += weight;
  return out;
}

// The glTF rule applied to the XMODEL_EXPORT's list: the heaviest four,
// divided by their sum.
Weights HeaviestFour(const Weights& all) {
  std::vector<std::pair<int, double>> list(all.begin(), all.end());
  std::stable_sort(list.begin(), list.end(), [](auto& a, auto& b) { return a.second > b.second; });
  if (list.size() > 4) list.resize(4);
  double sum = 0;
  for (auto& p : list) sum += p.second;
  Weights out;
  for (auto& p : list) out[p.first] = p.second / sum;
  return out;
}

// Reads every primitive back and checks it against the model and its
// XMODEL_EXPORT: positions and UVs to the float, corners first, third,
// second, and each vertex's joints and weights (sum 1 within 1e-6).
void ExpectRoundTrip(const GltfFile& file, const Xmodel& model, const xe::File& xe, const std::string& what) {
  ASSERT_EQ(file.error, "") << what;
  const XmodelLod& lod = model.lods[0];
  const Json& prims = file.doc["meshes"][0]["primitives"];
  ASSERT_EQ(prims.size(), lod.surfaces.size()) << what;
  const bool skinned = !model.bones.empty();
  EXPECT_EQ(file.doc["skins"][0]["joints"].size(), model.bones.size()) << what;
  size_t first_vertex = 0;
  for (size_t si = 0; si < lod.surfaces.size(); ++si) {
    const XmodelSurface& s = lod.surfaces[si];
    const Json& attributes = prims[si]["attributes"];
    size_t c = 0;
    const std::vector<double> pos = file.Read(size_t(attributes["POSITION"].number), c);
    const std::vector<double> uv = file.Read(size_t(attributes["TEXCOORD_0"].number), c);
    const std::vector<double> idx = file.Read(size_t(prims[si]["indices"].number), c);
    ASSERT_EQ(pos.size(), s.vertices.size() * 3) << what;
    ASSERT_EQ(uv.size(), s.vertices.size() * 2) << what;
    ASSERT_EQ(idx.size(), s.triangles.size()) << what;
    for (size_t v = 0; v < s.vertices.size(); ++v) {
      for (int k = 0; k < 3; ++k) ASSERT_EQ(float(pos[v * 3 + k]), s.vertices[v].position[k]) << what;
      ASSERT_EQ(float(uv[v * 2]), s.vertices[v].u) << what;
      ASSERT_EQ(float(uv[v * 2 + 1]), 1.0f - s.vertices[v].v) << what;
    }
    for (size_t t = 0; t < s.triangles.size(); t += 3) {
      ASSERT_EQ(idx[t], s.triangles[t]) << what;
      ASSERT_EQ(idx[t + 1], s.triangles[t + 2]) << what;
      ASSERT_EQ(idx[t + 2], s.triangles[t + 1]) << what;
    }
    if (skinned) {
      const std::vector<double> joints = file.Read(size_t(attributes["JOINTS_0"].number), c);
      const std::vector<double> weights = file.Read(size_t(attributes["WEIGHTS_0"].number), c);
      ASSERT_EQ(joints.size(), s.vertices.size() * 4) << what;
      ASSERT_EQ(weights.size(), s.vertices.size() * 4) << what;
      for (size_t v = 0; v < s.vertices.size(); ++v) {
        Weights read;
        double sum = 0;
        for (size_t k = 0; k < 4; ++k) {
          sum += float(weights[v * 4 + k]);
          if (weights[v * 4 + k] > 0) read[int(joints[v * 4 + k])] += weights[v * 4 + k];
        }
        ASSERT_NEAR(sum, 1.0, 1e-6) << what << " vertex " << v;
        const Weights expected = HeaviestFour(Merged(xe.verts[first_vertex + v].bones));
        ASSERT_EQ(read.size(), expected.size()) << what << " vertex " << v;
        for (const auto& [bone, weight] : expected) {
          ASSERT_TRUE(read.count(bone)) << what << " vertex " << v << " bone " << bone;
          ASSERT_NEAR(read[bone], weight, 1e-5) << what << " vertex " << v << " bone " << bone;
        }
      }
    }
    first_vertex += s.vertices.size();
  }
}

using Mat4 = std::array<double, 16>;  // column-major, as glTF stores them

Mat4 Multiply(const Mat4& a, const Mat4& b) {
  Mat4 out{};
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      for (int k = 0; k < 4; ++k) out[size_t(c * 4 + r)] += a[size_t(k * 4 + r)] * b[size_t(c * 4 + k)];
  return out;
}

// A node's local matrix from its translation and rotation.
Mat4 NodeMatrix(const Json& node) {
  const Json& q = node["rotation"];
  const double x = q[0].number, y = q[1].number, z = q[2].number, w = q.size() ? q[3].number : 1.0;
  Mat4 m = {1 - 2 * (y * y + z * z), 2 * (x * y + z * w),     2 * (x * z - y * w),     0,
            2 * (x * y - z * w),     1 - 2 * (x * x + z * z), 2 * (y * z + x * w),     0,
            2 * (x * z + y * w),     2 * (y * z - x * w),     1 - 2 * (x * x + y * y), 0,
            0,                       0,                       0,                       1};
  for (size_t k = 0; k < 3; ++k) m[12 + k] = node["translation"][k].number;
  return m;
}

// The bone nodes composed along their parents in the file (below the
// "Joints" node's Y-up turn) give the XMODEL_EXPORT's bone poses, the
// positions times the load scale; each inverse bind matrix undoes its
// joint's pose.
void ExpectSkeletonPose(const GltfFile& file, const Xmodel& model, const xe::File& xe, double scale,
                        const std::string& what) {
  const Json& nodes = file.doc["nodes"];
  const Json& joints = file.doc["skins"][0]["joints"];
  ASSERT_EQ(joints.size(), model.bones.size()) << what;
  ASSERT_EQ(xe.bones.size(), model.bones.size()) << what;
  std::map<size_t, size_t> parent_of;
  for (size_t n = 0; n < nodes.size(); ++n)
    for (const Json& child : nodes[n]["children"].items) parent_of[size_t(child.number)] = n;
  const size_t joints_node = size_t(file.doc["skins"][0]["skeleton"].number);
  EXPECT_EQ(nodes[joints_node]["name"].string, "Joints") << what;
  size_t c = 0;
  const std::vector<double> inverse_binds = file.Read(size_t(file.doc["skins"][0]["inverseBindMatrices"].number), c);
  ASSERT_EQ(inverse_binds.size(), 16 * model.bones.size()) << what;
  for (size_t b = 0; b < model.bones.size(); ++b) {
    const size_t node = size_t(joints[b].number);
    EXPECT_EQ(nodes[node]["name"].string, model.bones[b].name) << what;
    Mat4 world = NodeMatrix(nodes[node]);
    for (size_t n = parent_of.at(node); n != joints_node; n = parent_of.at(n)) world = Multiply(NodeMatrix(nodes[n]), world);
    for (size_t k = 0; k < 3; ++k) {
      // Stock files' quaternions are a little off unit length: the XMODEL_EXPORT
      // keeps that, glTF wants them normalised, so along a long chain the two
      // part by up to a few thousandths of a unit.
      EXPECT_NEAR(world[12 + k], xe.bones[b].offset[k] * scale, 0.01 * scale) << what << " bone " << b;
      // The bone's X, Y and Z axes in model space are the matrix's columns.
      EXPECT_NEAR(world[k], xe.bones[b].x[k], 1e-3) << what << " bone " << b;
      EXPECT_NEAR(world[4 + k], xe.bones[b].y[k], 1e-3) << what << " bone " << b;
      EXPECT_NEAR(world[8 + k], xe.bones[b].z[k], 1e-3) << what << " bone " << b;
    }
    Mat4 inverse;
    std::copy(inverse_binds.begin() + std::ptrdiff_t(16 * b), inverse_binds.begin() + std::ptrdiff_t(16 * b + 16),
              inverse.begin());
    const Mat4 identity = Multiply(world, inverse);
    for (size_t k = 0; k < 16; ++k)
      EXPECT_NEAR(identity[k], k % 5 == 0 ? 1.0 : 0.0, 1e-4 * (k >= 12 ? scale * 10 : 1)) << what << " bone " << b;
  }
}

TEST_F(GltfWriterTest, RoundTripGivesBackGeometryJointsAndWeights) {
  const fixture::ModelFiles models[] = {fixture::MakePropModel("crate", Cod4),
                                        fixture::MakeSoldierModel("soldier", Cod5),
                                        fixture::MakeSoldierModel("soldier_bo", BO), fixture::MakeBarrelModel("barrel")};
  for (const fixture::ModelFiles& files : models) {
    Load(files, 2.54f);
    ModelSnapshot before(model_);
    ASSERT_EQ(model_.ExportXE(Out()), err::kSuccess);
    const xe::File xe = xe::Parse(ReadText(OutFile(model_.lods[0].surf_name + ".XMODEL_EXPORT")));
    ASSERT_TRUE(xe.ok) << xe.error;
    for (bool binary : kBinary) {
      const GltfFile file(Export(binary));
      ExpectRoundTrip(file, model_, xe, files.name + (binary ? " glb" : " gltf"));
      ExpectSkeletonPose(file, model_, xe, 2.54, files.name);
    }
    EXPECT_TRUE(before.Same(model_)) << files.name;
    EXPECT_FALSE(model_.busy);
  }
}

// Ten influences of distinct weights a vertex: the heaviest four stay,
// renormalised to a sum of 1.
TEST_F(GltfWriterTest, MoreThanFourInfluencesKeepTheHeaviestFourRenormalised) {
  fixture::ModelFiles files = fixture::MakeBigModel(2, 64, 10, Cod4);
  for (fixture::SurfsSurface& s : files.surfs[0].surfaces)
    for (size_t v = 0; v < s.vertices.size(); ++v)
      for (size_t k = 0; k < s.vertices[v].influences.size(); ++k)
        s.vertices[v].influences[k].weight = uint16_t(500 * (1 + (k * 7 + v) % 11));
  Load(files);
  ASSERT_EQ(model_.ExportXE(Out()), err::kSuccess);
  const xe::File xe = xe::Parse(ReadText(OutFile("fixture_big_lod0.XMODEL_EXPORT")));
  ASSERT_TRUE(xe.ok) << xe.error;
  ASSERT_EQ(xe.verts[0].bones.size(), 10u);
  for (bool binary : kBinary) ExpectRoundTrip(GltfFile(Export(binary)), model_, xe, binary ? "glb" : "gltf");
}

// Names go into the JSON as UTF-8 text: quotes, backslashes and line
// breaks escaped, bytes that are not UTF-8 as U+FFFD; the buffer's and
// pictures' file names as URIs.
TEST_F(GltfWriterTest, NamesAreEscapedAsJsonRequires) {
  fixture::ModelFiles files = fixture::MakeSoldierModel("soldier", Cod4);
  Load(files);
  model_.bones[1].name = "j_\"main\"\\root\n\x01";
  model_.bones[2].name = "j_caf\xc3\xa9_\xff";
  model_.lods[0].unique_materials[0] = "mtl \"body\"";
  model_.name = "sold\tier";
  const GltfFile file(Export(false));
  ASSERT_EQ(file.error, "");
  EXPECT_EQ(file.doc["nodes"][3]["name"].string, "j_\"main\"\\root\n\x01");
  EXPECT_EQ(file.doc["nodes"][4]["name"].string, "j_caf\xc3\xa9_\xef\xbf\xbd");
  EXPECT_EQ(file.doc["materials"][0]["name"].string, "mtl \"body\"");
  EXPECT_EQ(file.doc["scenes"][0]["name"].string, "sold\tier");
  EXPECT_EQ(UriOfFileName("a b#%/\xc3\xa9.png"), "a%20b%23%25/%C3%A9.png");
}

// Maps: colour as base colour, normal map, specular map through
// KHR_materials_specular; PNG files under "images" (read back by
// ImageMagick) or embedded in the GLB; a map that cannot be read leaves its
// material without it and is logged.
TEST_F(GltfWriterTest, MapsArePngFilesOrEmbeddedAndUnreadableOnesAreLeftOut) {
  fixture::ModelFiles files = fixture::MakePropModel("crate", Cod4);
  files.materials[0].slots = {{"colorMap", "~-gcrate_col"}, {"normalMap", "crate_nml"}, {"specularMap", "crate_spc"}};
  const std::string images = (dir_ / "game" / "raw" / "images").string() + "/";
  for (const char* name : {"~-gcrate_col", "crate_nml"}) {
    fixture::IwiDesc d;
    d.format = 11;
    d.picture = fixture::MakeTestPicture(16, 8);
    ASSERT_TRUE(fixture::WriteFile(images + name + ".iwi", fixture::WriteIwi(d)));
  }
  Load(files);  // crate_spc.iwi is missing
  shell_test::LogCapture log;
  ExportWritten written;
  const GltfFile gltf(Export(false, &written));
  ASSERT_EQ(gltf.error, "");
  const Json& material = gltf.doc["materials"][0];
  EXPECT_EQ(material["pbrMetallicRoughness"]["baseColorTexture"]["index"].Int(), 0);
  EXPECT_EQ(material["normalTexture"]["index"].Int(), 1);
  EXPECT_FALSE(material.Has("extensions"));
  EXPECT_TRUE(log.Contains("crate_spc")) << log.Joined();
  EXPECT_EQ(gltf.doc["images"][0]["uri"].string, "images/_-gcrate_col.png");
  EXPECT_EQ(written, (ExportWritten{OutFile("images/_-gcrate_col.png").string(), OutFile("images/crate_nml.png").string(),
                                    OutFile("crate_lod0.bin").string(), OutFile("crate_lod0.gltf").string()}));
  if (HaveProgram("identify")) {
    EXPECT_EQ(RunCommand("identify -format '%m %wx%h' '" + OutFile("images/_-gcrate_col.png").string() + "'"),
              "PNG 16x8");
  }

  // With the specular map present it comes through the extension, and the
  // GLB carries the pictures as buffer views.
  fixture::IwiDesc d;
  d.format = 11;
  d.picture = fixture::MakeTestPicture(8, 8);
  ASSERT_TRUE(fixture::WriteFile(images + "crate_spc.iwi", fixture::WriteIwi(d)));
  const GltfFile glb(Export(true));
  ASSERT_EQ(glb.error, "");
  EXPECT_EQ(glb.doc["extensionsUsed"][0].string, "KHR_materials_specular");
  EXPECT_EQ(glb.doc["materials"][0]["extensions"]["KHR_materials_specular"]["specularColorTexture"]["index"].Int(), 2);
  ASSERT_EQ(glb.doc["images"].size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(glb.doc["images"][i]["mimeType"].string, "image/png");
    EXPECT_EQ(glb.View(size_t(glb.doc["images"][i]["bufferView"].number)).substr(1, 3), "PNG");
  }
}

// Refused before anything is written: a file name from the game file that
// would leave the folder; a folder where the file should be fails the
// open; the model is left as it was.
TEST_F(GltfWriterTest, RefusedExportsLeaveNoFile) {
  Load(fixture::MakeSoldierModel("soldier", Cod4));
  ModelSnapshot before(model_);
  const std::string surf = model_.lods[0].surf_name;
  model_.lods[0].surf_name = "../escape";
  EXPECT_EQ(model_.ExportGLTF(Out(), true), err::kInvalidPath);
  model_.lods[0].surf_name = surf;
  EXPECT_FALSE(fs::exists(dir_ / "escape.glb"));
  fs::create_directories(OutFile(surf + ".glb"));
  EXPECT_EQ(model_.ExportGLTF(Out(), true), err::kCantOpen);
  model_.lods[0].surfaces[0].triangles[0] = 60000;  // past the surface's vertices
  EXPECT_EQ(model_.ExportGLTF(Out(), false), err::kOutOfRange);
  EXPECT_FALSE(fs::exists(OutFile(surf + ".gltf")));
  model_.lods[0].surfaces[0].triangles[0] = 0;
  EXPECT_TRUE(before.Same(model_));
  EXPECT_FALSE(model_.busy);
  for (const auto& e : fs::directory_iterator(Out()))
    EXPECT_EQ(e.path().filename().string(), surf + ".glb") << "left behind: " << e.path();
}

// The validator's verdict on files (defined below).
std::string ValidatorErrors(const std::vector<fs::path>& files);

// Without bones there is no skin and the mesh node carries the Y-up turn;
// without bones or a surface with triangles the document is still valid
// (no empty lists, no buffer).
TEST_F(GltfWriterTest, ModelsWithoutBonesOrTrianglesStayValid) {
  Load(fixture::MakeSoldierModel("soldier", Cod4));
  model_.bones.clear();
  const fs::path unskinned = OutFile("unskinned.glb");
  const GltfFile file(Export(true));
  ASSERT_EQ(file.error, "");
  EXPECT_FALSE(file.doc.Has("skins"));
  EXPECT_FALSE(file.doc["meshes"][0]["primitives"][0]["attributes"].Has("JOINTS_0"));
  EXPECT_EQ(file.doc["nodes"][0]["rotation"].size(), 4u);
  fs::rename(OutFile("soldier_lod0.glb"), unskinned);
  for (XmodelSurface& s : model_.lods[0].surfaces) {
    s.triangles.clear();
    s.triangle_count = 0;
  }
  const GltfFile empty(Export(true));
  ASSERT_EQ(empty.error, "");
  EXPECT_FALSE(empty.doc.Has("meshes"));
  EXPECT_FALSE(empty.doc.Has("buffers"));
  EXPECT_EQ(ValidatorErrors({unskinned, OutFile("soldier_lod0.glb")}), "");
}

// ------------------------------------------------------------ real readers

// The Khronos validator (tests/export/gltf/validate.sh installs it with npm
// on first use): every file without an error. Returns the files' reports.
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

// The share of triangles whose counter-clockwise face normal points the way
// of their corners' normals: glTF's front faces.
double FrontFacingShare(const GltfFile& file) {
  size_t front = 0, total = 0;
  const Json& prims = file.doc["meshes"][0]["primitives"];
  for (size_t pi = 0; pi < prims.size(); ++pi) {
    size_t c = 0;
    const std::vector<double> pos = file.Read(size_t(prims[pi]["attributes"]["POSITION"].number), c);
    const std::vector<double> nrm = file.Read(size_t(prims[pi]["attributes"]["NORMAL"].number), c);
    const std::vector<double> idx = file.Read(size_t(prims[pi]["indices"].number), c);
    for (size_t t = 0; t + 2 < idx.size(); t += 3) {
      const size_t a = size_t(idx[t]) * 3, b = size_t(idx[t + 1]) * 3, d = size_t(idx[t + 2]) * 3;
      const double u[3] = {pos[b] - pos[a], pos[b + 1] - pos[a + 1], pos[b + 2] - pos[a + 2]};
      const double v[3] = {pos[d] - pos[a], pos[d + 1] - pos[a + 1], pos[d + 2] - pos[a + 2]};
      const double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
      double dot = 0;
      for (int k = 0; k < 3; ++k) dot += n[k] * (nrm[a + size_t(k)] + nrm[b + size_t(k)] + nrm[d + size_t(k)]);
      front += dot > 0;
      ++total;
    }
  }
  return total ? double(front) / double(total) : 1.0;
}

TEST(GltfWriterRealReaders, ValidatorAndAssimpReadEveryFixtureAndSample) {
  const fs::path out = fs::path(::testing::TempDir()) / ("vantor_exp_gltf_real_" + std::to_string(::getpid()));
  fs::remove_all(out);
  std::vector<std::pair<std::string, GameVersion>> models;
  const std::vector<std::string> fixtures = fixture::WriteSampleTree((out / "fixtures").string());
  for (const std::string& path : fixtures) {
    const GameVersion game = path.find("/bo/") != std::string::npos    ? BO
                             : path.find("/cod5/") != std::string::npos ? Cod5
                                                                        : Cod4;
    models.emplace_back(path, game);
  }
  ASSERT_GE(models.size(), 9u);
  const fs::path samples = fs::path(VANTOR_SOURCE_DIR) / ".." / "shared" / "samples";
  const std::pair<const char*, GameVersion> trees[] = {{"cod4-modtools", Cod4}, {"cod4-deathrun", Cod4},
                                                       {"cod4-surf", Cod4},      {"bo-t7mod", BO},
                                                       {"bo-ville", BO},         {"waw-santaraus", Cod5}};
  if (fs::exists(samples))
    for (const auto& [tree, game] : trees)
      for (const auto& entry : fs::directory_iterator(samples / tree / "raw" / "xmodel"))
        models.emplace_back(entry.path().string(), game);

  std::vector<fs::path> files;
  std::vector<std::array<size_t, 3>> counts;  // primitives, vertices, faces
  std::vector<size_t> bone_counts;
  std::set<GameVersion> games;
  std::vector<double> front_shares;  // real files only
  for (const auto& [path, game] : models) {
    Xmodel m;
    m.game = game;
    m.scale = 2.54f;
    if (m.LoadxmodelFull(path) != err::kSuccess || m.LoadSurface() != err::kSuccess) continue;
    PickTextures(m);
    const fs::path folder = out / "export" / std::to_string(files.size());
    for (bool binary : kBinary) {
      ASSERT_EQ(m.ExportGLTF(folder.string(), binary), err::kSuccess) << path;
      files.push_back(folder / (m.lods[0].surf_name + (binary ? ".glb" : ".gltf")));
      std::array<size_t, 3> c{m.lods[0].surfaces.size(), 0, 0};
      for (const XmodelSurface& s : m.lods[0].surfaces) c[1] += s.vertices.size(), c[2] += s.triangles.size() / 3;
      counts.push_back(c);
      // Read raw, Assimp gives every mesh the skin's joints as its bones.
      bone_counts.push_back(c[0] * m.bones.size());
    }
    games.insert(m.layout);
    // Bone poses and inverse bind matrices against the XMODEL_EXPORT's.
    if (!m.bones.empty() && m.ExportXE(folder.string()) == err::kSuccess) {
      const xe::File xe = xe::Parse(ReadText(folder / (m.lods[0].surf_name + ".XMODEL_EXPORT")));
      EXPECT_TRUE(xe.ok) << path << ": " << xe.error;
      if (xe.ok) ExpectSkeletonPose(GltfFile(files.back()), m, xe, 2.54, path);
    }
    // The games' files wind their front faces clockwise, and the export
    // turns them (the fixture writer's shapes are wound the other way, so
    // only the real files tell). Foliage cards and the like face both ways.
    if (!std::count(fixtures.begin(), fixtures.end(), path)) {
      const double share = FrontFacingShare(GltfFile(files.back()));
      EXPECT_GT(share, 0.5) << path;
      front_shares.push_back(share);
    }
  }
  if (!front_shares.empty()) {
    EXPECT_GT(std::accumulate(front_shares.begin(), front_shares.end(), 0.0) / double(front_shares.size()), 0.9);
  }
  EXPECT_GE(files.size(), fs::exists(samples) ? 40u : 18u);
  EXPECT_EQ(games.size(), 3u);
  EXPECT_EQ(ValidatorErrors(files), "");

  if (!HaveProgram("assimp")) GTEST_SKIP() << "assimp (Debian assimp-utils) is not installed";
  for (size_t i = 0; i < files.size(); ++i) {
    const std::string text = RunCommand("assimp info '" + files[i].string() + "' -r 2>&1");
    auto number = [&](const char* what) {
      std::smatch m;
      return std::regex_search(text, m, std::regex(std::string("\n") + what + R"(:\s+(\d+))")) ? std::stoul(m[1]) : 0ul;
    };
    EXPECT_EQ(number("Meshes"), counts[i][0]) << files[i];
    EXPECT_EQ(number("Vertices"), counts[i][1]) << files[i];
    EXPECT_EQ(number("Faces"), counts[i][2]) << files[i];
    EXPECT_EQ(number("Bones"), bone_counts[i]) << files[i];
  }
  fs::remove_all(out);
}

}  // namespace
