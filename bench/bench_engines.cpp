// One Render of each water engine on the headless backend: the fixed-function
// and shader model 1 engines rewrite the second vertex stream on the CPU, the
// shader model 2 and 3 engines only set effect parameters. Run from the
// repository root (the engines load their effect files and the Fresnel lookup).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "BenchDevice.h"
#include "settings/TypeIds.h"
#include "engine/cWaterEngineFFP.h"
#include "engine/cWaterEngineSM1.h"
#include "engine/cWaterEngineSM2.h"
#include "engine/cWaterEngineSM3.h"
#include "geometry/cRadialGrid.h"
#include "geometry/cSimpleGrid.h"
#include "normalmap/iNormalmap.h"

namespace {

class WavyNormalmap : public iNormalmap {
 public:
  explicit WavyNormalmap(int n) : n_(n), normals_(static_cast<size_t>(n) * n) {
    for (int k = 0; k < n * n; ++k) {
      const float x = 0.3f * std::sin(k * 0.37f), y = 0.3f * std::cos(k * 0.21f);
      normals_[k] = D3DXVECTOR3(x, y, std::sqrt(1.0f - x * x - y * y));
    }
  }
  IDirect3DTexture9* GetTexture() const override { return nullptr; }
  bool OnLostDevice(IDirect3DDevice9*) override { return true; }
  bool OnResetDevice(IDirect3DDevice9*) override { return true; }
  bool OnDeviceEvent(IDirect3DDevice9*) override { return true; }
  bool Compute() override { return true; }
  bool WriteTexture(IDirect3D9*, IDirect3DDevice9*) override { return true; }
  const D3DXVECTOR3* GetNormals() const override { return normals_.data(); }
  int GetResolution() const override { return n_; }
  void SetAmplitude(float) override {}
  bool IsSupported(IDirect3D9*, IDirect3DDevice9*) override { return true; }
  int GetTypeId() const override { return NORMALMAP_FD_RAW; }
  cEngineSettings* FillSettings(cEngineSettings* settings) override { return settings; }

 private:
  int n_;
  std::vector<D3DXVECTOR3> normals_;
};

struct Frame {
  D3DXMATRIX view, projection;
  D3DXVECTOR3 eye{0.0f, 30.0f, -600.0f};
  Frame() {
    const D3DXVECTOR3 at(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 3.0f, 4.0f / 3.0f, 1.0f, 10000.0f);
  }
};

// Reflection and refraction both present: the busiest texture set-up.
void RenderEachIteration(benchmark::State& state, BenchDevice& device, iWaterEngine& engine, iWaterGeometry& grid) {
  IDirect3DTexture9* target = nullptr;
  if (FAILED(device.get()->CreateTexture(256, 256, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &target, nullptr))) {
    state.SkipWithError("CreateTexture failed");
    return;
  }
  engine.SetReflectionTexture(target);
  engine.SetRefractionTexture(target);
  if (!engine.Init(device.d3d(), device.get(), 0.1f, 500.0f, 0.1f)) {
    state.SkipWithError("Init failed (run from the repository root)");
  } else {
    const Frame frame;
    for (auto _ : state) {
      if (!engine.Render(device.get(), &frame.view, &frame.projection, &frame.eye)) {
        state.SkipWithError("Render failed");
        break;
      }
    }
    state.SetItemsProcessed(state.iterations() * grid.GetVertexCount());
  }
  target->Release();
}

// 256 x 256 vertices, the most 16-bit indices reach.
template <class Engine>
void BM_RenderSimpleGrid(benchmark::State& state) {
  BenchDevice device;
  cSimpleGrid grid;
  WavyNormalmap normalmap(256);
  if (!grid.Create(2000.0f, 2000.0f, 255, 255, D3DXVECTOR2(1, 1), D3DXVECTOR3(0, 0, 0), device.get())) {
    state.SkipWithError("Create failed");
    return;
  }
  Engine engine;
  engine.SetGeometry(&grid);
  engine.SetNormalmap(&normalmap);
  IDirect3DTexture9* normalTexture = nullptr;
  if constexpr (std::is_base_of_v<cPerPixelWaterEngine, Engine>) {
    device.get()->CreateTexture(256, 256, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &normalTexture, nullptr);
    engine.SetNormalmapTexture(normalTexture);
  }
  RenderEachIteration(state, device, engine, grid);
  if (normalTexture) normalTexture->Release();
}
BENCHMARK(BM_RenderSimpleGrid<cWaterEngineFFP>)->Name("BM_RenderFFP_SimpleGrid256")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderSimpleGrid<cWaterEngineSM1>)->Name("BM_RenderSM1_SimpleGrid256")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderSimpleGrid<cWaterEngineSM2>)->Name("BM_RenderSM2_SimpleGrid256")->Unit(benchmark::kMicrosecond);

// The editor's default radial grid: radius 2000, 192 vertices a ring.
void BM_RenderSM3_DefaultRadialGrid(benchmark::State& state) {
  BenchDevice device;
  cRadialGrid grid;
  if (!grid.Create(2000.0f, 192, 1.0f, 1.01f, 300.0f, D3DXVECTOR2(5, 5), D3DXVECTOR3(0, 0, 0), device.get())) {
    state.SkipWithError("Create failed");
    return;
  }
  cWaterEngineSM3 engine;
  engine.SetGeometry(&grid);
  IDirect3DTexture9* texture = nullptr;
  device.get()->CreateTexture(256, 256, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr);
  engine.SetNormalmapTexture(texture);
  engine.SetHeightmapTexture(texture);
  engine.SetGPUExtrusion(5.0f, D3DXVECTOR2(7.0f, 7.0f), 3000.0f);
  RenderEachIteration(state, device, engine, grid);
  if (texture) texture->Release();
}
BENCHMARK(BM_RenderSM3_DefaultRadialGrid)->Unit(benchmark::kMicrosecond);

}  // namespace
BENCHMARK_MAIN();
