// The writers' exact bytes, pinned: each format (XMODEL_EXPORT, Maya ASCII
// with its bind script, OBJ with its MTL, glTF with its buffer, GLB, GDT,
// the tags report) is written for fixture models, awkward ones included,
// and the real samples, and a 64-bit FNV-1a of each output is compared
// with the digest the writers gave when the table was recorded. A faster
// writer must give the same files, byte for byte.
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
#include <string>
#include <vector>

#include "export/model_exports.h"
#include "export/number_format.h"
#include "export/text_out.h"
#include "model/texture_pick.h"
#include "model/xmodel.h"
#include "tests/support/files.h"
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

// Loads model `i` of a case into a fresh Xmodel: kLoaded, kSkip (a sample
// this reader does not take) or kEnd.
enum LoadResult { kLoaded, kSkip, kEnd };
using Loader = std::function<LoadResult(size_t, Xmodel&)>;

struct Digests {
  uint64_t of[kOutputs];
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
// export leaves its code in the digest instead of the file.
Digests WriteAll(const fs::path& out, const Loader& load) {
  Digests d;
  for (uint64_t& h : d.of) h = 0xcbf29ce484222325ull;
  for (size_t i = 0;; ++i) {
    Xmodel m;
    const LoadResult loaded = load(i, m);
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
  }
  return d;
}

// Names the games allow and the formats do not take as they are: blanks,
// "~", "/", a leading digit, two names that meet once mapped, a camera's
// name, a material's own node name, ";" (Maya); a material name met twice
// once blanks are mapped (OBJ); a quarter turn of pitch past 1 by
// rounding; a missing and a doubled colour map.
fixture::ModelFiles AwkwardSoldier() {
  fixture::ModelFiles files = fixture::MakeSoldierModel("soldier", Cod4);
  const char* materials[] = {"metal x", "mc/foo~1", "metal_x"};
  for (size_t k = 0; k < 3; ++k) files.materials[k].name = materials[k];
  files.materials[0].slots = {{"normalMap", "soldier_body_nml"}};
  files.materials[1].slots.push_back({"Diffuse_MapSampler", files.materials[1].slots[0].image});
  fixture::MaterialBlock block{{"metal x", "mc/foo~1", "metal_x", "metal_x"}};
  files.xmodel.materials = {block, block};
  const std::pair<size_t, const char*> bones[] = {{2, "tag weapon"}, {3, "1st_knee"},  {4, "tag~weapon"},  {5, "j;delete"},
                                                  {10, "persp"},     {14, "metal_xSG"}, {24, "tag_weapon_right"}};
  for (const auto& [index, name] : bones) files.parts.bones[index].name = name;
  return files;
}
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
// Ten influences of distinct weights a vertex: glTF keeps the heaviest four.
fixture::ModelFiles TenInfluences() {
  fixture::ModelFiles files = fixture::MakeBigModel(2, 64, 10, Cod4);
  for (fixture::SurfsSurface& s : files.surfs[0].surfaces)
    for (size_t v = 0; v < s.vertices.size(); ++v)
      for (size_t k = 0; k < s.vertices[v].influences.size(); ++k)
        s.vertices[v].influences[k].weight = uint16_t(500 * (1 + (k * 7 + v) % 11));
  return files;
}
// The maps read and carried by glTF (a missing specular map left out).
fixture::ModelFiles MappedCrate() {
  fixture::ModelFiles files = fixture::MakePropModel("crate", Cod4);
  files.materials[0].slots = {{"colorMap", "~-gcrate_col"}, {"normalMap", "crate_nml"}, {"specularMap", "crate_spc"}};
  return files;
}

Loader FixtureModel(const fs::path& root, const fixture::ModelFiles& files, GameVersion game, float scale, bool odd,
                    std::function<void(Xmodel&)> tweak = nullptr) {
  return [=](size_t i, Xmodel& m) {
    if (i > 0) return kEnd;
    const std::string path = fixture::WriteModel(root.string(), files);
    m.game = game;
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
  return [=](size_t i, Xmodel& m) {
    if (i >= paths->size()) return kEnd;
    m.game = game;
    if (m.LoadxmodelFull((*paths)[i].string()) != err::kSuccess || m.LoadSurface() != err::kSuccess) return kSkip;
    return kLoaded;
  };
}

TEST(WriterBytes, EveryFormatKeepsItsBytes) {
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
      {"soldier cod4",
       FixtureModel(root / "s4", fixture::MakeSoldierModel("fixture_soldier", Cod4), Cod4, 1, false),
       {{0xbecd35e8ae9535ffull, 0xed331195b76ad376ull, 0x6876e5c35bf82558ull,
         0x28caa30d769d592bull, 0xeaeb732bc812021aull, 0x81d0601042421de6ull,
         0xba55a82ef8649382ull, 0xfb637f29d4ee5ebbull, 0x4222f71965e18718ull, 0x583663ce25b70a20ull}}},
      {"barrel bo",
       FixtureModel(root / "b7", fixture::MakeBarrelModel("fixture_barrel"), BO, 1, false),
       {{0x18264a8e9ae7eabeull, 0x4be2bd42ba6b7906ull, 0x5278f34b5bef5da4ull,
         0x9f2f7e516260484bull, 0xf2c8de9c1d20cb8ull, 0x9399402c40ce96c5ull,
         0xfd37d3cf8d448717ull, 0x2a24843448cbd36dull, 0x6f9f9254f26dfa60ull, 0x1ea390e78799eeccull}}},
      {"big 1 influence",
       FixtureModel(root / "g1", MakeBigModel(3, 1500, 1, Cod5), Cod5, 1, false),
       {{0x6febeb3a24f218cdull, 0xb29ee63ef35ec115ull, 0x3e80bcbb5ce9111dull,
         0xc49dbffdad1b6e1bull, 0x3d78b737bc7343d0ull, 0x3aa96082f66bb57bull,
         0x6a9ff883cdbd6d98ull, 0x93791637f83af192ull, 0xaea9dc08ff412e9eull, 0xb86fcac52ca07d0aull}}},
      {"big 2 influences",
       FixtureModel(root / "g2", MakeBigModel(3, 1500, 2, BO), BO, 1, false),
       {{0xfb758770502732f0ull, 0xb29ee63ef35ec115ull, 0x45714df81014cc9cull,
         0xc49dbffdad1b6e1bull, 0x3d78b737bc7343d0ull, 0x3aa96082f66bb57bull,
         0x854bb3adb11a0000ull, 0xd9a4a2247ea7315aull, 0xaea9dc08ff412e9eull, 0xb86fcac52ca07d0aull}}},
      {"big 3 influences",
       FixtureModel(root / "g3", MakeBigModel(3, 1500, 3, Cod4), Cod4, 1, false),
       {{0xf02ba3c2937c3d4dull, 0xb29ee63ef35ec115ull, 0x812ff544f0f11bdull,
         0xc49dbffdad1b6e1bull, 0x3d78b737bc7343d0ull, 0x3aa96082f66bb57bull,
         0x1c743101915572b8ull, 0x3128ea31d0fc3ddaull, 0xaea9dc08ff412e9eull, 0xb86fcac52ca07d0aull}}},
      {"big 4 odd, scale 2.54, 72,000 vertices",
       FixtureModel(root / "g4", MakeBigModel(6, 12000, 4, Cod4), Cod4, 2.54f, true),  // corners past 65535
       {{0xc3f0b1a708539286ull, 0xf192c76553bfedeaull, 0x84d12992a6dd92cull,
         0x3af9164e52c0aecfull, 0x4cca83ca013cb41cull, 0x9dcde34ee4888dacull,
         0x418a06726391bdeeull, 0x13f3617dc2a32ab1ull, 0xa1450a4e1fd74b76ull, 0x8767c3d7b831b185ull}}},
      {"awkward names",
       FixtureModel(root / "a4", AwkwardSoldier(), Cod4, 1, false, AwkwardPoses),
       {{0xb1a6bc905c4af077ull, 0xc5cb396924c1feeull, 0x105cc9608ced09c5ull,
         0x8e74823e982a1a61ull, 0x3354006840f55bdaull, 0x8b6662c536742e99ull,
         0x405b6ea4983444d9ull, 0x87f4dbcadd5c55b9ull, 0xdab77f864280f5baull, 0x512193c146e06284ull}}},
      {"quoted names",
       FixtureModel(root / "q5", fixture::MakeSoldierModel("soldier", Cod5), Cod5, 1, false, QuotedNames),
       {{0xf543be07baf77ff5ull, 0xf543be07baf77ff5ull, 0xf543bc07baf77c8full,
         0x7484c39c16f04effull, 0xd30afcb471c01779ull, 0x955bdbc6125c3553ull,
         0xba55a82ef8649382ull, 0x1de13a3c00b5dab4ull, 0x15929311d831c512ull, 0x936e9aae1598561aull}}},
      {"ten influences",
       FixtureModel(root / "t4", TenInfluences(), Cod4, 2.54f, false),
       {{0xdf4d529dfc8561bull, 0x1504d9078e7feb37ull, 0x5437e2ac1ba06a0eull,
         0xab09fad435ed7ab3ull, 0x5975ae12eb754d64ull, 0x6e968393bae05723ull,
         0x295b7f87b511a1c1ull, 0x1315a3623cc79b44ull, 0xb1932ad19b904ed6ull, 0x8767c3d7b831b185ull}}},
      {"rigid barrel",
       FixtureModel(root / "r7", fixture::MakeBarrelModel("barrel"), BO, 1, false,
                    [](Xmodel& m) {
                      for (XmodelSurface& s : m.lods[0].surfaces) s.weighted = false;
                    }),
       {{0x7cfeaa98bb01c0f8ull, 0x7e58f271c5d486b8ull, 0xb3d58a14c09574edull,
         0x2daab17514f734fbull, 0xbc385dd8c403cdf4ull, 0x9a6ad9fb884aafc1ull,
         0x13ce92579d00fc43ull, 0x22c04ed199adb5full, 0x6dd3fc49dd89d874ull, 0xdcfe1ec76dfd644ull}}},
      {"crate with maps",
       FixtureModel(root / "m4", MappedCrate(), Cod4, 1, false,
                    [images = root / "m4" / "raw" / "images"](Xmodel& m) {
                      fixture::IwiDesc d;
                      d.format = 11;
                      for (const char* name : {"~-gcrate_col", "crate_nml"}) {
                        d.picture = fixture::MakeTestPicture(16, 8);
                        EXPECT_TRUE(fixture::WriteFile((images / (std::string(name) + ".iwi")).string(), fixture::WriteIwi(d)));
                      }
                      PickTextures(m);
                    }),
       {{0x691048e4f6be1678ull, 0xfba5ca4a638c5a5dull, 0xba2837c2f30b936cull,
         0x9ac87e454a3d8015ull, 0x2d4199328500829full, 0xab826fd82dc10647ull,
         0x74e237a788689485ull, 0x9db9dbde1471bef5ull, 0x3d781209e56670f6ull, 0x55092267e6892049ull}}},
      {"unnamed root",
       FixtureModel(root / "u4", [] {
         fixture::ModelFiles files = fixture::MakePropModel("tree", Cod4);
         files.parts.bones[0].name = "";  // real props have such a root: no joint, nothing to bind to
         return files;
       }(), Cod4, 1, false),
       {{0x70df0cbf194fca0aull, 0x4a11e9f2caa9d1c2ull, 0xa63c3d3d9d41176dull,
         0xb2635a85ae060456ull, 0xb20a34e08718a26cull, 0x12753c55a7144fe3ull,
         0x74e237a788689485ull, 0x8803eb111c46fb33ull, 0xfe2cb83421134ee0ull, 0x2aa2165902d208cdull}}},
      {"no bones",
       FixtureModel(root / "n4", fixture::MakeSoldierModel("soldier", Cod4), Cod4, 1, false,
                    [](Xmodel& m) { m.bones.clear(); }),
       {{0x59493652cdb234caull, 0x17a9722bc3d422faull, 0xcfb5b3bc8dc3abb4ull,
         0x7484c39c16f04effull, 0x1d430eaadf447d9eull, 0xf42f0874a9e5d64ull,
         0xff697e14bcee4c87ull, 0xeeb0fa3efc53c0c6ull, 0xe508cd4edf8a5b88ull, 0x32a74e6f4bbcb00dull}}},
      {"cod4-modtools",
       SampleTree(samples / "cod4-modtools", Cod4),
       {{0xb69a90e12bf303e8ull, 0xea8281e780aa626full, 0xa2875accf97a8d67ull,
         0x2eaa2e3e8f1862cfull, 0xfc1bd042b35e8af7ull, 0xf6720ee763a2c5a7ull,
         0xbdf1165d15bc38e3ull, 0x40e55ff097bd0547ull, 0x7cadadd0dec6d473ull, 0x1e23b70fe7c7c5e5ull}},
       true},
      {"cod4-deathrun",
       SampleTree(samples / "cod4-deathrun", Cod4),
       {{0x199403f2878cca9cull, 0xd0eef984c2a02ea9ull, 0x9f22af3202d98f6aull,
         0x61ecd878ce1a504eull, 0x99a178f35d5cbe2bull, 0x2020a21cd14b2f8cull,
         0xbb69482c953ead1ull, 0xfeceb9e2c9666cb2ull, 0xd1fcf4733eef0acdull, 0x420d38a5750160f9ull}},
       true},
      {"cod4-surf",
       SampleTree(samples / "cod4-surf", Cod4),
       {{0xdfd711cc8ae1dd5cull, 0xe3a4bf05ca0452ceull, 0xc5a70f5e229a6e9bull,
         0xf6a04b5cbd40cbe7ull, 0x5b3d9bbe0f55e115ull, 0x989d7f7e8c8e142eull,
         0x44a4a3e0dd029a03ull, 0x30a3575312b6a72eull, 0x85dce8471632f272ull, 0x9a9ea84370b3049dull}},
       true},
      {"bo-t7mod",
       SampleTree(samples / "bo-t7mod", BO),
       {{0xe0398d0145e32bb8ull, 0x1f4c039e162e9df8ull, 0xe1fd779525a7e2ecull,
         0xb647740be84e9983ull, 0xfbd610fee8ab94fdull, 0xf4c037f0ecca425ull,
         0x15d9e3041e0a5811ull, 0x831fe7f1975050fcull, 0x87fc9b5467065d3bull, 0xbfc615fc3f97727dull}},
       true},
      {"bo-ville",
       SampleTree(samples / "bo-ville", BO),
       {{0x703c902d541e8a1dull, 0x87f7df88c5ae770bull, 0xe591951fa1db5948ull,
         0xff4055a3994994afull, 0xf0c7ffd84c756943ull, 0x14ba0d4923fad0e6ull,
         0x871808804002c2b2ull, 0xb5b8a5bed32dfc96ull, 0xfba73c4c86dae0b2ull, 0x3c367713f0d8adc7ull}},
       true},
  };
  const bool have_samples = fs::exists(samples);
  for (size_t c = 0; c < std::size(cases); ++c) {
    const Case& k = cases[c];
    if (k.sample && !have_samples) continue;
    const Digests got = WriteAll(root / std::to_string(c), k.load);
    std::string row;
    for (int f = 0; f < kOutputs; ++f) {
      EXPECT_EQ(got.of[f], k.want.of[f]) << k.name << kSuffix[f];
      char digest[32];
      std::snprintf(digest, sizeof digest, "0x%llxull, ", (unsigned long long)got.of[f]);
      row += digest;
    }
    if (std::memcmp(got.of, k.want.of, sizeof got.of) != 0) std::printf("%s: {{%s}}\n", k.name, row.c_str());
  }
  if (!have_samples) std::printf("no ../shared/samples: the sample trees were skipped\n");
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
  for (double d : {0.0, -0.0, 0.5, 1.5, 2.5, 0.125, 0.005, 0.015, 0.000005, 0.000015, 99.995, 1e300})
    for (int digits : {2, 5}) {
      std::snprintf(want, sizeof want, "%.*f", digits, d);
      EXPECT_EQ(std::string_view(got, size_t(PutFixed(got, d, digits) - got)), want);
    }
  for (double d : {0.0078125, 0.0000005, 0.0000015, 2.5e-7, -2.5e-7, 1e-300, 5e-324, 0.999999999, 123456.1234565, 1e15,
                   9.2e18, 1e22, 3.0517578125e-05, 1.0 / 3.0, 18.338537, -0.819152, double(INFINITY), -double(INFINITY)})
    EXPECT_TRUE(check("%.6f", FormatFixed6(got, d), d)) << want;
}

// Many blocks through the writer thread arrive whole and in order, across a
// Flush half way; a write that fails is reported by Flush.
TEST(WriterBytes, BlocksArriveInOrderAndAFailedWriteIsReported) {
  std::string want;
  const std::string long_name(3 * TextOut::kLineMax + 17, 'n');
  auto write_all = [&](TextOut& out, bool writes) {
    for (int i = 0; i < 400000; ++i) {
      if (i == 150000) {
        EXPECT_EQ(out.Flush(), writes);
      }
      if (i % 50000 == 7) out.Raw(long_name);
      out.Lit("line ").Int(i).Lit(" ").Fixed(i / 7.0).Lit("\n");
    }
  };
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  {
    TextOut out(file);
    write_all(out, true);
    EXPECT_TRUE(out.Flush());
  }
  for (int i = 0; i < 400000; ++i) {
    if (i % 50000 == 7) want += long_name;
    char line[64];
    want.append(line, size_t(std::snprintf(line, sizeof line, "line %d %f\r\n", i, i / 7.0)));
  }
  ASSERT_GT(want.size(), 4u << 20);
  std::string got(want.size() + 1, '\0');
  std::rewind(file);
  got.resize(std::fread(got.data(), 1, got.size(), file));
  std::fclose(file);
  EXPECT_TRUE(got == want) << got.size() << " bytes, " << want.size() << " wanted";

  std::FILE* full = std::fopen("/dev/full", "wb");
  if (!full) GTEST_SKIP() << "no /dev/full";
  {
    TextOut out(full);
    write_all(out, false);
    EXPECT_FALSE(out.Flush());
  }
  std::fclose(full);
}

}  // namespace
