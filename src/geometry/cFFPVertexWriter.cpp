#include "geometry/cFFPVertexWriter.h"

#include <cmath>

#include "geometry/GridSampling.h"

cFFPVertexWriter::cFFPVertexWriter(const FFPVertexParameters& parameters, const float* fresnelTable)
    : parameters_(parameters), fresnelTable_(fresnelTable) {}

void cFFPVertexWriter::FillFresnelTable(float* table) {
  for (int i = 0; i < FRESNEL_TABLE_SIZE; ++i) table[i] = static_cast<float>(std::pow(i * 0.001, 5.0));
}

float cFFPVertexWriter::Fresnel(float cosTheta) const {
  const float grazing = 1.0f - cosTheta;
  // The index product is formed in double: in float it can round up onto the next entry.
  if (fresnelTable_) return fresnelTable_[static_cast<int>(grazing * 999.0)];
  return std::pow(grazing, 5.0f);
}

// A full reflection distance of 0 (the menu lets it through) makes all water
// but the point under the eye fully reflective, without dividing by 0.
float cFFPVertexWriter::DistanceWeight(float distanceSquared, float fullDistanceSquared) {
  if (fullDistanceSquared > 0.0f) return distanceSquared / fullDistanceSquared;
  return distanceSquared > 0.0f ? 1.0f : 0.0f;
}

void cFFPVertexWriter::Write(const WaterVertex& vertex, bool fullDetail, WaterVertexExtra* extra) const {
  const FFPVertexParameters& p = parameters_;
  const D3DXVECTOR3& normal = p.normals[TexelIndex(vertex.u, vertex.v, p.normalmapSize)];
  const D3DXMATRIX& clip = p.viewProjection;

  // Scaling the displacement by clip w keeps the distortion the same size on screen at every depth.
  const float w = vertex.x * clip._14 + vertex.y * clip._24 + vertex.z * clip._34 + clip._44;
  const float shift = fullDetail ? p.reflectionStrength * w : 0.0f;
  extra->s = vertex.x + normal.x * shift;
  extra->t = vertex.y;
  extra->q = vertex.z + normal.y * shift;

  const D3DXVECTOR3 fromEye(vertex.x - p.eye.x, vertex.y - p.eye.y, vertex.z - p.eye.z);
  D3DXVECTOR3 toEye;
  D3DXVec3Normalize(&toEye, &fromEye);
  toEye = -toEye;
  const D3DXVECTOR3 worldNormal(normal.x, normal.z, normal.y);
  float cosTheta = D3DXVec3Dot(&toEye, &worldNormal);
  if (!(cosTheta > 0.0f)) cosTheta = 0.0f;
  if (cosTheta > 1.0f) cosTheta = 1.0f;

  const float distanceSquared = fromEye.x * fromEye.x + fromEye.z * fromEye.z;
  float weight = DistanceWeight(distanceSquared, p.fullReflectionDistanceSquared) +
                 (FRESNEL_BIAS + FRESNEL_SCALE * Fresnel(cosTheta));
  if (weight > 1.0f) weight = 1.0f;
  const float alpha = (weight - p.globalTransparency) * 255.0f;
  const DWORD alphaByte = alpha > 0.0f ? (alpha < 255.0f ? static_cast<DWORD>(alpha) : 255u) : 0u;
  extra->color = (alphaByte << 24) | (p.baseColor & 0x00FFFFFFu);
}
