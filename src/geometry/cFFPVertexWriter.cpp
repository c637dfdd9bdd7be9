#include "geometry/cFFPVertexWriter.h"

#include <cmath>

#include "geometry/GridSampling.h"
#include "heightmap/Simd.h"
#include "normalmap/NormalBlocks.h"

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

namespace {

// D3DXVec3Dot and D3DXVec3Normalize, operation for operation, where they can be inlined.
inline float Dot(const D3DXVECTOR3& a, const D3DXVECTOR3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

inline D3DXVECTOR3 Normalized(const D3DXVECTOR3& v) {
  const float length = std::sqrt(Dot(v, v));
  return length > 0.0f ? v / length : D3DXVECTOR3(0.0f, 0.0f, 0.0f);
}

}  // namespace

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
  const D3DXVECTOR3 toEye = -Normalized(fromEye);
  const D3DXVECTOR3 worldNormal(normal.x, normal.z, normal.y);
  float cosTheta = Dot(toEye, worldNormal);
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

// Four vertices at a time with the same float operations as Write, so the
// results are the same bit for bit. The lanes need a table and a power-of-two
// normal map (the wrap becomes a mask); anything else goes vertex by vertex.
void cFFPVertexWriter::WriteRange(const WaterVertex* vertices, size_t count, WaterVertexExtra* extra) const {
  const int n = parameters_.normalmapSize;
  size_t k = 0;
  if (fresnelTable_ && n > 0 && (n & (n - 1)) == 0) {
    for (; k + 4 <= count; k += 4) WriteFour(vertices + k, extra + k);
  }
  for (; k < count; ++k) Write(vertices[k], true, extra + k);
}

namespace {

// WrapTexel for a power-of-two n on four lanes: positions out of int range
// (or NaN) read texel 0, negative ones wrap like the remainder fix-up does.
v4si WrapTexels4(v4sf position, int n) {
  const v4si inRange = Abs4(position) < Splat4(2147483648.0f);
  return __builtin_convertvector(position, v4si) & inRange & (n - 1);
}

}  // namespace

void cFFPVertexWriter::WriteFour(const WaterVertex* vertex, WaterVertexExtra* extra) const {
  const FFPVertexParameters& p = parameters_;
  const D3DXMATRIX& clip = p.viewProjection;
  v4sf x, y, z, u, v;
  for (int lane = 0; lane < 4; ++lane) {
    x[lane] = vertex[lane].x;
    y[lane] = vertex[lane].y;
    z[lane] = vertex[lane].z;
    u[lane] = vertex[lane].u;
    v[lane] = vertex[lane].v;
  }
  const int n = p.normalmapSize;
  const v4sf size = Splat4(static_cast<float>(n));
  const v4si texel = WrapTexels4(size * v, n) * n + WrapTexels4(size * u, n);
  v4sf nx, ny, nz;
  for (int lane = 0; lane < 4; ++lane) {
    const D3DXVECTOR3& normal = p.normals[texel[lane]];
    nx[lane] = normal.x;
    ny[lane] = normal.y;
    nz[lane] = normal.z;
  }

  const v4sf w = x * clip._14 + y * clip._24 + z * clip._34 + clip._44;
  const v4sf shift = p.reflectionStrength * w;
  v4sf s = x + nx * shift, t = y, q = z + ny * shift;

  const v4sf fx = x - p.eye.x, fy = y - p.eye.y, fz = z - p.eye.z;
  const v4sf length = Sqrt4(fx * fx + fy * fy + fz * fz);
  const v4si positive = length > 0.0f;
  const v4sf tx = -Select4(positive, fx / length, Splat4(0.0f));
  const v4sf ty = -Select4(positive, fy / length, Splat4(0.0f));
  const v4sf tz = -Select4(positive, fz / length, Splat4(0.0f));
  v4sf cosTheta = tx * nx + ty * nz + tz * ny;
  cosTheta = Select4(cosTheta > 0.0f, cosTheta, Splat4(0.0f));
  cosTheta = Select4(cosTheta > 1.0f, Splat4(1.0f), cosTheta);

  const v4sf distanceSquared = fx * fx + fz * fz;
  v4sf distance;
  if (p.fullReflectionDistanceSquared > 0.0f) {
    distance = distanceSquared / p.fullReflectionDistanceSquared;
  } else {
    distance = Select4(distanceSquared > 0.0f, Splat4(1.0f), Splat4(0.0f));
  }
  // The index product is formed in double, as in Fresnel.
  const v4si index = __builtin_convertvector(__builtin_convertvector(1.0f - cosTheta, v4df) * 999.0, v4si);
  v4sf fresnel;
  for (int lane = 0; lane < 4; ++lane) fresnel[lane] = fresnelTable_[index[lane]];
  v4sf weight = distance + (FRESNEL_BIAS + FRESNEL_SCALE * fresnel);
  weight = Select4(weight > 1.0f, Splat4(1.0f), weight);
  const v4sf alpha = (weight - p.globalTransparency) * 255.0f;
  const v4si truncated = __builtin_convertvector(Select4(alpha > 0.0f, alpha, Splat4(0.0f)), v4si);
  const v4si alphaByte = Select4i(alpha > 0.0f, Select4i(alpha < 255.0f, truncated, v4si{} + 255), v4si{});
  v4sf color = reinterpret_cast<v4sf>(alphaByte << 24 | static_cast<int32_t>(p.baseColor & 0x00FFFFFFu));

  Transpose4(s, t, q, color);
  Store4(&extra[0].s, s);
  Store4(&extra[1].s, t);
  Store4(&extra[2].s, q);
  Store4(&extra[3].s, color);
}
