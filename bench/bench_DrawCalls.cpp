// Cost of the device front end per draw call on the headless backend: argument
// checks, the index range check of indexed draws, and the record.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "platform/Platform.h"

namespace {

struct Grid {
  IDirect3D9* d3d = nullptr;
  IDirect3DDevice9* device = nullptr;
  IDirect3DVertexBuffer9* vertices = nullptr;
  IDirect3DIndexBuffer9* indices = nullptr;
  UINT vertexCount = 0;
  UINT triangles = 0;

  // An n x n vertex grid as a triangle list, as the water geometry draws it.
  explicit Grid(UINT n) : vertexCount(n * n), triangles((n - 1) * (n - 1) * 2) {
    platform::UseHeadlessBackend();
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS parameters{};
    parameters.Windowed = TRUE;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    d3d->CreateDevice(0, D3DDEVTYPE_HAL, reinterpret_cast<HWND>(0x10), D3DCREATE_HARDWARE_VERTEXPROCESSING,
                      &parameters, &device);
    device->CreateVertexBuffer(vertexCount * 20, 0, D3DFVF_XYZ | D3DFVF_TEX1, D3DPOOL_MANAGED, &vertices, nullptr);
    device->CreateIndexBuffer(triangles * 3 * 2, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices, nullptr);
    WORD* index = nullptr;
    indices->Lock(0, 0, reinterpret_cast<void**>(&index), 0);
    for (UINT row = 0; row + 1 < n; ++row) {
      for (UINT column = 0; column + 1 < n; ++column) {
        const WORD corner = static_cast<WORD>(row * n + column);
        const WORD quad[6] = {corner, static_cast<WORD>(corner + n), static_cast<WORD>(corner + 1),
                              static_cast<WORD>(corner + 1), static_cast<WORD>(corner + n),
                              static_cast<WORD>(corner + n + 1)};
        index = std::copy(quad, quad + 6, index);
      }
    }
    indices->Unlock();
    device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
    device->SetStreamSource(0, vertices, 0, 20);
    device->SetIndices(indices);
    device->BeginScene();
  }

  ~Grid() {
    device->EndScene();
    indices->Release();
    vertices->Release();
    device->Release();
    d3d->Release();
  }
};

void BM_DrawIndexedGrid(benchmark::State& state) {
  Grid grid(static_cast<UINT>(state.range(0)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        grid.device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, grid.vertexCount, 0, grid.triangles));
    platform::Recorded().draws.clear();
  }
  state.SetItemsProcessed(state.iterations() * grid.triangles * 3);
}
BENCHMARK(BM_DrawIndexedGrid)->Arg(16)->Arg(128)->Arg(256);

void BM_DrawPrimitive(benchmark::State& state) {
  Grid grid(16);
  for (auto _ : state) {
    benchmark::DoNotOptimize(grid.device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2));
    platform::Recorded().draws.clear();
  }
}
BENCHMARK(BM_DrawPrimitive);

}  // namespace

BENCHMARK_MAIN();
