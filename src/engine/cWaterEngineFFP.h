// Water without shaders: every frame the CPU writes, for each vertex, a
// projective lookup displaced by the normal map and a colour whose alpha is
// the reflection weight; two texture stages blend refraction and reflection by it.
#pragma once

#include "geometry/cFFPVertexWriter.h"
#include "engine/iWaterEngine.h"

class cWaterEngineFFP : public iWaterEngine {
 public:
  cWaterEngineFFP();

  bool OnLostDevice(IDirect3DDevice9*) override { return true; }
  bool OnResetDevice(IDirect3DDevice9*) override { return true; }
  bool OnDeviceEvent(IDirect3DDevice9*) override { return true; }
  // Two blend stages, two simultaneous textures, BLENDDIFFUSEALPHA and two streams.
  bool CheckCaps(IDirect3D9* d3d, IDirect3DDevice9* device) override;
  // Needs a normal map with CPU normals and a geometry.
  bool Init(IDirect3D9* d3d, IDirect3DDevice9* device, float reflectionStrength, float fullReflectionDistance,
            float globalTransparency) override;
  bool Render(IDirect3DDevice9* device, const D3DXMATRIX* view, const D3DXMATRIX* projection,
              const D3DXVECTOR3* eye) override;
  int GetTypeId() const override;
  cEngineSettings* FillSettings(cEngineSettings* settings) override;

 private:
  bool WriteVertices(const FFPVertexParameters& parameters);
  bool SetStages(IDirect3DDevice9* device, const D3DXMATRIX& textureProjection);
  bool RestoreStages(IDirect3DDevice9* device);

  float fresnelTable_[FRESNEL_TABLE_SIZE];
};
