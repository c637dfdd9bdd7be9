// Cost of the device front end per draw call on the headless backend: argument
// checks, the index range check of indexed draws, and the record. Then the
// editor's per-frame streaming pattern, on OpenGL where it starts (under Xvfb)
// and on the headless backend otherwise (the label says which), and the
// geomipmap grid's many small draws from one stream.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
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

// A device on OpenGL if it starts, else headless, with a 1024 x 768 back buffer.
struct FrameDevice {
  IDirect3D9* d3d = nullptr;
  IDirect3DDevice9* device = nullptr;
  HWND window = nullptr;
  bool gl = false;

  FrameDevice() {
    std::string error;
    gl = platform::UseGLBackend(&error);
    if (!gl) platform::UseHeadlessBackend();
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "BenchWindow";
    RegisterClassExA(&windowClass);
    window = CreateWindowExA(0, "BenchWindow", "bench", WS_OVERLAPPEDWINDOW, 0, 0, 1024, 768, nullptr, nullptr,
                             nullptr, nullptr);
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferWidth = 1024;
    parameters.BackBufferHeight = 768;
    parameters.BackBufferFormat = D3DFMT_A8R8G8B8;
    parameters.BackBufferCount = 1;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.hDeviceWindow = window;
    parameters.Windowed = TRUE;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D16;
    parameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters,
                      &device);
  }
  // The device, labelled with its backend, lighting and culling off; null,
  // with the benchmark skipped, when none could be made.
  IDirect3DDevice9* Start(benchmark::State& state) {
    if (!device) {
      state.SkipWithError("no device");
      return nullptr;
    }
    state.SetLabel(gl ? "OpenGL" : "headless");
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    return device;
  }
  // Ends and presents the frame; the headless record is emptied so it stays small.
  void EndFrame() {
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
    platform::Recorded().draws.clear();
  }
  ~FrameDevice() {
    if (device) device->Release();
    if (d3d) d3d->Release();
    if (window) DestroyWindow(window);
  }
};

struct SpriteVertex {
  float x, y, z, rhw;
  D3DCOLOR color;
  float u, v;
};

// One editor frame: the water grid's dynamic stream rewritten with DISCARD and
// drawn, the 512 x 512 heightmap texture rewritten and drawn on, and a few
// hundred GUI sprite quads through DrawPrimitiveUP.
void BM_EditorFramePattern(benchmark::State& state) {
  constexpr UINT kSide = 256, kTexture = 512, kSprites = 300;
  FrameDevice frame;
  IDirect3DDevice9* device = frame.Start(state);
  if (!device) return;
  IDirect3DVertexBuffer9* stream = nullptr;
  IDirect3DIndexBuffer9* indices = nullptr;
  IDirect3DTexture9* texture = nullptr;
  device->CreateVertexBuffer(kSide * kSide * 20, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, D3DFVF_XYZ | D3DFVF_TEX1,
                             D3DPOOL_DEFAULT, &stream, nullptr);
  const UINT triangles = (kSide - 1) * (kSide - 1) * 2;
  device->CreateIndexBuffer(triangles * 3 * 4, D3DUSAGE_WRITEONLY, D3DFMT_INDEX32, D3DPOOL_MANAGED, &indices, nullptr);
  DWORD* index = nullptr;
  indices->Lock(0, 0, reinterpret_cast<void**>(&index), 0);
  for (DWORD row = 0; row + 1 < kSide; ++row) {
    for (DWORD column = 0; column + 1 < kSide; ++column) {
      const DWORD c = row * kSide + column;
      const DWORD quad[6] = {c, c + kSide, c + 1, c + 1, c + kSide, c + kSide + 1};
      index = std::copy(quad, quad + 6, index);
    }
  }
  indices->Unlock();
  device->CreateTexture(kTexture, kTexture, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr);
  std::vector<SpriteVertex> sprite(4);
  float phase = 0.0f;
  for (auto _ : state) {
    phase += 0.01f;
    device->BeginScene();
    float* vertex = nullptr;
    stream->Lock(0, 0, reinterpret_cast<void**>(&vertex), D3DLOCK_DISCARD);
    for (UINT i = 0; i < kSide * kSide; ++i, vertex += 5) {
      const float x = static_cast<float>(i % kSide) / kSide, z = static_cast<float>(i / kSide) / kSide;
      vertex[0] = x * 2 - 1;
      vertex[1] = z * 2 - 1;
      vertex[2] = 0.5f + 0.1f * phase;
      vertex[3] = x;
      vertex[4] = z;
    }
    stream->Unlock();
    D3DLOCKED_RECT locked{};
    texture->LockRect(0, &locked, nullptr, 0);
    for (UINT y = 0; y < kTexture; ++y) {
      auto* row = reinterpret_cast<DWORD*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
      std::fill(row, row + kTexture, static_cast<DWORD>(0xFF000000u | (y + static_cast<UINT>(phase * 100))));
    }
    texture->UnlockRect(0);
    device->SetTexture(0, texture);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
    device->SetStreamSource(0, stream, 0, 20);
    device->SetIndices(indices);
    device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, kSide * kSide, 0, triangles);
    device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    for (UINT s = 0; s < kSprites; ++s) {
      const float x = static_cast<float>(s % 30) * 32, y = static_cast<float>(s / 30) * 32;
      sprite = {{x, y, 0, 1, 0xFFFFFFFF, 0, 0},
                {x + 30, y, 0, 1, 0xFFFFFFFF, 1, 0},
                {x, y + 30, 0, 1, 0xFFFFFFFF, 0, 1},
                {x + 30, y + 30, 0, 1, 0xFFFFFFFF, 1, 1}};
      device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, sprite.data(), sizeof(SpriteVertex));
    }
    frame.EndFrame();
  }
  device->SetTexture(0, nullptr);
  device->SetStreamSource(0, nullptr, 0, 0);
  device->SetIndices(nullptr);
  texture->Release();
  indices->Release();
  stream->Release();
}
BENCHMARK(BM_EditorFramePattern)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

