// CPU extrusion of the simple and radial grids, and a geomipmap render, on the
// headless backend.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "settings/TypeIds.h"
#include "geometry/cGeomipmapGrid.h"
#include "geometry/cRadialGrid.h"
#include "geometry/cSimpleGrid.h"
#include "BenchDevice.h"
#include "platform/Platform.h"

namespace {

class WaveHeightmap : public iHeightmap {
 public:
  explicit WaveHeightmap(int n) : n_(n), heights_(static_cast<size_t>(n) * n) {
    for (int k = 0; k < n * n; ++k) heights_[k] = 0.5f + 0.5f * std::sin(k * 0.37f);
  }
  bool OnLostDevice() override { return true; }
  bool OnResetDevice() override { return true; }
  bool OnDeviceEvent() override { return true; }
  IDirect3DTexture9* GetTexture() const override { return nullptr; }
  const float* GetHeights() const override { return heights_.data(); }
  int GetResolution() const override { return n_; }
  bool WriteTexture(IDirect3DDevice9*) override { return false; }
  bool Update(float) override { return true; }
  int GetTypeId() const override { return HEIGHTMAP_FFT; }
  bool UseIntegerFormat(IDirect3D9*, IDirect3DDevice9*) override { return false; }
  bool UseFloatFormat(IDirect3D9*, IDirect3DDevice9*) override { return false; }
  D3DFORMAT GetTextureFormat() const override { return D3DFMT_A8R8G8B8; }
  cEngineSettings* FillSettings(cEngineSettings* settings) override { return settings; }

 private:
  int n_;
  std::vector<float> heights_;
};

void ExtrudeEachIteration(benchmark::State& state, iWaterGeometry& grid) {
  WaveHeightmap heightmap(256);
  for (auto _ : state) {
    if (!grid.Extrude(&heightmap, 10.0f, 1.0f, 1.0f)) state.SkipWithError("Extrude failed");
  }
  state.SetItemsProcessed(state.iterations() * grid.GetVertexCount());
}

// 256 x 256 vertices, the largest grid 16-bit indices reach.
void BM_ExtrudeSimpleGrid(benchmark::State& state) {
  BenchDevice device;
  cSimpleGrid grid;
  if (!grid.Create(1000.0f, 1000.0f, 255, 255, D3DXVECTOR2(1, 1), D3DXVECTOR3(0, 0, 0), device.get())) {
    state.SkipWithError("Create failed");
    return;
  }
  ExtrudeEachIteration(state, grid);
}
BENCHMARK(BM_ExtrudeSimpleGrid)->Unit(benchmark::kMicrosecond);

void BM_ExtrudeRadialGrid(benchmark::State& state) {
  BenchDevice device;
  cRadialGrid grid;
  if (!grid.Create(2000.0f, 192, 1.0f, 1.01f, 300.0f, D3DXVECTOR2(1, 1), D3DXVECTOR3(0, 0, 0), device.get())) {
    state.SkipWithError("Create failed");
    return;
  }
  grid.SetHeightFalloffDistance(3000.0f);
  ExtrudeEachIteration(state, grid);
}
BENCHMARK(BM_ExtrudeRadialGrid)->Unit(benchmark::kMicrosecond);

// 16 x 16 patches of tessellation 32 over 2000 x 2000; the argument is the LOD distance.
void BM_RenderGeomipmapGrid(benchmark::State& state) {
  BenchDevice device;
  cGeomipmapGrid grid;
  if (!grid.Create(2000.0f, 2000.0f, 16, 16, 32, D3DXVECTOR2(1, 1), D3DXVECTOR3(0, 0, 0), device.get())) {
    state.SkipWithError("Create failed");
    return;
  }
  WaveHeightmap heightmap(256);
  grid.SetLastLevelFalloffDistance(static_cast<float>(state.range(0)));
  grid.SetHeightFalloffDistance(1000.0f);
  grid.Extrude(&heightmap, 10.0f, 16.0f, 16.0f);
  for (auto _ : state) {
    if (!grid.Render(device.get(), nullptr)) state.SkipWithError("Render failed");
    platform::Recorded().draws.clear();
  }
  state.counters["draws"] = grid.GetDrawCallCount();
  state.counters["vertices"] = grid.GetVertexCount();
}
BENCHMARK(BM_RenderGeomipmapGrid)->Arg(500)->Arg(2000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
