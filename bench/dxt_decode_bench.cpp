// DXT decode speed: the top level of a 2048 x 2048 DXT1 and DXT5 image
// (read from a DDS file the fixture writer made with libsquish) decoded to
// the TGA file's bytes in memory, and the DDS read before it. Pixels a
// second:
//   BM_DecodeToTga/DXT1, /DXT5  EncodeTGA: the converter and the bottom-up
//                               rows of the TGA file
//   BM_LoadDDS/DXT1, /DXT5      LoadDDSBytes over the file in memory (every
//                               level copied out)
#include <benchmark/benchmark.h>

#include <vector>

#include "imaging/iwi_image.h"
#include "tools/fixture/iwi_writer.h"

namespace {

constexpr int kSide = 2048;

const std::vector<uint8_t>& DdsFile(uint8_t format) {
  static const std::vector<uint8_t> dxt1 =
      fixture::WriteDds(fixture::MakeTestPicture(kSide, kSide, false), 11, true, true);
  static const std::vector<uint8_t> dxt5 =
      fixture::WriteDds(fixture::MakeTestPicture(kSide, kSide, true), 13, true, true);
  return format == 11 ? dxt1 : dxt5;
}

void BM_DecodeToTga(benchmark::State& state) {
  IwiImage image;
  if (image.LoadDDSBytes(DdsFile(uint8_t(state.range(0)))) != img::kSuccess) {
    state.SkipWithError("LoadDDSBytes failed");
    return;
  }
  std::vector<uint8_t> tga;
  for (auto _ : state) {
    (void)image.EncodeTGA(tga);
    benchmark::DoNotOptimize(tga.data());
  }
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
  state.SetBytesProcessed(state.iterations() * int64_t(tga.size()));
}

void BM_LoadDDS(benchmark::State& state) {
  const std::vector<uint8_t>& file = DdsFile(uint8_t(state.range(0)));
  for (auto _ : state) {
    IwiImage image;
    benchmark::DoNotOptimize(image.LoadDDSBytes(file));
  }
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
  state.SetBytesProcessed(state.iterations() * int64_t(file.size()));
}

}  // namespace

BENCHMARK(BM_DecodeToTga)->Arg(11)->ArgName("DXT1")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeToTga)->Arg(13)->ArgName("DXT5")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadDDS)->Arg(11)->ArgName("DXT1")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadDDS)->Arg(13)->ArgName("DXT5")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
