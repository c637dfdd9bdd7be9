// Shader model 3 water ("shaders/sm3.fx") on the radial grid only: the disc
// follows the camera through a world matrix, and the vertex shader can
// displace it by the heightmap texture (GPU vertex extrusion). Foam, sunlight
// and depth are switched by boolean effect parameters.
#pragma once

#include "engine/cPerPixelWaterEngine.h"

class cRadialGrid;

class cWaterEngineSM3 : public cPerPixelWaterEngine {
 public:
  static constexpr float FUDGE = 1.5f;

  cWaterEngineSM3();

  // Vertex and pixel shader 3.0 and vertex textures of D3DFMT_R32F or D3DFMT_A32B32G32R32F.
  bool CheckCaps(IDirect3D9* d3d, IDirect3DDevice9* device) override;
  // Refuses any geometry but the radial grid.
  bool Render(IDirect3DDevice9* device, const D3DXMATRIX* view, const D3DXMATRIX* projection,
              const D3DXVECTOR3* eye) override;
  int GetTypeId() const override;
  cEngineSettings* FillSettings(cEngineSettings* settings) override;

  // The heightmap's texture, passed every frame.
  void SetHeightmapTexture(IDirect3DTexture9* texture) { heightmapTexture_ = texture; }
  // Stores the three values unchanged and switches GPU extrusion on.
  void SetGPUExtrusion(float strength, const D3DXVECTOR2& uvScale, float heightFalloffDistance);
  void DisableGPUExtrusion() { gpuExtrusionOn_ = false; }

 private:
  HRESULT SetParameters(const cRadialGrid& grid, const D3DXMATRIX& world, const D3DXMATRIX& worldViewProjection,
                        const D3DXVECTOR3& eye);
  HRESULT SetFeatureParameters();
  HRESULT SetTechnique();
  bool Draw(IDirect3DDevice9* device, const cRadialGrid& grid, const D3DXMATRIX& viewProjection,
            const D3DXVECTOR3& eye);

  bool gpuExtrusionOn_ = false;
  D3DXVECTOR2 gpuUVScale_{1.0f, 1.0f};
  float gpuExtrusionStrength_ = 1.0f;
  float gpuHeightFalloffDistance_ = 1.0f;
};
