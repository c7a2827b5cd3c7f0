// OBJ and Maya ASCII writing speed on the large model (64 surfaces of
// 32,000 vertices, four influences a vertex), in bytes of text written a
// second (page cache):
//   BM_ExportOBJ   ExportOBJ with its MTL
//   BM_ExportMA    ExportMA without the bind script (the scene alone)
//   BM_ExportMABind the bind script alone (every vertex weighted)
//   BM_Fwrite      one fwrite of a buffer the size of the scene: the limit
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
size_t g_obj_bytes = 0, g_ma_bytes = 0, g_mel_bytes = 0;

void Fail(benchmark::State& state, const char* what, ErrorCode code) {
  state.SkipWithError((std::string(what) + " failed: " + ErrorText(code)).c_str());
}

void BM_ExportOBJ(benchmark::State& state) {
  const std::string out = (g_root / "out").string();
  for (auto _ : state)
    if (ErrorCode code = g_model->ExportOBJ(out); code != err::kSuccess) return Fail(state, "ExportOBJ", code);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(g_obj_bytes));
}

void BM_ExportMA(benchmark::State& state) {
  const std::string out = (g_root / "out").string();
  ExportSettings scene_only;
  scene_only.export_MA_BIND = false;
  for (auto _ : state)
    if (ErrorCode code = g_model->ExportMA(out, scene_only); code != err::kSuccess) return Fail(state, "ExportMA", code);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(g_ma_bytes));
}

void BM_ExportMABind(benchmark::State& state) {
  const std::string out = (g_root / "out").string();
  for (auto _ : state)
    if (ErrorCode code = g_model->ExportMABind(out); code != err::kSuccess) return Fail(state, "ExportMABind", code);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(g_mel_bytes));
}

void BM_Fwrite(benchmark::State& state) {
  std::vector<char> buffer(g_ma_bytes, 'x');
  const std::string path = (g_root / "fwrite.txt").string();
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(buffer.data(), 1, buffer.size(), f);
    std::fclose(f);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(g_ma_bytes));
}

BENCHMARK(BM_ExportOBJ)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportMA)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportMABind)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Fwrite)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  g_root = fs::temp_directory_path() / ("vantor_export_bench_" + std::to_string(getpid()));
  std::string path = fixture::WriteModel(g_root.string(), fixture::MakeBigModel(64, 32000, 4, Cod4));
  static Xmodel model;
  model.game = Cod4;
  if (path.empty() || model.LoadxmodelFull(path) != err::kSuccess || model.LoadSurface() != err::kSuccess) {
    std::fprintf(stderr, "BENCH: [%s] could not load the model\n", g_root.c_str());
    return 1;
  }
  g_model = &model;
  const fs::path out = g_root / "out";
  const std::string surf = model.lods[0].surf_name;
  if (model.ExportOBJ(out.string()) != err::kSuccess || model.ExportMA(out.string()) != err::kSuccess) return 1;
  g_obj_bytes = size_t(fs::file_size(out / (surf + ".obj")) + fs::file_size(out / (surf + ".mtl")));
  g_ma_bytes = size_t(fs::file_size(out / (surf + ".ma")));
  g_mel_bytes = size_t(fs::file_size(out / (surf + "_bind.mel")));
  std::printf("OBJ + MTL %zu bytes, MA %zu bytes, MEL %zu bytes\n", g_obj_bytes, g_ma_bytes, g_mel_bytes);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fs::remove_all(g_root);
  return 0;
}
