// The Direct3D 9 device of the stand-in: owns every state and binding, checks
// arguments as Direct3D does, and hands draws to the current backend.
#pragma once

#include "platform/device/Backend.h"

namespace platform {

class Texture;
class Surface;
class VertexBuffer;
class IndexBuffer;
class VertexDeclaration;

class Device final : public IDirect3DDevice9 {
 public:
  // `parameters` were checked and completed by the caller; the backend's
  // device already exists.
  explicit Device(const D3DPRESENT_PARAMETERS& parameters);

  // Device lifetime (Device.cpp).
  HRESULT TestCooperativeLevel() override;
  HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) override;
  // The back-buffer size while the device is full screen.
  bool FullScreenSize(UINT* width, UINT* height) const;
  HRESULT Present(const RECT* source, const RECT* dest, HWND window, const void* dirtyRegion) override;
  HRESULT GetDeviceCaps(D3DCAPS9* caps) override;
  HRESULT GetDisplayMode(UINT swapChain, D3DDISPLAYMODE* mode) override;
  HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface) override;

  // Resources (DeviceResources.cpp).
  HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                        IDirect3DTexture9** texture, HANDLE* shared) override;
  HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** buffer,
                             HANDLE* shared) override;
  HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                            IDirect3DIndexBuffer9** buffer, HANDLE* shared) override;
  HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                    DWORD quality, BOOL discard, IDirect3DSurface9** surface,
                                    HANDLE* shared) override;
  HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                  IDirect3DVertexDeclaration9** declaration) override;

  // Targets, scenes and clears (DeviceTargets.cpp).
  HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) override;
  HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface) override;
  HRESULT SetDepthStencilSurface(IDirect3DSurface9* surface) override;
  HRESULT GetDepthStencilSurface(IDirect3DSurface9** surface) override;
  HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
  HRESULT GetViewport(D3DVIEWPORT9* viewport) override;
  HRESULT BeginScene() override;
  HRESULT EndScene() override;
  HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;

  // States (DeviceStates.cpp).
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
  HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
  HRESULT SetClipPlane(DWORD index, const float* plane) override;
  HRESULT GetClipPlane(DWORD index, float* plane) override;
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
  HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
  HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
  HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) override;
  HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
  HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
  HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
  HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override;

  // Vertex input and drawing (DeviceDraws.cpp).
  HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) override;
  HRESULT GetVertexDeclaration(IDirect3DVertexDeclaration9** declaration) override;
  HRESULT SetFVF(DWORD fvf) override;
  HRESULT GetFVF(DWORD* fvf) override;
  HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) override;
  HRESULT GetStreamSource(UINT stream, IDirect3DVertexBuffer9** buffer, UINT* offset, UINT* stride) override;
  HRESULT SetIndices(IDirect3DIndexBuffer9* indices) override;
  HRESULT GetIndices(IDirect3DIndexBuffer9** indices) override;
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
  HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex, UINT vertexCount,
                               UINT startIndex, UINT primitiveCount) override;
  HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride) override;

  // For the objects the device creates and the D3DX side of the stand-in.
  void ChildReferenced(D3DPOOL pool);
  void ChildReleased(D3DPOOL pool);
  void SetEffectBinding(const EffectBinding& binding) { state_.effect = binding; }
  const D3DCAPS9& Caps() const { return caps_; }
  Surface& BackBuffer() { return *backBuffer_; }

 private:
  ~Device() override;

  void CreateImplicitSurfaces();
  void ReleaseImplicitSurfaces();
  void UnbindAll();
  void SetDefaultStates();
  void SetDefaultStageStates(UINT stage);
  void SetDefaultSamplerStates(DWORD* states);
  void ViewWholeTarget();
  void ClearRects(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z);
  DWORD* SamplerStates(DWORD sampler);
  D3DMATRIX* TransformSlot(D3DTRANSFORMSTATETYPE state);
  Texture** TextureSlot(DWORD stage, TextureData**& data);
  HRESULT CheckStreams(int64_t vertexEnd) const;
  HRESULT CheckIndices(const DrawCall& call) const;
  HRESULT Submit(const DrawCall& call, UINT vertexCount);
  void Record(const DrawCall& call, UINT vertexCount) const;
  // What the records name as the target: the texture of render target 0, null for the back buffer.
  IDirect3DBaseTexture9* TargetTexture() const;

  D3DPRESENT_PARAMETERS parameters_;
  D3DCAPS9 caps_;
  DrawState state_;
  Surface* backBuffer_ = nullptr;
  Surface* autoDepth_ = nullptr;
  Surface* renderTarget_ = nullptr;
  Surface* depthStencil_ = nullptr;
  Texture* textures_[kMaxStages] = {};
  Texture* vertexTextures_[kMaxVertexSamplers] = {};
  VertexBuffer* streams_[kMaxStreams] = {};
  IndexBuffer* indices_ = nullptr;
  VertexDeclaration* declaration_ = nullptr;
  DWORD fvf_ = 0;
  bool inScene_ = false;
  UINT programDefaultObjects_ = 0;  // default-pool objects the program still holds
  bool awaitingReset_ = false;      // a Reset failed: the device stays lost until one succeeds
};

// The back-buffer size of the full-screen device while one exists; false
// otherwise (no device, or a windowed one).
bool ActiveFullScreenSize(UINT* width, UINT* height);

}  // namespace platform
