// The writers' exact bytes, pinned: each format (XMODEL_EXPORT, Maya ASCII
// with its bind script, OBJ with its MTL, glTF with its buffer, GLB, GDT,
// the tags report) is written for fixture models, awkward ones included,
// and the real samples, and a 64-bit FNV-1a of each output is compared
// with the digest the writers gave when the table was recorded. A faster
// writer must give the same files, byte for byte. The real readers take
// the same files: Assimp reads back each mesh, vertex, face and bone of the
// OBJ, glTF and GLB files, and the Khronos validator finds no error in the
// glTF ones.
#include <gtest/gtest.h>
#include <unistd.h>  // Required for: getpid()

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "export/model_exports.h"
#include "export/number_format.h"
#include "export/text_out.h"
#include "model/texture_pick.h"
#include "model/xmodel.h"
#include "tests/support/command.h"
#include "tests/support/files.h"
#include "tools/fixture/export_models.h"
#include "tools/fixture/fixture_writer.h"
#include "tools/fixture/iwi_writer.h"
#include "tools/fixture/sample_tree.h"

namespace {

namespace fs = std::filesystem;

// The files of one model, in the table's order; the GDT and the tags
// report are named after the model, the others after its surfaces.
enum Output { kXe, kMa, kMel, kObj, kMtl, kGltf, kBin, kGlb, kGdt, kTags, kOutputs };
constexpr const char* kSuffix[kOutputs] = {".XMODEL_EXPORT", ".ma", "_bind.mel", ".obj", ".mtl",
                                           ".gltf",          ".bin", ".glb",     ".gdt", "_tags.html"};

// Loads model `i` of a case into a fresh Xmodel, writing what it needs
// under the folder given: kLoaded, kSkip (a sample this reader does not
// take) or kEnd.
enum LoadResult { kLoaded, kSkip, kEnd };
using Loader = std::function<LoadResult(size_t, const fs::path&, Xmodel&)>;

struct Digests {
  uint64_t of[kOutputs];
};

// A file for a real reader, and what it should find in it.
struct Read {
  fs::path file;
  unsigned long meshes, vertices, faces, bones;
};

void Fnv1a(uint64_t& h, std::string_view bytes) {
  for (unsigned char c : bytes) h = (h ^ c) * 0x100000001b3ull;
}

// Values a model's own files rarely hold, put into the first surface: signed
// zeros, halves at the sixth decimal, large and tiny coordinates, full and
// empty weights and colours.
void MakeOddValues(Xmodel& m) {
  static const float kOdd[] = {-0.0f,  0.0000005f, -0.0000015f, 1.5e17f,  -3.0e38f, 123456.789f,
                               1e-30f, 0.1234565f, -999999.9f,  65535.5f, 2.5e-6f,  -1.0f};
  XmodelSurface& s = m.lods[0].surfaces[0];
  for (size_t i = 0; i < s.vertices.size() && i < 64; ++i) {
    XmodelVertex& v = s.vertices[i];
    for (int k = 0; k < 3; ++k) {
      v.position[k] = kOdd[(i + size_t(k)) % std::size(kOdd)];
      v.normal[k] = kOdd[(i * 5 + size_t(k)) % std::size(kOdd)];
    }
    v.u = kOdd[(i * 7) % std::size(kOdd)];
    v.v = kOdd[(i * 11 + 3) % std::size(kOdd)];
    for (int k = 0; k < 4; ++k) v.colour[k] = uint8_t(i * 97 + size_t(k) * 255);
  }
  const uint16_t kWeights[] = {0, 1, 32767, 32768, 65534, 65535};
  for (size_t i = 0; i < s.influence_pool.size(); ++i) s.influence_pool[i].weight = kWeights[i % std::size(kWeights)];
}

// Writes every format of each model `load` yields into `out`; a failed
// export leaves its code in the digest instead of the file. The files for
// the real readers go to `reads`: read raw, Assimp keeps a vertex per face
// corner in OBJ, the model's own in glTF, and gives every glTF mesh the
// skin's joints as its bones.
Digests WriteAll(const fs::path& out, const Loader& load, std::vector<Read>& reads) {
  Digests d;
  for (uint64_t& h : d.of) h = 0xcbf29ce484222325ull;
  for (size_t i = 0;; ++i) {
    Xmodel m;
    const LoadResult loaded = load(i, out / "in", m);
    if (loaded == kEnd) break;
    if (loaded == kSkip) continue;
    m.lods[0].surf_load_ms = 12;  // the clock's reading goes into the headers
    const fs::path dir = out / std::to_string(i);
    const std::string f = dir.string();
    const ErrorCode gltf = ExportGLTF(m, f, false);
    const ErrorCode codes[kOutputs] = {ExportXE(m, f), ExportMA(m, f), 0, ExportOBJ(m, f), 0, gltf, gltf,
                                       ExportGLTF(m, f, true), DumpGDT(m, 0, f), DumpTags(m, f)};
    for (int k = 0; k < kOutputs; ++k) {
      const fs::path file = dir / ((k >= kGdt ? m.name : m.lods[0].surf_name) + kSuffix[k]);
      if (fs::exists(file))
        Fnv1a(d.of[k], test_support::ReadText(file));
      else
        Fnv1a(d.of[k], "missing " + std::to_string(codes[k]));
    }
    unsigned long vertices = 0, faces = 0;
    for (const XmodelSurface& s : m.lods[0].surfaces) vertices += s.vertices.size(), faces += s.triangles.size() / 3;
    const unsigned long meshes = m.lods[0].surfaces.size();
    const fs::path stem = dir / m.lods[0].surf_name;
    reads.push_back({stem.string() + ".obj", meshes, 3 * faces, faces, 0});
    for (const char* ext : {".gltf", ".glb"})
      reads.push_back({stem.string() + ext, meshes, vertices, faces, meshes * m.bones.size()});
  }
  return d;
}

// A quarter turn of pitch past 1 by rounding, and a surface name Maya
// does not take as it is.
void AwkwardPoses(Xmodel& m) {
  m.lods[0].surf_name = "2soldier lod~0";
  m.bones[6].rotation[0] = 0, m.bones[6].rotation[2] = 0;
  m.bones[6].rotation[1] = 0.70712f, m.bones[6].rotation[3] = 0.70712f;
}
// Names only JSON and HTML carry: quotes, a backslash, control bytes, a
// byte that is not UTF-8, markup (the line formats refuse them).
void QuotedNames(Xmodel& m) {
  m.bones[1].name = "j_\"main\"\\root\n\x01<b>&amp;";
  m.bones[2].name = "j_caf\xc3\xa9_\xff";
  m.lods[0].unique_materials[0] = m.material_library.entries[0].name = "mtl \"body\"";
}
// A bone listed before its parent, whose parent is a second root: each
// starts a branch of its own and is listed once.
void LateParent(Xmodel& m) {
  m.bones.push_back(m.bones[1]);
  m.bones[1].name = "j_early", m.bones[1].parent = 2;
  m.bones[2].name = "j_late", m.bones[2].parent = 255;
}
// The crate's maps read and carried by glTF.
void PickCrateMaps(Xmodel& m) {
  EXPECT_TRUE(fixture::WriteCrateMaps(m.raw_dir + "images"));
  PickTextures(m);
}

Loader FixtureModel(const fixture::ModelFiles& files, float scale = 1, bool odd = false,
                    std::function<void(Xmodel&)> tweak = nullptr) {
  return [=](size_t i, const fs::path& root, Xmodel& m) {
    if (i > 0) return kEnd;
    const std::string path = fixture::WriteModel(root.string(), files);
    m.game = files.xmodel.layout;
    m.scale = scale;
    EXPECT_FALSE(path.empty());
    EXPECT_EQ(m.LoadxmodelFull(path), err::kSuccess) << path;
    EXPECT_EQ(m.LoadSurface(), err::kSuccess) << path;
    if (odd) MakeOddValues(m);
    if (tweak) tweak(m);
    return kLoaded;
  };
}

// Every model of a sample tree that loads, in name order.
Loader SampleTree(const fs::path& tree, GameVersion game) {
  auto paths = std::make_shared<std::vector<fs::path>>();
  if (fs::exists(tree / "raw" / "xmodel"))
    for (const auto& entry : fs::directory_iterator(tree / "raw" / "xmodel")) paths->push_back(entry.path());
  std::sort(paths->begin(), paths->end());
  return [=](size_t i, const fs::path&, Xmodel& m) {
    if (i >= paths->size()) return kEnd;
    m.game = game;
    if (m.LoadxmodelFull((*paths)[i].string()) != err::kSuccess || m.LoadSurface() != err::kSuccess) return kSkip;
    return kLoaded;
  };
}

TEST(WriterBytes, EveryFormatKeepsItsBytesAndTheRealReadersTakeIt) {
  const fs::path root = fs::path(::testing::TempDir()) / ("vantor_writer_bytes_" + std::to_string(::getpid()));
  const fs::path samples = fs::path(VANTOR_SOURCE_DIR) / ".." / "shared" / "samples";
  using fixture::MakeBigModel;
  struct Case {
    const char* name;
    Loader load;
    Digests want;
    bool sample = false;
  };
  const Case cases[] = {
      {"soldier cod4", FixtureModel(fixture::MakeSoldierModel("fixture_soldier", Cod4)),
       {{0xbecd35e8ae9535ff, 0xed331195b76ad376, 0x6876e5c35bf82558, 0x28caa30d769d592b, 0xeaeb732bc812021a,
         0x81d0601042421de6, 0xba55a82ef8649382, 0xfb637f29d4ee5ebb, 0x4222f71965e18718, 0x583663ce25b70a20}}},
      {"barrel bo", FixtureModel(fixture::MakeBarrelModel("fixture_barrel")),
       {{0x18264a8e9ae7eabe, 0x4be2bd42ba6b7906, 0x5278f34b5bef5da4, 0x9f2f7e516260484b, 0xf2c8de9c1d20cb8,
         0x9399402c40ce96c5, 0xfd37d3cf8d448717, 0x2a24843448cbd36d, 0x6f9f9254f26dfa60, 0x1ea390e78799eecc}}},
      {"big 1 influence", FixtureModel(MakeBigModel(3, 1500, 1, Cod5)),
       {{0x6febeb3a24f218cd, 0xb29ee63ef35ec115, 0x3e80bcbb5ce9111d, 0xc49dbffdad1b6e1b, 0x3d78b737bc7343d0,
         0x3aa96082f66bb57b, 0x6a9ff883cdbd6d98, 0x93791637f83af192, 0xaea9dc08ff412e9e, 0xb86fcac52ca07d0a}}},
      {"big 2 influences", FixtureModel(MakeBigModel(3, 1500, 2, BO)),
       {{0xfb758770502732f0, 0xb29ee63ef35ec115, 0x45714df81014cc9c, 0xc49dbffdad1b6e1b, 0x3d78b737bc7343d0,
         0x3aa96082f66bb57b, 0x854bb3adb11a0000, 0xd9a4a2247ea7315a, 0xaea9dc08ff412e9e, 0xb86fcac52ca07d0a}}},
      {"big 3 influences", FixtureModel(MakeBigModel(3, 1500, 3, Cod4)),
       {{0xf02ba3c2937c3d4d, 0xb29ee63ef35ec115, 0x812ff544f0f11bd, 0xc49dbffdad1b6e1b, 0x3d78b737bc7343d0,
         0x3aa96082f66bb57b, 0x1c743101915572b8, 0x3128ea31d0fc3dda, 0xaea9dc08ff412e9e, 0xb86fcac52ca07d0a}}},
      {"big 4 odd, scale 2.54, 72,000 vertices",
       FixtureModel(MakeBigModel(6, 12000, 4, Cod4), 2.54f, true),  // corners past 65535
       {{0xc3f0b1a708539286, 0xf192c76553bfedea, 0x84d12992a6dd92c, 0x3af9164e52c0aecf, 0x4cca83ca013cb41c,
         0x9dcde34ee4888dac, 0x418a06726391bdee, 0x13f3617dc2a32ab1, 0xa1450a4e1fd74b76, 0x8767c3d7b831b185}}},
      {"awkward names", FixtureModel(fixture::MakeAwkwardSoldier(), 1, false, AwkwardPoses),
       {{0xb1a6bc905c4af077, 0xc5cb396924c1fee, 0x105cc9608ced09c5, 0x8e74823e982a1a61, 0x3354006840f55bda,
         0x8b6662c536742e99, 0x405b6ea4983444d9, 0x87f4dbcadd5c55b9, 0xdab77f864280f5ba, 0x512193c146e06284}}},
      {"quoted names", FixtureModel(fixture::MakeSoldierModel("soldier", Cod5), 1, false, QuotedNames),
       {{0xf543be07baf77ff5, 0xf543be07baf77ff5, 0xf543bc07baf77c8f, 0x7484c39c16f04eff, 0xd30afcb471c01779,
         0x955bdbc6125c3553, 0xba55a82ef8649382, 0x1de13a3c00b5dab4, 0x15929311d831c512, 0x936e9aae1598561a}}},
      {"ten influences", FixtureModel(fixture::MakeTenInfluenceModel(), 2.54f),
       {{0xdf4d529dfc8561b, 0x1504d9078e7feb37, 0x5437e2ac1ba06a0e, 0xab09fad435ed7ab3, 0x5975ae12eb754d64,
         0x6e968393bae05723, 0x295b7f87b511a1c1, 0x1315a3623cc79b44, 0xb1932ad19b904ed6, 0x8767c3d7b831b185}}},
      {"rigid barrel", FixtureModel(fixture::MakeBarrelModel("barrel"), 1, false, [](Xmodel& m) {
         for (XmodelSurface& s : m.lods[0].surfaces) s.weighted = false;
       }),
       {{0x7cfeaa98bb01c0f8, 0x7e58f271c5d486b8, 0xb3d58a14c09574ed, 0x2daab17514f734fb, 0xbc385dd8c403cdf4,
         0x9a6ad9fb884aafc1, 0x13ce92579d00fc43, 0x22c04ed199adb5f, 0x6dd3fc49dd89d874, 0xdcfe1ec76dfd644}}},
      {"late parent", FixtureModel(fixture::MakeBarrelModel("barrel"), 1, false, LateParent),
       {{0xf23e9b183179cb59, 0xe983dd834d318730, 0xa595cd0d5ed04be0, 0x2daab17514f734fb, 0xbc385dd8c403cdf4,
         0x24a48ad8f9ee0390, 0x204f26e5e6d95135, 0x339592992a3f37ae, 0x6dd3fc49dd89d874, 0x77ca44f4d45a0def}}},
      {"crate with maps", FixtureModel(fixture::MakeMappedCrate(), 1, false, PickCrateMaps),
       {{0x691048e4f6be1678, 0xfba5ca4a638c5a5d, 0xba2837c2f30b936c, 0x9ac87e454a3d8015, 0x2d4199328500829f,
         0x1bd1e46a672c85dd, 0x74e237a788689485, 0x1ab5a13a9a8f5584, 0x3d781209e56670f6, 0x55092267e6892049}}},
      {"unnamed root", FixtureModel(fixture::MakeUnnamedRootTree()),
       {{0x70df0cbf194fca0a, 0x4a11e9f2caa9d1c2, 0xa63c3d3d9d41176d, 0xb2635a85ae060456, 0xb20a34e08718a26c,
         0x12753c55a7144fe3, 0x74e237a788689485, 0x8803eb111c46fb33, 0xfe2cb83421134ee0, 0x2aa2165902d208cd}}},
      {"no bones", FixtureModel(fixture::MakeSoldierModel("soldier", Cod4), 1, false,
                                [](Xmodel& m) { m.bones.clear(); }),
       {{0x59493652cdb234ca, 0x17a9722bc3d422fa, 0xcfb5b3bc8dc3abb4, 0x7484c39c16f04eff, 0x1d430eaadf447d9e,
         0xf42f0874a9e5d64, 0xff697e14bcee4c87, 0xeeb0fa3efc53c0c6, 0xe508cd4edf8a5b88, 0x32a74e6f4bbcb00d}}},
      {"cod4-modtools", SampleTree(samples / "cod4-modtools", Cod4),
       {{0xb69a90e12bf303e8, 0xea8281e780aa626f, 0xa2875accf97a8d67, 0x2eaa2e3e8f1862cf, 0xfc1bd042b35e8af7,
         0xf6720ee763a2c5a7, 0xbdf1165d15bc38e3, 0x40e55ff097bd0547, 0x7cadadd0dec6d473, 0x1e23b70fe7c7c5e5}}, true},
      {"cod4-deathrun", SampleTree(samples / "cod4-deathrun", Cod4),
       {{0x199403f2878cca9c, 0xd0eef984c2a02ea9, 0x9f22af3202d98f6a, 0x61ecd878ce1a504e, 0x99a178f35d5cbe2b,
         0x2020a21cd14b2f8c, 0xbb69482c953ead1, 0x32826fa3146330cf, 0xd1fcf4733eef0acd, 0x420d38a5750160f9}}, true},
      {"cod4-surf", SampleTree(samples / "cod4-surf", Cod4),
       {{0xdfd711cc8ae1dd5c, 0xe3a4bf05ca0452ce, 0xc5a70f5e229a6e9b, 0xf6a04b5cbd40cbe7, 0x5b3d9bbe0f55e115,
         0x1d5d0485e5ac745c, 0x44a4a3e0dd029a03, 0x992e01a3272388f3, 0x85dce8471632f272, 0x9a9ea84370b3049d}}, true},
      {"bo-t7mod", SampleTree(samples / "bo-t7mod", BO),
       {{0xe0398d0145e32bb8, 0x1f4c039e162e9df8, 0xe1fd779525a7e2ec, 0xb647740be84e9983, 0xfbd610fee8ab94fd,
         0x399d238b9a6938de, 0x15d9e3041e0a5811, 0x9d72dc81d5688f76, 0x87fc9b5467065d3b, 0xbfc615fc3f97727d}}, true},
      {"waw-santaraus", SampleTree(samples / "waw-santaraus", Cod5),
       {{0x1ffd6a81f9cb4754, 0x3a2f86dcc2eedada, 0xd858a887f4240e47, 0xc848efa924952c7b, 0xcd4d4218427bde4f,
         0xe7b0ef7c5fa1f612, 0xc578613b45ed8e96, 0xc713cad75c15312, 0x33c8d3cf44a46466, 0xa2a89b0b92ed1aef}}, true},
      {"bo-ville", SampleTree(samples / "bo-ville", BO),
       {{0x703c902d541e8a1d, 0x87f7df88c5ae770b, 0xe591951fa1db5948, 0xff4055a3994994af, 0xf0c7ffd84c756943,
         0x14ba0d4923fad0e6, 0x871808804002c2b2, 0xb5b8a5bed32dfc96, 0xfba73c4c86dae0b2, 0x3c367713f0d8adc7}}, true},
  };
  const bool have_samples = fs::exists(samples);
  std::vector<Read> reads;
  for (size_t c = 0; c < std::size(cases); ++c) {
    const Case& k = cases[c];
    if (k.sample && !have_samples) continue;
    const Digests got = WriteAll(root / std::to_string(c), k.load, reads);
    std::string row;
    for (int f = 0; f < kOutputs; ++f) {
      EXPECT_EQ(got.of[f], k.want.of[f]) << k.name << kSuffix[f];
      char digest[32];
      std::snprintf(digest, sizeof digest, "0x%llx, ", (unsigned long long)got.of[f]);
      row += digest;
    }
    if (std::memcmp(got.of, k.want.of, sizeof got.of) != 0) std::printf("%s: {{%s}}\n", k.name, row.c_str());
  }
  if (!have_samples) std::printf("no ../shared/samples: the sample trees were skipped\n");

  // The validator (tests/export/gltf/validate.sh installs it with npm on
  // first use): one report line per file, npm's words on a first install
  // before them.
  std::string validate = "bash '" + (fs::path(VANTOR_SOURCE_DIR) / "tests/export/gltf/validate.sh").string() + "'";
  size_t gltf = 0, reports = 0;
  for (const Read& r : reads)
    if (r.file.extension() != ".obj") validate += " '" + r.file.string() + "'", ++gltf;
  EXPECT_GE(gltf, have_samples ? 42u : 28u);
  int status = 0;
  const std::string out = test_support::RunCommand(validate + " 2>&1", &status);
  for (size_t at = out.find("{\"file\":"); at != std::string::npos; at = out.find("{\"file\":", at + 1)) ++reports;
  EXPECT_TRUE(status == 0 && reports == gltf) << "status " << status << ":\n" << out;

  if (!test_support::HaveProgram("assimp")) GTEST_SKIP() << "assimp (Debian assimp-utils) is not installed";
  for (const Read& r : reads) {
    // Assimp does not decode the escaped buffer URI ("%20") of a blank.
    if (r.file.extension() == ".gltf" && r.file.string().find(' ') != std::string::npos) continue;
    const std::string text = test_support::RunCommand("cd '" + r.file.parent_path().string() + "' && assimp info '" +
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
  fs::remove_all(root);
}

// The formats the hot loops use give printf's bytes: "%.6f" of doubles and
// floats of every scale, "%.5f" and "%.2f", the padded "%9.6f", "%lld", and
// the ties, signs and edges.
TEST(WriterBytes, NumberFormatsMatchPrintf) {
  std::mt19937_64 rng(11);
  char want[512], got[512];
  auto check = [&](const char* format, char* end, auto value) {
    std::snprintf(want, sizeof want, format, value);
    return std::string_view(got, size_t(end - got)) == want;
  };
  for (int i = 0; i < 300000; ++i) {
    const uint32_t bits = uint32_t(rng());
    float f;
    std::memcpy(&f, &bits, sizeof f);
    if (!std::isfinite(f)) continue;
    ASSERT_TRUE(check("%.6f", PutFixed(got, f), double(f))) << want;
    ASSERT_TRUE(check("%9.6f", PutFixedWidth(got, f, 9), double(f))) << want;
    const double d = std::ldexp(double(rng() >> 11) / double(1ull << 53), int(rng() % 70) - 50);
    ASSERT_TRUE(check("%.5f", PutFixed(got, d, 5), d)) << want;
    ASSERT_TRUE(check("%.6f", FormatFixed6(got, -d), -d)) << want;
    ASSERT_TRUE(check("%.2f", PutFixed(got, -d, 2), -d)) << want;
    const long long n = (long long)(rng() >> (rng() % 64)) * (i % 2 ? 1 : -1);
    ASSERT_TRUE(check("%lld", PutInt(got, n), n)) << want;
  }
  for (double d : {0.0, -0.0, 0.5, 1.5, 2.5, 0.125, 0.005, 0.015, 0.000005, 0.000015, 99.995, 1e300, 0.0078125,
                   0.0000005, 0.0000015, 2.5e-7, -2.5e-7, 1e-300, 5e-324, 0.999999999, 123456.1234565, 1e15, 9.2e18,
                   1e22, 3.0517578125e-05, 1.0 / 3.0, 18.338537, -0.819152, double(INFINITY), -double(INFINITY)})
    for (const char* format : {"%.2f", "%.5f", "%.6f"})
      EXPECT_TRUE(check(format, PutFixed(got, d, format[2] - '0'), d)) << want;
}

// Text longer than a line arrives whole and in order with what is around
// it (the order of the blocks is in the digests above); a write that fails
// is reported by Flush, half way and at the end.
TEST(WriterBytes, LongTextArrivesWholeAndAFailedWriteIsReported) {
  const std::string long_name(3 * TextOut::kLineMax + 17, 'n');
  std::string want;
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  {
    TextOut out(file);
    for (int i = 0; i < 4; ++i) out.Raw(long_name).Int(i), want += long_name + std::to_string(i);
    EXPECT_TRUE(out.Flush());
  }
  std::string got(want.size() + 1, '\0');
  std::rewind(file);
  got.resize(std::fread(got.data(), 1, got.size(), file));
  std::fclose(file);
  EXPECT_TRUE(got == want) << got.size() << " bytes, " << want.size() << " wanted";

  std::FILE* full = std::fopen("/dev/full", "wb");
  if (!full) GTEST_SKIP() << "no /dev/full";
  {
    TextOut out(full);
    for (int i = 0; i < 400000; ++i) {
      if (i == 150000) {
        EXPECT_FALSE(out.Flush());
      }
      out.Lit("line ").Int(i).Lit(" ").Fixed(i / 7.0).Lit("\n");
    }
    EXPECT_FALSE(out.Flush());
  }
  std::fclose(full);
}

}  // namespace
