#include "geometry/cRadialGrid.h"

#include <cmath>

#include "settings/TypeIds.h"
#include "geometry/GridSampling.h"

cRadialGrid::Shape cRadialGrid::Shape::Clamped() const {
  Shape shape = *this;
  if (shape.maxRadius < firstRadius) shape.maxRadius = firstRadius;
  if (shape.maxRadius <= 0.0f) shape.maxRadius = 1.0f;
  if (shape.resolution < 3) shape.resolution = 3;
  if (shape.firstRadius <= 0.0f) shape.firstRadius = 1.0f;
  if (shape.radiusOffsetScale <= 1.0f) shape.radiusOffsetScale = 2.0f;
  if (shape.firstLevelOffset <= 0.0f) shape.firstLevelOffset = 1.0f;
  return shape;
}

int cRadialGrid::Shape::RingCount() const {
  int rings = 1;
  for (float offset = firstLevelOffset; offset + firstRadius < maxRadius && rings <= MAX_RINGS; ++rings)
    offset *= radiusOffsetScale;
  return rings;
}

long long cRadialGrid::Shape::VertexCount() const { return static_cast<long long>(resolution) * RingCount() + 1; }

bool cRadialGrid::WithinLimits(const Shape& shape) {
  return shape.Clamped().VertexCount() <= MAX_WATER_VERTICES;
}

bool cRadialGrid::Create(float maxRadius, int resolution, float firstRadius, float radiusOffsetScale,
                         float firstLevelOffset, const D3DXVECTOR2& uvScale, const D3DXVECTOR3& origin,
                         IDirect3DDevice9* device) {
  const Shape shape = Shape{maxRadius, resolution, firstRadius, radiusOffsetScale, firstLevelOffset}.Clamped();
  if (!device || shape.VertexCount() > MAX_WATER_VERTICES) return false;
  shape_ = shape;
  uvScale_ = D3DXVECTOR2(uvScale.x > 0.0f ? uvScale.x : 1.0f, uvScale.y > 0.0f ? uvScale.y : 1.0f);
  extrusionUVScale_ = uvScale_;
  const int rings = shape_.RingCount();
  const int vertexCount = shape_.resolution * rings + 1;
  return CreateMesh(device, origin, vertexCount, (6 * rings - 3) * shape_.resolution) && FillBuffers(rings);
}

void cRadialGrid::ResetBox() {
  boxMax_ = D3DXVECTOR3(origin_.x + shape_.maxRadius, origin_.y, origin_.z + shape_.maxRadius);
  boxMin_ = D3DXVECTOR3(origin_.x - shape_.maxRadius, origin_.y, origin_.z - shape_.maxRadius);
}

bool cRadialGrid::FillBuffers(int rings) {
  const int s = shape_.resolution;
  const float r0 = shape_.firstRadius;
  const float big = shape_.maxRadius;
  WaterVertex* vertex = nullptr;
  if (!buffers_.LockVertices(&vertex, 0)) return false;
  *vertex++ = WaterVertex{origin_.x, origin_.y, origin_.z, 0.5f, 0.5f};
  const float step = 6.2831855f / s;
  float turn = 0.0f;
  float radius = r0;
  for (int k = 0; k < rings; ++k) {
    if (k > 0) {
      // Each ring is turned half a step against the previous one.
      turn += step * 0.5f;
      radius = ((radius - r0 + shape_.firstLevelOffset) * shape_.radiusOffsetScale - shape_.firstLevelOffset) + r0;
    }
    const float r = k == rings - 1 ? big : radius;
    for (int j = 0; j < s; ++j) {
      const float angle = j * step + turn;
      const float x = r * std::cos(angle);
      const float z = r * std::sin(angle);
      *vertex++ = WaterVertex{origin_.x + x, origin_.y, origin_.z + z, (x / big + 1.0f) * 0.5f * uvScale_.x,
                              (z / big + 1.0f) * 0.5f * uvScale_.y};
    }
  }
  if (!buffers_.UnlockVertices()) return false;

  WORD* index = nullptr;
  if (!buffers_.LockIndices(&index)) return false;
  for (int j = 0; j < s; ++j) {
    *index++ = 0;
    *index++ = static_cast<WORD>((j + 1) % s + 1);
    *index++ = static_cast<WORD>(j + 1);
  }
  for (int k = 1; k < rings; ++k) {
    const int inner = (k - 1) * s + 1;
    const int outer = k * s + 1;
    for (int j = 0; j < s; ++j) {
      const int next = (j + 1) % s;
      *index++ = static_cast<WORD>(outer + j);
      *index++ = static_cast<WORD>(inner + j);
      *index++ = static_cast<WORD>(inner + next);
      *index++ = static_cast<WORD>(outer + j);
      *index++ = static_cast<WORD>(inner + next);
      *index++ = static_cast<WORD>(outer + next);
    }
  }
  return buffers_.UnlockIndices();
}

void cRadialGrid::ExtrudeVertices(WaterVertex* vertices, const float* heights, int n, const D3DXVECTOR3& shift) {
  // Texture coordinates are rescaled from the previous scale, not recomputed.
  for (int k = 0, count = GetVertexCount(); k < count; ++k) {
    WaterVertex& vertex = vertices[k];
    vertex.u = vertex.u / uvScale_.x * extrusionUVScale_.x;
    vertex.v = vertex.v / uvScale_.y * extrusionUVScale_.y;
    vertex.x += shift.x;
    vertex.z += shift.z;
    const float falloff = HeightFalloff(vertex.x - origin_.x, vertex.z - origin_.z, heightFalloffSquared_);
    vertex.y = (1.0f - falloff) * strength_ * heights[TexelIndex(vertex.u, vertex.v, n)] + origin_.y;
  }
  uvScale_ = extrusionUVScale_;
}

bool cRadialGrid::ExtrudeWithDefaultUV(const iHeightmap* heightmap, float strength) {
  return Extrude(heightmap, strength, uvScale_.x, uvScale_.y);
}

void cRadialGrid::SetHeightFalloffDistance(float distance) { heightFalloffSquared_ = distance * distance; }

float cRadialGrid::GetHeightAt(float, float) const { return -1.0f; }

int cRadialGrid::GetTypeId() const { return GEOMETRY_RADIAL; }

cEngineSettings* cRadialGrid::FillSettings(cEngineSettings* settings) {
  FillCommonSettings(settings, uvScale_);
  settings->radialMaxRadius = shape_.maxRadius;
  settings->radialResolution = shape_.resolution;
  settings->radialFirstRadius = shape_.firstRadius;
  settings->radialRadiusOffsetScale = shape_.radiusOffsetScale;
  settings->radialFirstLevelOffset = shape_.firstLevelOffset;
  settings->radialHeightFalloffDistance = std::sqrt(heightFalloffSquared_);
  return settings;
}
