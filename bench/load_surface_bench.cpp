// Surface loading speed on a large model: 64 surfaces of 32,000 vertices,
// four influences a vertex, COD 4 layout (the fixture writer's big model,
// 166 MB of xmodelsurfs). Two figures, in bytes of that file a second:
//   BM_ReadSurfaceBytes  the reader alone, over the file already in memory
//   BM_LoadSurface       LoadSurface as the worker runs it: map the file
//                        (from the page cache), parse, apply the scale (1,
//                        which changes nothing, and 2.54)
// The whole `vantor-cli info` process against `cat` of the same file (the
// read floor) is bench/info_vs_cat.sh.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>  // Required for: getpid()
#include <vector>

#include "model/xmodel.h"
#include "platform/file_bytes.h"
#include "tools/fixture/fixture_writer.h"

namespace {

constexpr int kSurfaces = 64;
constexpr int kVertsPerSurface = 32000;
constexpr int kInfluences = 4;

// Set up once in main, before any benchmark runs.
std::string g_xmodel_path;        // the model as the program opens it
std::string g_surfs_path;         // its level-0 xmodelsurfs file
std::vector<uint8_t> g_surfs_bytes;

// A model loaded as the worker leaves it after LoadxmodelFull: xmodel and
// parts read, materials resolved, surfaces set up, level 0 not read yet.
bool LoadModel(Xmodel& model, benchmark::State& state) {
  model.game = Cod4;
  ErrorCode result = model.LoadxmodelFull(g_xmodel_path);
  if (result != err::kSuccess) {
    state.SkipWithError(("LoadxmodelFull failed: " + ErrorText(result)).c_str());
    return false;
  }
  return true;
}

void BM_ReadSurfaceBytes(benchmark::State& state) {
  Xmodel model;
  if (!LoadModel(model, state)) return;
  for (auto _ : state) {
    state.PauseTiming();
    model.lods[0].surfaces.clear();
    model.lods[0].surfaces.shrink_to_fit();
    model.lods[0].surfaces_loaded = false;
    state.ResumeTiming();
    ErrorCode result = model.ReadSurfaceBytes(model.lods[0], g_surfs_bytes);
    if (result != err::kSuccess) {
      state.SkipWithError(("ReadSurfaceBytes failed: " + ErrorText(result)).c_str());
      break;
    }
    benchmark::DoNotOptimize(model.lods[0].surfaces.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(g_surfs_bytes.size()));
}

void BM_LoadSurface(benchmark::State& state) {
  Xmodel model;
  if (!LoadModel(model, state)) return;
  // Argument: the model scale in hundredths. At 100 ApplyScale returns at
  // once; any other scale is a pass over every vertex and bone.
  model.scale = float(state.range(0)) / 100.0f;
  for (auto _ : state) {
    state.PauseTiming();
    model.lods[0].surfaces.clear();
    model.lods[0].surfaces.shrink_to_fit();
    model.lods[0].surfaces_loaded = false;
    state.ResumeTiming();
    ErrorCode result = model.LoadSurface();
    if (result != err::kSuccess) {
      state.SkipWithError(("LoadSurface failed: " + ErrorText(result)).c_str());
      break;
    }
    benchmark::DoNotOptimize(model.lods[0].surfaces.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(g_surfs_bytes.size()));
}

BENCHMARK(BM_ReadSurfaceBytes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadSurface)->ArgName("scale_x100")->Arg(100)->Arg(254)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  namespace fs = std::filesystem;
  fs::path root = fs::temp_directory_path() / ("vantor_bench_" + std::to_string(getpid()));
  {
    fixture::ModelFiles files =
        fixture::MakeBigModel(kSurfaces, kVertsPerSurface, kInfluences, Cod4);
    g_xmodel_path = fixture::WriteModel(root.string(), files);
    if (g_xmodel_path.empty()) {
      std::fprintf(stderr, "BENCH: [%s] could not write the model\n", root.c_str());
      return 1;
    }
    g_surfs_path = (root / "raw" / "xmodelsurfs" / files.xmodel.lods[0].name).string();
  }
  // Read once, so the file is in the page cache before anything is timed.
  if (platform::ReadFileBytes(g_surfs_path, g_surfs_bytes) != 0) {
    std::fprintf(stderr, "BENCH: [%s] could not read the surfs file\n", g_surfs_path.c_str());
    return 1;
  }
  benchmark::AddCustomContext("surfs_file_bytes", std::to_string(g_surfs_bytes.size()));
  benchmark::AddCustomContext("model", std::to_string(kSurfaces) + " surfaces x " +
                                           std::to_string(kVertsPerSurface) + " vertices x " +
                                           std::to_string(kInfluences) + " influences, COD 4");

  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  std::error_code ec;
  fs::remove_all(root, ec);
  return 0;
}
