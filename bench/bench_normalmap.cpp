// Per-frame cost of the CPU normal maps (Compute + WriteTexture on the
// headless device) beside the heightmap update each one follows, at the same N.
#include <benchmark/benchmark.h>

#include "heightmap/cFFTHeightmap.h"
#include "heightmap/cPerlinNoiseHeightmap.h"
#include "normalmap/cNormalmapFDRaw.h"
#include "normalmap/cNormalmapFFT.h"
#include "BenchDevice.h"
#include "platform/Platform.h"

namespace {

const D3DXVECTOR2 kWind(1.0f, 1.0f);

// One frame's normal map: Compute, then the texture write the engines need.
void RunFrames(benchmark::State& state, iNormalmap& normalmap) {
  BenchDevice device;
  if (!device.get()) {
    state.SkipWithError("no headless device");
    return;
  }
  for (auto _ : state) {
    if (!normalmap.Compute() || !normalmap.WriteTexture(device.d3d(), device.get())) {
      state.SkipWithError("normal map failed");
      return;
    }
    benchmark::DoNotOptimize(normalmap.GetNormals());
  }
}

void BM_NormalmapFDRaw(benchmark::State& state) {
  cFFTHeightmap heightmap;
  heightmap.Initialize(static_cast<int>(state.range(0)), 4, &kWind, 4.0f, 1);
  cNormalmapFDRaw normalmap;
  normalmap.SetSource(&heightmap);
  normalmap.SetMethod(static_cast<int>(state.range(1)));
  RunFrames(state, normalmap);
}
BENCHMARK(BM_NormalmapFDRaw)->ArgNames({"N", "method"})->ArgsProduct({{256, 512, 1024}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

void BM_NormalmapFFT(benchmark::State& state) {
  cFFTHeightmap heightmap;
  heightmap.Initialize(static_cast<int>(state.range(0)), 4, &kWind, 4.0f, 1);
  cNormalmapFFT normalmap;
  normalmap.SetSource(&heightmap);
  RunFrames(state, normalmap);
}
BENCHMARK(BM_NormalmapFFT)->ArgName("N")->Arg(256)->Arg(512)->Arg(1024)->Unit(benchmark::kMicrosecond);

// The yardsticks: the heightmap updates a normal map follows in a frame.
void BM_FFTHeightmapUpdate(benchmark::State& state) {
  cFFTHeightmap heightmap;
  heightmap.Initialize(static_cast<int>(state.range(0)), 4, &kWind, 4.0f, 1);
  float time = 0.0f;
  for (auto _ : state) {
    heightmap.Update(time += 0.016f);
    benchmark::DoNotOptimize(heightmap.GetHeights());
  }
}
BENCHMARK(BM_FFTHeightmapUpdate)->ArgName("N")->Arg(256)->Arg(512)->Arg(1024)->Unit(benchmark::kMicrosecond);

void BM_PerlinHeightmapUpdate(benchmark::State& state) {
  cPerlinNoiseHeightmap heightmap;
  heightmap.Initialize(static_cast<int>(state.range(0)), 1.0f, 4, 4, false);
  float time = 0.0f;
  for (auto _ : state) {
    heightmap.Update(time += 0.016f);
    benchmark::DoNotOptimize(heightmap.GetHeights());
  }
}
BENCHMARK(BM_PerlinHeightmapUpdate)->ArgName("N")->Arg(256)->Arg(512)->Arg(1024)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
