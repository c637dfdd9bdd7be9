// Shader model 1 water ("shaders/sm1.fx"): the CPU copies the normal under
// every vertex into vertex stream 1 each frame, the effect works with those
// per-vertex normals. Foam is its one optional feature.
#pragma once

#include "engine/cShaderWaterEngine.h"

class cWaterEngineSM1 : public cShaderWaterEngine {
 public:
  cWaterEngineSM1();

  // Vertex shader 1.1, pixel shader 1.4 and two streams.
  bool CheckCaps(IDirect3D9* d3d, IDirect3DDevice9* device) override;
  bool Render(IDirect3DDevice9* device, const D3DXMATRIX* view, const D3DXMATRIX* projection,
              const D3DXVECTOR3* eye) override;
  int GetTypeId() const override;

 protected:
  // A normal map with CPU normals and a geometry.
  bool AcceptsComponents() const override;

 private:
  HRESULT SetParameters(const D3DXMATRIX& viewProjection, const D3DXVECTOR3& eye);
  bool SetTechnique();
  bool Draw(IDirect3DDevice9* device, const D3DXMATRIX& viewProjection);
};
