// Per-vertex reflection for the fixed-function engine: a projective lookup
// position displaced by the normal map, and a colour whose alpha is the
// reflection weight (Fresnel term plus distance term minus transparency).
#pragma once

#include "geometry/iVertexExtraWriter.h"
#include "platform/d3dx9.h"

constexpr int FRESNEL_TABLE_SIZE = 1000;
constexpr float FRESNEL_BIAS = 0.02037f;
constexpr float FRESNEL_SCALE = 0.97963f;

struct FFPVertexParameters {
  const D3DXVECTOR3* normals = nullptr;  // N*N, row-major, z is the map's up axis
  int normalmapSize = 0;                 // N
  float reflectionStrength = 0.0f;
  float fullReflectionDistanceSquared = 1.0f;
  float globalTransparency = 0.0f;
  D3DCOLOR baseColor = 0;                // only its RGB is used
  D3DXVECTOR3 eye{0.0f, 0.0f, 0.0f};
  D3DXMATRIX viewProjection;
};

class cFFPVertexWriter final : public iVertexExtraWriter {
 public:
  // With a null table the fifth power is computed instead of looked up.
  cFFPVertexWriter(const FFPVertexParameters& parameters, const float* fresnelTable);

  // table[i] = (i / 1000)^5 for the FRESNEL_TABLE_SIZE entries.
  static void FillFresnelTable(float* table);

  // Far vertices keep their own position as the lookup position.
  void Write(const WaterVertex& vertex, bool fullDetail, WaterVertexExtra* extra) const override;
  void WriteRange(const WaterVertex* vertices, size_t count, WaterVertexExtra* extra) const override;

 private:
  float Fresnel(float cosTheta) const;
  static float DistanceWeight(float distanceSquared, float fullDistanceSquared);

  FFPVertexParameters parameters_;
  const float* fresnelTable_;
};
