// A device that forwards every call to a real one and fails the n-th call made
// through it, so tests can walk every partial-failure path of an operation.
#pragma once

#include "platform/d3d9.h"

// Fails the call when its number comes up, else forwards it.
#define FORWARD_CALL(call) return Call() ? real->call : D3DERR_INVALIDCALL

class FailingDevice : public IDirect3DDevice9 {
 public:
  explicit FailingDevice(IDirect3DDevice9* real) : real(real) {}
  ~FailingDevice() override = default;

  // Fails call number `n` (1-based) from now on; 0 fails nothing.
  void FailCall(int n) {
    failAt = n;
    calls = 0;
  }
  // Calls made since the last FailCall.
  int Calls() const { return calls; }

  HRESULT TestCooperativeLevel() override { FORWARD_CALL(TestCooperativeLevel()); }
  HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) override { FORWARD_CALL(Reset(parameters)); }
  HRESULT Present(const RECT* source, const RECT* dest, HWND window, const void* dirtyRegion) override {
    FORWARD_CALL(Present(source, dest, window, dirtyRegion));
  }
  HRESULT GetDeviceCaps(D3DCAPS9* caps) override { FORWARD_CALL(GetDeviceCaps(caps)); }
  HRESULT GetDisplayMode(UINT swapChain, D3DDISPLAYMODE* mode) override {
    FORWARD_CALL(GetDisplayMode(swapChain, mode));
  }
  HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface) override {
    FORWARD_CALL(GetBackBuffer(swapChain, index, type, surface));
  }
  HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                        IDirect3DTexture9** texture, HANDLE* shared) override {
    FORWARD_CALL(CreateTexture(width, height, levels, usage, format, pool, texture, shared));
  }
  HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                             IDirect3DVertexBuffer9** buffer, HANDLE* shared) override {
    FORWARD_CALL(CreateVertexBuffer(length, usage, fvf, pool, buffer, shared));
  }
  HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                            IDirect3DIndexBuffer9** buffer, HANDLE* shared) override {
    FORWARD_CALL(CreateIndexBuffer(length, usage, format, pool, buffer, shared));
  }
  HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                    DWORD quality, BOOL discard, IDirect3DSurface9** surface, HANDLE* shared) override {
    FORWARD_CALL(CreateDepthStencilSurface(width, height, format, multiSample, quality, discard, surface, shared));
  }
  HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                  IDirect3DVertexDeclaration9** declaration) override {
    FORWARD_CALL(CreateVertexDeclaration(elements, declaration));
  }
  HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) override {
    FORWARD_CALL(SetRenderTarget(index, surface));
  }
  HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface) override {
    FORWARD_CALL(GetRenderTarget(index, surface));
  }
  HRESULT SetDepthStencilSurface(IDirect3DSurface9* surface) override { FORWARD_CALL(SetDepthStencilSurface(surface)); }
  HRESULT GetDepthStencilSurface(IDirect3DSurface9** surface) override {
    FORWARD_CALL(GetDepthStencilSurface(surface));
  }
  HRESULT SetViewport(const D3DVIEWPORT9* viewport) override { FORWARD_CALL(SetViewport(viewport)); }
  HRESULT GetViewport(D3DVIEWPORT9* viewport) override { FORWARD_CALL(GetViewport(viewport)); }
  HRESULT BeginScene() override { FORWARD_CALL(BeginScene()); }
  HRESULT EndScene() override { FORWARD_CALL(EndScene()); }
  HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override {
    FORWARD_CALL(Clear(count, rects, flags, color, z, stencil));
  }
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override {
    FORWARD_CALL(SetTransform(state, matrix));
  }
  HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override {
    FORWARD_CALL(GetTransform(state, matrix));
  }
  HRESULT SetClipPlane(DWORD index, const float* plane) override { FORWARD_CALL(SetClipPlane(index, plane)); }
  HRESULT GetClipPlane(DWORD index, float* plane) override { FORWARD_CALL(GetClipPlane(index, plane)); }
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override { FORWARD_CALL(SetRenderState(state, value)); }
  HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override {
    FORWARD_CALL(GetRenderState(state, value));
  }
  HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override { FORWARD_CALL(SetTexture(stage, texture)); }
  HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) override {
    FORWARD_CALL(GetTexture(stage, texture));
  }
  HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override {
    FORWARD_CALL(SetTextureStageState(stage, type, value));
  }
  HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override {
    FORWARD_CALL(GetTextureStageState(stage, type, value));
  }
  HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override {
    FORWARD_CALL(SetSamplerState(sampler, type, value));
  }
  HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override {
    FORWARD_CALL(GetSamplerState(sampler, type, value));
  }
  HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) override {
    FORWARD_CALL(SetVertexDeclaration(declaration));
  }
  HRESULT GetVertexDeclaration(IDirect3DVertexDeclaration9** declaration) override {
    FORWARD_CALL(GetVertexDeclaration(declaration));
  }
  HRESULT SetFVF(DWORD fvf) override { FORWARD_CALL(SetFVF(fvf)); }
  HRESULT GetFVF(DWORD* fvf) override { FORWARD_CALL(GetFVF(fvf)); }
  HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) override {
    FORWARD_CALL(SetStreamSource(stream, buffer, offset, stride));
  }
  HRESULT GetStreamSource(UINT stream, IDirect3DVertexBuffer9** buffer, UINT* offset, UINT* stride) override {
    FORWARD_CALL(GetStreamSource(stream, buffer, offset, stride));
  }
  HRESULT SetIndices(IDirect3DIndexBuffer9* indices) override { FORWARD_CALL(SetIndices(indices)); }
  HRESULT GetIndices(IDirect3DIndexBuffer9** indices) override { FORWARD_CALL(GetIndices(indices)); }
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override {
    FORWARD_CALL(DrawPrimitive(type, startVertex, primitiveCount));
  }
  HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex, UINT vertexCount,
                               UINT startIndex, UINT primitiveCount) override {
    FORWARD_CALL(DrawIndexedPrimitive(type, baseVertex, minIndex, vertexCount, startIndex, primitiveCount));
  }
  HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride) override {
    FORWARD_CALL(DrawPrimitiveUP(type, primitiveCount, vertices, stride));
  }

 private:
  bool Call() { return ++calls != failAt; }

  IDirect3DDevice9* real;
  int failAt = 0;
  int calls = 0;
};

#undef FORWARD_CALL
