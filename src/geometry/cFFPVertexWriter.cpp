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

namespace {

// Vectors of kLanes floats, ints and doubles.
template <int kLanes>
struct Lanes {
  typedef float F __attribute__((vector_size(4 * kLanes)));
  typedef int32_t I __attribute__((vector_size(4 * kLanes)));
  typedef double D __attribute__((vector_size(8 * kLanes)));
};

// Four floats of record l in lane l of a, b, c and d: one quad load per
// record and a transpose, where lane by lane filling goes through memory.
template <typename V, typename Record>
void LoadRecords(const Record& record, V* a, V* b, V* c, V* d) {
  V quads[4];
  for (size_t k = 0; k < 4; ++k) {
    if constexpr (sizeof(V) == sizeof(v4sf)) {
      quads[k] = Load4(record(k));
    } else {
      quads[k] = __builtin_shufflevector(Load4(record(k)), Load4(record(k + 4)), 0, 1, 2, 3, 4, 5, 6, 7);
    }
  }
  TransposeQuads(quads[0], quads[1], quads[2], quads[3]);
  *a = quads[0];
  *b = quads[1];
  *c = quads[2];
  *d = quads[3];
}

// Lanes first .. first+3 of v.
template <typename V>
v4sf Quad(const V& v, int first) {
  if constexpr (sizeof(V) == sizeof(v4sf)) {
    return v;
  } else {
    return first == 0 ? __builtin_shufflevector(v, v, 0, 1, 2, 3) : __builtin_shufflevector(v, v, 4, 5, 6, 7);
  }
}

inline void SqrtLanes(const v4sf& v, v4sf* root) { *root = Sqrt4(v); }

__attribute__((target("avx2"))) inline void SqrtLanes(const v8sf& v, v8sf* root) {
  *root = __builtin_ia32_sqrtps256(v);
}

// WrapTexel for a power-of-two n on every lane: positions out of int range
// (or NaN) read texel 0, negative ones wrap like the remainder fix-up does.
// Vectors go by reference: the wide instantiation changes no calling convention.
template <int kLanes>
void WrapTexels(const typename Lanes<kLanes>::F& position, int n, typename Lanes<kLanes>::I* texel) {
  using I = typename Lanes<kLanes>::I;
  const auto magnitude = reinterpret_cast<typename Lanes<kLanes>::F>(reinterpret_cast<I>(position) & 0x7FFFFFFF);
  const I inRange = magnitude < 2147483648.0f;
  *texel = __builtin_convertvector(position, I) & inRange & (n - 1);
}

// Write for kLanes vertices at once, with the same float operations, so the
// results are the same bit for bit.
template <int kLanes>
void WriteLanes(const FFPVertexParameters& p, const float* fresnelTable, const float* lastNormal,
                const WaterVertex* vertex, WaterVertexExtra* extra) {
  using F = typename Lanes<kLanes>::F;
  using I = typename Lanes<kLanes>::I;
  using D = typename Lanes<kLanes>::D;
  const D3DXMATRIX& clip = p.viewProjection;
  // x, y, z, u from the start of each vertex, v as the last of its last four floats.
  F x, y, z, u, v, unused;
  LoadRecords([vertex](size_t l) { return &vertex[l].x; }, &x, &y, &z, &u);
  LoadRecords([vertex](size_t l) { return &vertex[l].y; }, &unused, &unused, &unused, &v);
  const int n = p.normalmapSize;
  const float size = static_cast<float>(n);
  I row, column;
  WrapTexels<kLanes>(size * v, n, &row);
  WrapTexels<kLanes>(size * u, n, &column);
  const I texel = row * n + column;
  const D3DXVECTOR3* normals = p.normals;
  // The fourth float is the next normal's x; the last normal is read from a
  // padded copy, so no load reaches past the array.
  const int last = n * n - 1;
  F nx, ny, nz, next;
  LoadRecords([&](size_t l) { return texel[l] == last ? lastNormal : &normals[texel[l]].x; }, &nx, &ny, &nz, &next);

  const F w = x * clip._14 + y * clip._24 + z * clip._34 + clip._44;
  const F shift = p.reflectionStrength * w;
  const F s = x + nx * shift, t = y, q = z + ny * shift;

  const F zero = F{}, one = zero + 1.0f;
  const F fx = x - p.eye.x, fy = y - p.eye.y, fz = z - p.eye.z;
  F length;
  SqrtLanes(fx * fx + fy * fy + fz * fz, &length);
  const I positive = length > 0.0f;
  const F tx = -(positive ? fx / length : zero);
  const F ty = -(positive ? fy / length : zero);
  const F tz = -(positive ? fz / length : zero);
  F cosTheta = tx * nx + ty * nz + tz * ny;
  cosTheta = cosTheta > 0.0f ? cosTheta : zero;
  cosTheta = cosTheta > 1.0f ? one : cosTheta;

  const F distanceSquared = fx * fx + fz * fz;
  F distance;
  if (p.fullReflectionDistanceSquared > 0.0f) {
    distance = distanceSquared / p.fullReflectionDistanceSquared;
  } else {
    distance = distanceSquared > 0.0f ? one : zero;
  }
  // The index product is formed in double, as in Fresnel.
  const I index = __builtin_convertvector(__builtin_convertvector(1.0f - cosTheta, D) * 999.0, I);
  F fresnel;
  for (int lane = 0; lane < kLanes; ++lane) fresnel[lane] = fresnelTable[index[lane]];
  F weight = distance + (FRESNEL_BIAS + FRESNEL_SCALE * fresnel);
  weight = weight > 1.0f ? one : weight;
  const F alpha = (weight - p.globalTransparency) * 255.0f;
  const I truncated = __builtin_convertvector(alpha > 0.0f ? alpha : zero, I);
  const I alphaByte = alpha > 0.0f ? (alpha < 255.0f ? truncated : I{} + 255) : I{};
  const F color = reinterpret_cast<F>(alphaByte << 24 | static_cast<int32_t>(p.baseColor & 0x00FFFFFFu));

  // Four vertices per 4 x 4 transpose: s, t, q and colour of each become one record.
  for (int first = 0; first < kLanes; first += 4) {
    v4sf a = Quad(s, first), b = Quad(t, first), c = Quad(q, first), d = Quad(color, first);
    Transpose4(a, b, c, d);
    Store4(&extra[first].s, a);
    Store4(&extra[first + 1].s, b);
    Store4(&extra[first + 2].s, c);
    Store4(&extra[first + 3].s, d);
  }
}

// Whole blocks of kLanes vertices; returns how many were written.
template <int kLanes>
size_t WriteBlocks(const FFPVertexParameters& p, const float* table, const float* lastNormal,
                   const WaterVertex* vertices, size_t count, WaterVertexExtra* extra) {
  size_t k = 0;
  for (; k + kLanes <= count; k += kLanes) WriteLanes<kLanes>(p, table, lastNormal, vertices + k, extra + k);
  return k;
}

// The same on 8-float vectors: everything is inlined, so all of it is built for them.
__attribute__((target("avx2"), flatten)) size_t WriteWideBlocks(const FFPVertexParameters& p, const float* table,
                                                                 const float* lastNormal, const WaterVertex* vertices,
                                                                 size_t count, WaterVertexExtra* extra) {
  return WriteBlocks<8>(p, table, lastNormal, vertices, count, extra);
}

}  // namespace

// Whole vectors of vertices at a time, 8 where the processor has the wide
// units, else 4. The lanes need a table and a power-of-two normal map (the
// wrap becomes a mask); anything else goes vertex by vertex.
void cFFPVertexWriter::WriteRange(const WaterVertex* vertices, size_t count, WaterVertexExtra* extra) const {
  const int n = parameters_.normalmapSize;
  size_t k = 0;
  if (fresnelTable_ && n > 0 && (n & (n - 1)) == 0) {
    const D3DXVECTOR3& last = parameters_.normals[static_cast<size_t>(n) * n - 1];
    const float lastNormal[4] = {last.x, last.y, last.z, 0.0f};
    k = HasWideVectors() ? WriteWideBlocks(parameters_, fresnelTable_, lastNormal, vertices, count, extra)
                         : WriteBlocks<4>(parameters_, fresnelTable_, lastNormal, vertices, count, extra);
  }
  for (; k < count; ++k) Write(vertices[k], true, extra + k);
}