// The geomipmap grid's pattern: many small indexed draws from one static
// stream and one index buffer, so the per-draw cost of the backend (state and
// vertex layout set-up) dominates, not the pixels.
void BM_PatchDraws(benchmark::State& state) {
  constexpr UINT kPatch = 8, kPatches = 16, kSide = kPatch * kPatches + 1;
  FrameDevice frame;
  IDirect3DDevice9* device = frame.Start(state);
  if (!device) return;
  IDirect3DVertexBuffer9* stream = nullptr;
  IDirect3DIndexBuffer9* indices = nullptr;
  device->CreateVertexBuffer(kSide * kSide * 12, 0, D3DFVF_XYZ, D3DPOOL_MANAGED, &stream, nullptr);
  float* vertex = nullptr;
  stream->Lock(0, 0, reinterpret_cast<void**>(&vertex), 0);
  for (UINT i = 0; i < kSide * kSide; ++i, vertex += 3) {
    vertex[0] = static_cast<float>(i % kSide) / kSide * 2 - 1;
    vertex[1] = static_cast<float>(i / kSide) / kSide * 2 - 1;
    vertex[2] = 0.5f;
  }
  stream->Unlock();
  // One patch's triangles after another's, so patch p is a contiguous index range.
  const UINT patchTriangles = kPatch * kPatch * 2;
  device->CreateIndexBuffer(kPatches * kPatches * patchTriangles * 3 * 4, 0, D3DFMT_INDEX32, D3DPOOL_MANAGED,
                            &indices, nullptr);
  DWORD* index = nullptr;
  indices->Lock(0, 0, reinterpret_cast<void**>(&index), 0);
  for (UINT patch = 0; patch < kPatches * kPatches; ++patch) {
    const UINT row0 = patch / kPatches * kPatch, column0 = patch % kPatches * kPatch;
    for (UINT row = row0; row < row0 + kPatch; ++row) {
      for (UINT column = column0; column < column0 + kPatch; ++column) {
        const DWORD c = row * kSide + column;
        const DWORD quad[6] = {c, c + kSide, c + 1, c + 1, c + kSide, c + kSide + 1};
        index = std::copy(quad, quad + 6, index);
      }
    }
  }
  indices->Unlock();
  device->SetFVF(D3DFVF_XYZ);
  device->SetStreamSource(0, stream, 0, 12);
  device->SetIndices(indices);
  for (auto _ : state) {
    device->BeginScene();
    for (UINT patch = 0; patch < kPatches * kPatches; ++patch) {
      device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, kSide * kSide, patch * patchTriangles * 3,
                                   patchTriangles);
    }
    frame.EndFrame();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kPatches * kPatches);
  device->SetStreamSource(0, nullptr, 0, 0);
  device->SetIndices(nullptr);
  indices->Release();
  stream->Release();
}
BENCHMARK(BM_PatchDraws)->Unit(benchmark::kMillisecond)->UseRealTime();
