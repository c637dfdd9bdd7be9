// A device that forwards every call to a real one and fails the n-th call made
// through it, so tests can walk every partial-failure path of an operation.
#pragma once

#include "platform/d3d9.h"

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

  HRESULT TestCooperativeLevel() override {
    return Call() ? real->TestCooperativeLevel() : D3DERR_INVALIDCALL;
  }
  HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) override {
    return Call() ? real->Reset(parameters) : D3DERR_INVALIDCALL;
  }
  HRESULT Present(const RECT* source, const RECT* dest, HWND window, const void* dirtyRegion) override {
    return Call() ? real->Present(source, dest, window, dirtyRegion) : D3DERR_INVALIDCALL;
  }
  HRESULT GetDeviceCaps(D3DCAPS9* caps) override {
    return Call() ? real->GetDeviceCaps(caps) : D3DERR_INVALIDCALL;
  }
  HRESULT GetDisplayMode(UINT swapChain, D3DDISPLAYMODE* mode) override {
    return Call() ? real->GetDisplayMode(swapChain, mode) : D3DERR_INVALIDCALL;
  }
  HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface) override {
    return Call() ? real->GetBackBuffer(swapChain, index, type, surface) : D3DERR_INVALIDCALL;
  }
  HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                        IDirect3DTexture9** texture, HANDLE* shared) override {
    return Call() ? real->CreateTexture(width, height, levels, usage, format, pool, texture, shared)
                  : D3DERR_INVALIDCALL;
  }
  HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** buffer,
                             HANDLE* shared) override {
    return Call() ? real->CreateVertexBuffer(length, usage, fvf, pool, buffer, shared) : D3DERR_INVALIDCALL;
  }
  HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool, IDirect3DIndexBuffer9** buffer,
                            HANDLE* shared) override {
    return Call() ? real->CreateIndexBuffer(length, usage, format, pool, buffer, shared) : D3DERR_INVALIDCALL;
  }
  HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                    DWORD quality, BOOL discard, IDirect3DSurface9** surface,
                                    HANDLE* shared) override {
    return Call() ? real->CreateDepthStencilSurface(width, height, format, multiSample, quality, discard, surface, shared)
                  : D3DERR_INVALIDCALL;
  }
  HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                  IDirect3DVertexDeclaration9** declaration) override {
    return Call() ? real->CreateVertexDeclaration(elements, declaration) : D3DERR_INVALIDCALL;
  }
  HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) override {
    return Call() ? real->SetRenderTarget(index, surface) : D3DERR_INVALIDCALL;
  }
  HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface) override {
    return Call() ? real->GetRenderTarget(index, surface) : D3DERR_INVALIDCALL;
  }
  HRESULT SetDepthStencilSurface(IDirect3DSurface9* surface) override {
    return Call() ? real->SetDepthStencilSurface(surface) : D3DERR_INVALIDCALL;
  }
  HRESULT GetDepthStencilSurface(IDirect3DSurface9** surface) override {
    return Call() ? real->GetDepthStencilSurface(surface) : D3DERR_INVALIDCALL;
  }
  HRESULT SetViewport(const D3DVIEWPORT9* viewport) override {
    return Call() ? real->SetViewport(viewport) : D3DERR_INVALIDCALL;
  }
  HRESULT GetViewport(D3DVIEWPORT9* viewport) override {
    return Call() ? real->GetViewport(viewport) : D3DERR_INVALIDCALL;
  }
  HRESULT BeginScene() override {
    return Call() ? real->BeginScene() : D3DERR_INVALIDCALL;
  }
  HRESULT EndScene() override {
    return Call() ? real->EndScene() : D3DERR_INVALIDCALL;
  }
  HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override {
    return Call() ? real->Clear(count, rects, flags, color, z, stencil) : D3DERR_INVALIDCALL;
  }
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override {
    return Call() ? real->SetTransform(state, matrix) : D3DERR_INVALIDCALL;
  }
  HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override {
    return Call() ? real->GetTransform(state, matrix) : D3DERR_INVALIDCALL;
  }
  HRESULT SetClipPlane(DWORD index, const float* plane) override {
    return Call() ? real->SetClipPlane(index, plane) : D3DERR_INVALIDCALL;
  }
  HRESULT GetClipPlane(DWORD index, float* plane) override {
    return Call() ? real->GetClipPlane(index, plane) : D3DERR_INVALIDCALL;
  }
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override {
    return Call() ? real->SetRenderState(state, value) : D3DERR_INVALIDCALL;
  }
  HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override {
    return Call() ? real->GetRenderState(state, value) : D3DERR_INVALIDCALL;
  }
  HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override {
    return Call() ? real->SetTexture(stage, texture) : D3DERR_INVALIDCALL;
  }
  HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) override {
    return Call() ? real->GetTexture(stage, texture) : D3DERR_INVALIDCALL;
  }
  HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override {
    return Call() ? real->SetTextureStageState(stage, type, value) : D3DERR_INVALIDCALL;
  }
  HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override {
    return Call() ? real->GetTextureStageState(stage, type, value) : D3DERR_INVALIDCALL;
  }
  HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override {
    return Call() ? real->SetSamplerState(sampler, type, value) : D3DERR_INVALIDCALL;
  }
  HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override {
    return Call() ? real->GetSamplerState(sampler, type, value) : D3DERR_INVALIDCALL;
  }
  HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) override {
    return Call() ? real->SetVertexDeclaration(declaration) : D3DERR_INVALIDCALL;
  }
  HRESULT GetVertexDeclaration(IDirect3DVertexDeclaration9** declaration) override {
    return Call() ? real->GetVertexDeclaration(declaration) : D3DERR_INVALIDCALL;
  }
  HRESULT SetFVF(DWORD fvf) override {
    return Call() ? real->SetFVF(fvf) : D3DERR_INVALIDCALL;
  }
  HRESULT GetFVF(DWORD* fvf) override {
    return Call() ? real->GetFVF(fvf) : D3DERR_INVALIDCALL;
  }
  HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) override {
    return Call() ? real->SetStreamSource(stream, buffer, offset, stride) : D3DERR_INVALIDCALL;
  }
  HRESULT GetStreamSource(UINT stream, IDirect3DVertexBuffer9** buffer, UINT* offset, UINT* stride) override {
    return Call() ? real->GetStreamSource(stream, buffer, offset, stride) : D3DERR_INVALIDCALL;
  }
  HRESULT SetIndices(IDirect3DIndexBuffer9* indices) override {
    return Call() ? real->SetIndices(indices) : D3DERR_INVALIDCALL;
  }
  HRESULT GetIndices(IDirect3DIndexBuffer9** indices) override {
    return Call() ? real->GetIndices(indices) : D3DERR_INVALIDCALL;
  }
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override {
    return Call() ? real->DrawPrimitive(type, startVertex, primitiveCount) : D3DERR_INVALIDCALL;
  }
  HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex, UINT vertexCount,
                               UINT startIndex, UINT primitiveCount) override {
    return Call() ? real->DrawIndexedPrimitive(type, baseVertex, minIndex, vertexCount, startIndex, primitiveCount)
                  : D3DERR_INVALIDCALL;
  }
  HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride) override {
    return Call() ? real->DrawPrimitiveUP(type, primitiveCount, vertices, stride) : D3DERR_INVALIDCALL;
  }

 private:
  bool Call() { return ++calls != failAt; }

  IDirect3DDevice9* real;
  int failAt = 0;
  int calls = 0;
};
