// A device that forwards every call to a real one and fails the n-th call made
// through it, so tests can walk every partial-failure path of an operation.
#pragma once

#include "platform/d3d9.h"

// An override that fails the call when its number comes up, else forwards it.
#define FORWARD(name, parameters, arguments) \
  HRESULT name parameters override { return Call() ? real->name arguments : D3DERR_INVALIDCALL; }

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

  FORWARD(TestCooperativeLevel, (), ())
  FORWARD(Reset, (D3DPRESENT_PARAMETERS* p), (p))
  FORWARD(Present, (const RECT* source, const RECT* dest, HWND w, const void* dirty), (source, dest, w, dirty))
  FORWARD(GetDeviceCaps, (D3DCAPS9* caps), (caps))
  FORWARD(GetDisplayMode, (UINT chain, D3DDISPLAYMODE* mode), (chain, mode))
  FORWARD(GetBackBuffer, (UINT chain, UINT i, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** s), (chain, i, type, s))
  FORWARD(CreateTexture, (UINT w, UINT h, UINT l, DWORD u, D3DFORMAT f, D3DPOOL p, IDirect3DTexture9** t, HANDLE* s),
          (w, h, l, u, f, p, t, s))
  FORWARD(CreateVertexBuffer, (UINT n, DWORD u, DWORD fvf, D3DPOOL p, IDirect3DVertexBuffer9** b, HANDLE* s),
          (n, u, fvf, p, b, s))
  FORWARD(CreateIndexBuffer, (UINT n, DWORD u, D3DFORMAT f, D3DPOOL p, IDirect3DIndexBuffer9** b, HANDLE* s),
          (n, u, f, p, b, s))
  FORWARD(CreateDepthStencilSurface,
          (UINT w, UINT h, D3DFORMAT f, D3DMULTISAMPLE_TYPE m, DWORD q, BOOL d, IDirect3DSurface9** t, HANDLE* s),
          (w, h, f, m, q, d, t, s))
  FORWARD(CreateVertexDeclaration, (const D3DVERTEXELEMENT9* e, IDirect3DVertexDeclaration9** d), (e, d))
  FORWARD(SetRenderTarget, (DWORD i, IDirect3DSurface9* s), (i, s))
  FORWARD(GetRenderTarget, (DWORD i, IDirect3DSurface9** s), (i, s))
  FORWARD(SetDepthStencilSurface, (IDirect3DSurface9* s), (s))
  FORWARD(GetDepthStencilSurface, (IDirect3DSurface9** s), (s))
  FORWARD(SetViewport, (const D3DVIEWPORT9* v), (v))
  FORWARD(GetViewport, (D3DVIEWPORT9* v), (v))
  FORWARD(BeginScene, (), ())
  FORWARD(EndScene, (), ())
  FORWARD(Clear, (DWORD n, const D3DRECT* r, DWORD flags, D3DCOLOR c, float z, DWORD s), (n, r, flags, c, z, s))
  FORWARD(SetTransform, (D3DTRANSFORMSTATETYPE t, const D3DMATRIX* m), (t, m))
  FORWARD(GetTransform, (D3DTRANSFORMSTATETYPE t, D3DMATRIX* m), (t, m))
  FORWARD(SetClipPlane, (DWORD i, const float* plane), (i, plane))
  FORWARD(GetClipPlane, (DWORD i, float* plane), (i, plane))
  FORWARD(SetRenderState, (D3DRENDERSTATETYPE state, DWORD value), (state, value))
  FORWARD(GetRenderState, (D3DRENDERSTATETYPE state, DWORD* value), (state, value))
  FORWARD(SetTexture, (DWORD stage, IDirect3DBaseTexture9* t), (stage, t))
  FORWARD(GetTexture, (DWORD stage, IDirect3DBaseTexture9** t), (stage, t))
  FORWARD(SetTextureStageState, (DWORD stage, D3DTEXTURESTAGESTATETYPE t, DWORD v), (stage, t, v))
  FORWARD(GetTextureStageState, (DWORD stage, D3DTEXTURESTAGESTATETYPE t, DWORD* v), (stage, t, v))
  FORWARD(SetSamplerState, (DWORD sampler, D3DSAMPLERSTATETYPE t, DWORD v), (sampler, t, v))
  FORWARD(GetSamplerState, (DWORD sampler, D3DSAMPLERSTATETYPE t, DWORD* v), (sampler, t, v))
  FORWARD(SetVertexDeclaration, (IDirect3DVertexDeclaration9* d), (d))
  FORWARD(GetVertexDeclaration, (IDirect3DVertexDeclaration9** d), (d))
  FORWARD(SetFVF, (DWORD fvf), (fvf))
  FORWARD(GetFVF, (DWORD* fvf), (fvf))
  FORWARD(SetStreamSource, (UINT i, IDirect3DVertexBuffer9* b, UINT offset, UINT stride), (i, b, offset, stride))
  FORWARD(GetStreamSource, (UINT i, IDirect3DVertexBuffer9** b, UINT* offset, UINT* stride), (i, b, offset, stride))
  FORWARD(SetIndices, (IDirect3DIndexBuffer9* indices), (indices))
  FORWARD(GetIndices, (IDirect3DIndexBuffer9** indices), (indices))
  FORWARD(DrawPrimitive, (D3DPRIMITIVETYPE type, UINT start, UINT count), (type, start, count))
  FORWARD(DrawIndexedPrimitive, (D3DPRIMITIVETYPE t, INT b, UINT min, UINT n, UINT start, UINT count),
          (t, b, min, n, start, count))
  FORWARD(DrawPrimitiveUP, (D3DPRIMITIVETYPE type, UINT count, const void* v, UINT stride), (type, count, v, stride))

 private:
  bool Call() { return ++calls != failAt; }

  IDirect3DDevice9* real;
  int failAt = 0;
  int calls = 0;
};

#undef FORWARD
