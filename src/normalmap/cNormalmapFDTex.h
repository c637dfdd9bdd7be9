// Normals by finite differences on the GPU: one quad drawn into a render
// target with "shaders/cNormalmapFDTex.fx", which samples the heightmap
// texture at neighbouring texels. No CPU copy of the normals exists.
#pragma once

#include "normalmap/iNormalmap.h"

class cNormalmapFDTex : public iNormalmap {
 public:
  cNormalmapFDTex() = default;
  cNormalmapFDTex(const cNormalmapFDTex&) = delete;
  cNormalmapFDTex& operator=(const cNormalmapFDTex&) = delete;
  ~cNormalmapFDTex() override;

  IDirect3DTexture9* GetTexture() const override { return renderTarget_; }
  // The render target lives in the default pool: dropped on loss, made again on reset.
  bool OnLostDevice(IDirect3DDevice9* device) override;
  bool OnResetDevice(IDirect3DDevice9* device) override;
  bool OnDeviceEvent(IDirect3DDevice9*) override { return true; }
  // The work happens in WriteTexture, on the GPU.
  bool Compute() override { return true; }
  // Renders the normal map; the caller is inside its scene.
  bool WriteTexture(IDirect3D9* d3d, IDirect3DDevice9* device) override;
  const D3DXVECTOR3* GetNormals() const override { return nullptr; }
  int GetResolution() const override { return size_; }
  void SetAmplitude(float amplitude) override { amplitude_ = amplitude; }
  // Vertex shader 1.1, pixel shader 2.0 and A8R8G8B8 render-target textures.
  bool IsSupported(IDirect3D9* d3d, IDirect3DDevice9* device) override;
  int GetTypeId() const override;
  cEngineSettings* FillSettings(cEngineSettings* settings) override;

  // Creates the render target at the heightmap texture's size, the effect and
  // the quad. The heightmap texture is not owned and must outlive this object.
  bool Initialize(IDirect3DTexture9* heightmapTexture, IDirect3D9* d3d, IDirect3DDevice9* device);
  // 0 forward, 1 centred; anything else is taken as 0.
  void SetMethod(int method) { method_ = method == 1 ? 1 : 0; }

 private:
  bool CreateRenderTarget(IDirect3DDevice9* device);
  bool CreateEffect(IDirect3DDevice9* device);
  bool CreateQuad(IDirect3DDevice9* device);
  bool DrawWithoutDepth(IDirect3DDevice9* device, IDirect3DSurface9* target);
  bool DrawQuad(IDirect3DDevice9* device);

  int size_ = -1;
  int method_ = 0;
  IDirect3DTexture9* renderTarget_ = nullptr;
  float amplitude_ = 1.0f;
  IDirect3DTexture9* heightmapTexture_ = nullptr;
  ID3DXEffect* effect_ = nullptr;
  IDirect3DVertexBuffer9* quad_ = nullptr;
};
