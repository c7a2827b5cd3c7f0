// One frame of CPU skinning: a model of 20,000 vertices with four bones a
// vertex over a chain of 100 bones, every bone turned a little (the pose
// changes each frame, as an animation's does). The figure is the CPU time
// of a frame's Skin call: the bones composed, the weighted transforms
// blended and every position and normal moved.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "platform/fs_paths.h"
#include "tools/fixture/fixture_writer.h"
#include "viewer/skinning.h"

namespace {

void BM_SkinFrame(benchmark::State& state) {
  const std::string root = "/tmp/vantor_skin_bench";
  const fixture::ModelFiles files = fixture::MakeBigModel(1, 20000, 4, Cod4, 100);
  Xmodel model;
  model.game = Cod4;
  if (model.LoadxmodelFull(fixture::WriteModel(root, files)) != err::kSuccess || model.LoadSurface() != err::kSuccess) {
    state.SkipWithError("the model did not load");
    return;
  }
  SkinnedLevel level;
  level.Prepare(model);
  std::vector<BonePose> pose = level.bind_pose();
  std::vector<float> positions, normals;
  int frame = 0;
  for (auto _ : state) {
    const float angle = 0.01f * float(++frame % 100);
    for (BonePose& b : pose) b.rotation[0] = std::sin(angle), b.rotation[3] = std::cos(angle);
    level.Skin(pose, positions, normals);
    benchmark::DoNotOptimize(positions.data());
  }
  state.counters["vertices"] = double(level.vertex_count());
  state.counters["bones"] = double(pose.size());
}
BENCHMARK(BM_SkinFrame)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace

BENCHMARK_MAIN();
