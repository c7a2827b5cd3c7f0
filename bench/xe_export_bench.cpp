// XMODEL_EXPORT writing speed on the large model (64 surfaces of 32,000
// vertices, four influences a vertex), in bytes of text written a second:
//   BM_ExportXE   the whole export into a file (page cache)
//   BM_FwriteXE   one fwrite of a buffer of the same size: the limit
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>  // Required for: getpid()
#include <vector>

#include "model/xmodel.h"
#include "tools/fixture/fixture_writer.h"

namespace {

namespace fs = std::filesystem;

fs::path g_root;
Xmodel* g_model = nullptr;
size_t g_bytes = 0;

void BM_ExportXE(benchmark::State& state) {
  std::string out = (g_root / "out").string();
  for (auto _ : state) {
    ErrorCode code = g_model->ExportXE(out);
    if (code != err::kSuccess) {
      state.SkipWithError(("ExportXE failed: " + ErrorText(code)).c_str());
      break;
    }
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(g_bytes));
}

void BM_FwriteXE(benchmark::State& state) {
  std::vector<char> buffer(g_bytes, 'x');
  std::string path = (g_root / "fwrite.txt").string();
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(buffer.data(), 1, buffer.size(), f);
    std::fclose(f);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(g_bytes));
}

BENCHMARK(BM_ExportXE)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FwriteXE)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  g_root = fs::temp_directory_path() / ("vantor_xe_bench_" + std::to_string(getpid()));
  std::string path = fixture::WriteModel(g_root.string(), fixture::MakeBigModel(64, 32000, 4, Cod4));
  static Xmodel model;
  model.game = Cod4;
  model.scale = 2.54f;
  if (path.empty() || model.LoadxmodelFull(path) != err::kSuccess || model.LoadSurface() != err::kSuccess) {
    std::fprintf(stderr, "BENCH: [%s] could not load the model\n", g_root.c_str());
    return 1;
  }
  g_model = &model;
  if (model.ExportXE((g_root / "out").string()) != err::kSuccess) return 1;
  g_bytes = size_t(fs::file_size(g_root / "out" / (model.lods[0].surf_name + ".XMODEL_EXPORT")));
  std::printf("XMODEL_EXPORT size: %zu bytes\n", g_bytes);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fs::remove_all(g_root);
  return 0;
}
