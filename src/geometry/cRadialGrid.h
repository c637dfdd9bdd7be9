// A disc of concentric vertex rings around a centre vertex. Ring radii grow
// geometrically, so the mesh is densest at the centre.
#pragma once

#include "geometry/cMeshGeometry.h"

class cRadialGrid : public cMeshGeometry {
 public:
  // The shape arguments of Create, clamped as Create clamps them.
  struct Shape {
    float maxRadius;
    int resolution;  // vertices per ring
    float firstRadius;
    float radiusOffsetScale;
    float firstLevelOffset;
    Shape Clamped() const;
    int RingCount() const;  // MAX_RINGS + 1 once the rings outnumber what 16-bit indices reach
    long long VertexCount() const;
  };
  static constexpr int MAX_RINGS = (MAX_WATER_VERTICES - 1) / 3;

  // False on a null device, a failing device call, or a disc of more vertices
  // than 16-bit indices reach (see WithinLimits).
  bool Create(float maxRadius, int resolution, float firstRadius, float radiusOffsetScale, float firstLevelOffset,
              const D3DXVECTOR2& uvScale, const D3DXVECTOR3& origin, IDirect3DDevice9* device);

  // Whether Create can build this disc (the editor checks it too).
  static bool WithinLimits(const Shape& shape);

  // Waves fade out quadratically towards this horizontal distance from the origin.
  void SetHeightFalloffDistance(float distance);
  float GetMaxRadius() const { return shape_.maxRadius; }

  bool ExtrudeWithDefaultUV(const iHeightmap* heightmap, float strength) override;
  float GetHeightAt(float x, float z) const override;
  int GetTypeId() const override;
  cEngineSettings* FillSettings(cEngineSettings* settings) override;

 protected:
  void ResetBox() override;
  void ExtrudeVertices(WaterVertex* vertices, const float* heights, int n, const D3DXVECTOR3& shift) override;

 private:
  bool FillBuffers(int ringCount);

  Shape shape_{-1.0f, 0, 0.0f, 0.0f, 0.0f};
  float heightFalloffSquared_ = 100000.0f;
};
