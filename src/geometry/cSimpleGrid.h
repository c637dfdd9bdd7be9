// A regular grid of tessellation.x by tessellation.z quads, centred on the origin.
#pragma once

#include <vector>

#include "geometry/cMeshGeometry.h"

class cSimpleGrid : public cMeshGeometry {
 public:
  // False on a null device, a failing device call, or a grid of more vertices
  // than 16-bit indices reach (see WithinLimits).
  bool Create(float sizeX, float sizeZ, int tessellationX, int tessellationZ, const D3DXVECTOR2& defaultUVScale,
              const D3DXVECTOR3& origin, IDirect3DDevice9* device);

  // Whether Create can build a grid of this tessellation (the editor checks it too).
  static bool WithinLimits(int tessellationX, int tessellationZ);

  bool Extrude(const iHeightmap* heightmap, float strength, float uvScaleX, float uvScaleY) override;
  bool ExtrudeWithDefaultUV(const iHeightmap* heightmap, float strength) override;
  float GetHeightAt(float x, float z) const override;
  int GetTypeId() const override;
  cEngineSettings* FillSettings(cEngineSettings* settings) override;

 protected:
  void ResetBox() override;
  void ExtrudeVertices(WaterVertex* vertices, const float* heights, int n, const D3DXVECTOR3& shift) override;

 private:
  bool FillBuffers();

  D3DXVECTOR2 size_{0.0f, 0.0f};
  int tessellationX_ = 0;
  int tessellationZ_ = 0;
  D3DXVECTOR2 defaultUVScale_{1.0f, 1.0f};
  // The wrapped heightmap column of each vertex column, kept between frames.
  std::vector<int> columnTexels_;
};
