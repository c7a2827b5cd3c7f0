// printf("%.6f") of floats the way the text writers format them, a million
// at a time, for three kinds of value: positions (-60 to 60: both signs,
// one or two integer digits), normals (-1 to 1) and UVs (0 to 1). The
// figure is the time a number.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "export/number_format.h"

namespace {

void BM_Fixed6Float(benchmark::State& state) {
  const float low[] = {-60, -1, 0}, high[] = {60, 1, 1};
  const int kind = int(state.range(0));
  std::mt19937 rng(1);
  std::uniform_real_distribution<float> value(low[kind], high[kind]);
  std::vector<float> values(1 << 20);
  for (float& v : values) v = value(rng);
  std::vector<char> text(values.size() * 24);
  for (auto _ : state) {
    char* p = text.data();
    for (float v : values) {
      p = PutFixed(p, v);
      *p++ = ' ';
    }
    benchmark::DoNotOptimize(p);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(values.size()));
}
BENCHMARK(BM_Fixed6Float)->ArgName("positions_normals_uvs")->DenseRange(0, 2);

}  // namespace

BENCHMARK_MAIN();
