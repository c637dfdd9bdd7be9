// Shader model 2 water ("shaders/sm2.fx"): per-pixel normal mapping, Fresnel
// lookup and distorted reflection and refraction, with optional foam, sun
// glint and shore effects, each combination a technique of its own.
#pragma once

#include "engine/cPerPixelWaterEngine.h"

class cWaterEngineSM2 : public cPerPixelWaterEngine {
 public:
  cWaterEngineSM2();

  // Vertex and pixel shader 2.0.
  bool CheckCaps(IDirect3D9* d3d, IDirect3DDevice9* device) override;
  bool Render(IDirect3DDevice9* device, const D3DXMATRIX* view, const D3DXMATRIX* projection,
              const D3DXVECTOR3* eye) override;
  int GetTypeId() const override;

  // The technique base name for the three feature switches.
  static const char* TechniqueBaseName(bool sunlight, bool foam, bool depth);

 private:
  HRESULT SetParameters(const D3DXMATRIX& viewProjection, const D3DXVECTOR3& eye);
  void SetUpTechnique();
};
