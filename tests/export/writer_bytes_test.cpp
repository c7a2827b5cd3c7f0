// The text writers' exact bytes, pinned: each format (XMODEL_EXPORT, Maya
// ASCII with its bind script, OBJ with its MTL) is written for fixture
// models and the real samples, and a 64-bit FNV-1a of each output is
// compared with the digest the writers gave when the table was recorded.
// A faster writer must give the same files, byte for byte.
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

#include "export/number_format.h"
#include "export/text_out.h"
#include "model/xmodel.h"
#include "tests/support/files.h"
#include "tools/fixture/fixture_writer.h"
#include "tools/fixture/sample_tree.h"

namespace {

namespace fs = std::filesystem;

// The five files of one model, in the table's order.
enum Output { kXe, kMa, kMel, kObj, kMtl, kOutputs };
constexpr const char* kSuffix[kOutputs] = {".XMODEL_EXPORT", ".ma", "_bind.mel", ".obj", ".mtl"};

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
    const std::string name = m.lods[0].surf_name;
    const ErrorCode codes[kOutputs] = {m.ExportXE(dir.string()), m.ExportMA(dir.string()), 0, m.ExportOBJ(dir.string()),
                                       0};
    for (int k = 0; k < kOutputs; ++k) {
      const fs::path file = dir / (name + kSuffix[k]);
      if (fs::exists(file))
        Fnv1a(d.of[k], test_support::ReadText(file));
      else
        Fnv1a(d.of[k], "missing " + std::to_string(codes[k]));
    }
  }
  return d;
}

Loader FixtureModel(const fs::path& root, const fixture::ModelFiles& files, GameVersion game, float scale, bool odd) {
  return [=](size_t i, Xmodel& m) {
    if (i > 0) return kEnd;
    const std::string path = fixture::WriteModel(root.string(), files);
    m.game = game;
    m.scale = scale;
    EXPECT_FALSE(path.empty());
    EXPECT_EQ(m.LoadxmodelFull(path), err::kSuccess) << path;
    EXPECT_EQ(m.LoadSurface(), err::kSuccess) << path;
    if (odd) MakeOddValues(m);
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
       {{0xbecd35e8ae9535ffull, 0xed331195b76ad376ull, 0x6876e5c35bf82558ull, 0x28caa30d769d592bull,
         0xeaeb732bc812021aull}}},
      {"barrel bo",
       FixtureModel(root / "b7", fixture::MakeBarrelModel("fixture_barrel"), BO, 1, false),
       {{0x18264a8e9ae7eabeull, 0x4be2bd42ba6b7906ull, 0x5278f34b5bef5da4ull, 0x9f2f7e516260484bull,
         0xf2c8de9c1d20cb8ull}}},
      {"big 1 influence",
       FixtureModel(root / "g1", MakeBigModel(3, 1500, 1, Cod5), Cod5, 1, false),
       {{0x6febeb3a24f218cdull, 0xb29ee63ef35ec115ull, 0x3e80bcbb5ce9111dull, 0xc49dbffdad1b6e1bull,
         0x3d78b737bc7343d0ull}}},
      {"big 2 influences",
       FixtureModel(root / "g2", MakeBigModel(3, 1500, 2, BO), BO, 1, false),
       {{0xfb758770502732f0ull, 0xb29ee63ef35ec115ull, 0x45714df81014cc9cull, 0xc49dbffdad1b6e1bull,
         0x3d78b737bc7343d0ull}}},
      {"big 3 influences",
       FixtureModel(root / "g3", MakeBigModel(3, 1500, 3, Cod4), Cod4, 1, false),
       {{0xf02ba3c2937c3d4dull, 0xb29ee63ef35ec115ull, 0x812ff544f0f11bdull, 0xc49dbffdad1b6e1bull,
         0x3d78b737bc7343d0ull}}},
      {"big 4 odd, scale 2.54",
       FixtureModel(root / "g4", MakeBigModel(6, 4000, 4, Cod4), Cod4, 2.54f, true),
       {{0x2fda26a94e0fa418ull, 0x9ae4d30b8deb5532ull, 0xf7c489d515100a64ull, 0xcbb7524a388e6b6bull,
         0x4cca83ca013cb41cull}}},
      {"cod4-modtools",
       SampleTree(samples / "cod4-modtools", Cod4),
       {{0xb69a90e12bf303e8ull, 0xea8281e780aa626full, 0xa2875accf97a8d67ull, 0x2eaa2e3e8f1862cfull,
         0xfc1bd042b35e8af7ull}},
       true},
      {"cod4-deathrun",
       SampleTree(samples / "cod4-deathrun", Cod4),
       {{0x199403f2878cca9cull, 0xd0eef984c2a02ea9ull, 0x9f22af3202d98f6aull, 0x61ecd878ce1a504eull,
         0x99a178f35d5cbe2bull}},
       true},
      {"cod4-surf",
       SampleTree(samples / "cod4-surf", Cod4),
       {{0xdfd711cc8ae1dd5cull, 0xe3a4bf05ca0452ceull, 0xc5a70f5e229a6e9bull, 0xf6a04b5cbd40cbe7ull,
         0x5b3d9bbe0f55e115ull}},
       true},
      {"bo-t7mod",
       SampleTree(samples / "bo-t7mod", BO),
       {{0xe0398d0145e32bb8ull, 0x1f4c039e162e9df8ull, 0xe1fd779525a7e2ecull, 0xb647740be84e9983ull,
         0xfbd610fee8ab94fdull}},
       true},
      {"bo-ville",
       SampleTree(samples / "bo-ville", BO),
       {{0x703c902d541e8a1dull, 0x87f7df88c5ae770bull, 0xe591951fa1db5948ull, 0xff4055a3994994afull,
         0xf0c7ffd84c756943ull}},
       true},
  };
  const bool have_samples = fs::exists(samples);
  for (size_t c = 0; c < std::size(cases); ++c) {
    const Case& k = cases[c];
    if (k.sample && !have_samples) continue;
    const Digests got = WriteAll(root / std::to_string(c), k.load);
    for (int f = 0; f < kOutputs; ++f)
      EXPECT_EQ(got.of[f], k.want.of[f]) << k.name << kSuffix[f] << ": 0x" << std::hex << got.of[f];
  }
  if (!have_samples) std::printf("no ../shared/samples: the sample trees were skipped\n");
  fs::remove_all(root);
}

// The formats the hot loops use beside the double "%.6f" (text_out_test):
// floats of every scale, "%.5f" and "%.2f", the padded "%9.6f", "%i".
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
    ASSERT_TRUE(check("%.2f", PutFixed(got, -d, 2), -d)) << want;
    const long long n = (long long)(rng() >> (rng() % 64)) * (i % 2 ? 1 : -1);
    ASSERT_TRUE(check("%lld", PutInt(got, n), n)) << want;
  }
  for (double d : {0.0, -0.0, 0.5, 1.5, 2.5, 0.125, 0.005, 0.015, 0.000005, 0.000015, 99.995, 1e300})
    for (int digits : {2, 5}) {
      std::snprintf(want, sizeof want, "%.*f", digits, d);
      EXPECT_EQ(std::string_view(got, size_t(PutFixed(got, d, digits) - got)), want);
    }
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
