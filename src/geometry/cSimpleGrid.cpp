#include "geometry/cSimpleGrid.h"

#include <algorithm>

#include "base/cThreadPool.h"
#include "settings/TypeIds.h"
#include "geometry/GridSampling.h"

namespace {

constexpr size_t kVerticesPerRun = 4096;  // per run of rows handed to one thread

long long VertexCount(int tessellationX, int tessellationZ) {
  return (std::max(tessellationX, 1) + 1LL) * (std::max(tessellationZ, 1) + 1LL);
}

}  // namespace

bool cSimpleGrid::WithinLimits(int tessellationX, int tessellationZ) {
  return VertexCount(tessellationX, tessellationZ) <= MAX_WATER_VERTICES;
}

bool cSimpleGrid::Create(float sizeX, float sizeZ, int tessellationX, int tessellationZ,
                         const D3DXVECTOR2& defaultUVScale, const D3DXVECTOR3& origin, IDirect3DDevice9* device) {
  if (!device || !WithinLimits(tessellationX, tessellationZ)) return false;
  size_ = D3DXVECTOR2(sizeX < 0.0f ? 1.0f : sizeX, sizeZ < 0.0f ? 1.0f : sizeZ);
  tessellationX_ = std::max(tessellationX, 1);
  tessellationZ_ = std::max(tessellationZ, 1);
  defaultUVScale_ = D3DXVECTOR2(defaultUVScale.x > 0.0f ? defaultUVScale.x : 1.0f,
                                defaultUVScale.y > 0.0f ? defaultUVScale.y : 1.0f);
  uvScale_ = defaultUVScale_;
  extrusionUVScale_ = defaultUVScale_;
  const int vertexCount = static_cast<int>(VertexCount(tessellationX_, tessellationZ_));
  return CreateMesh(device, origin, vertexCount, tessellationX_ * tessellationZ_ * 6) && FillBuffers();
}

void cSimpleGrid::ResetBox() {
  boxMax_ = D3DXVECTOR3(origin_.x + size_.x * 0.5f, origin_.y, origin_.z + size_.y * 0.5f);
  boxMin_ = D3DXVECTOR3(origin_.x - size_.x * 0.5f, origin_.y, origin_.z - size_.y * 0.5f);
}

bool cSimpleGrid::FillBuffers() {
  WaterVertex* vertex = nullptr;
  if (!buffers_.LockVertices(&vertex, 0)) return false;
  const float stepX = size_.x / tessellationX_;
  const float stepZ = size_.y / tessellationZ_;
  const float stepU = defaultUVScale_.x / tessellationX_;
  const float stepV = defaultUVScale_.y / tessellationZ_;
  float v = 0.0f;
  for (int j = 0; j <= tessellationZ_; ++j, v += stepV) {
    float u = 0.0f;
    for (int i = 0; i <= tessellationX_; ++i, u += stepU) {
      *vertex++ = WaterVertex{origin_.x - size_.x * 0.5f + i * stepX, origin_.y,
                              origin_.z - size_.y * 0.5f + j * stepZ, u, v};
    }
  }
  if (!buffers_.UnlockVertices()) return false;

  WORD* indices = nullptr;
  if (!buffers_.LockIndices(&indices)) return false;
  cGridBuffers::FillQuadIndices(indices, tessellationX_, tessellationZ_);
  return buffers_.UnlockIndices();
}

bool cSimpleGrid::Extrude(const iHeightmap* heightmap, float strength, float uvScaleX, float uvScaleY) {
  uvScale_ = D3DXVECTOR2(uvScaleX, uvScaleY);
  return cMeshGeometry::Extrude(heightmap, strength, uvScaleX, uvScaleY);
}

bool cSimpleGrid::ExtrudeWithDefaultUV(const iHeightmap* heightmap, float strength) {
  return Extrude(heightmap, strength, defaultUVScale_.x, defaultUVScale_.y);
}

// Rows of vertices are shared out over the thread pool.
void cSimpleGrid::ExtrudeVertices(WaterVertex* vertices, const float* heights, int n, const D3DXVECTOR3& shift) {
  const float stepU = extrusionUVScale_.x / tessellationX_;
  const float stepV = extrusionUVScale_.y / tessellationZ_;
  const float size = static_cast<float>(n);
  const int lastColumn = tessellationX_;
  const size_t rowLength = lastColumn + 1;
  // Every row samples the same columns; the wrap's remainder is worked out once.
  columnTexels_.resize(rowLength);
  for (int i = 0; i <= lastColumn; ++i) columnTexels_[i] = WrapTexel(size * i * stepU, n);
  cThreadPool::Shared().ParallelFor(tessellationZ_ + 1, kVerticesPerRun / rowLength + 1, [&](size_t begin, size_t end) {
    // Locals: stores through the vertex pointer would otherwise reload the captures.
    const float strength = strength_, baseHeight = origin_.y, shiftX = shift.x, shiftZ = shift.z, du = stepU,
                dv = stepV;
    const int* columnTexels = columnTexels_.data();
    for (size_t j = begin; j < end; ++j) {
      // Formed as (N * j) * step so that a tessellation equal to N lands exactly on texel j.
      const int row = WrapTexel(size * static_cast<int>(j) * dv, n);
      WaterVertex* vertex = vertices + j * rowLength;
      const float* rowHeights = heights + static_cast<size_t>(row) * n;
      for (int i = 0; i <= lastColumn; ++i, ++vertex) {
        vertex->y = strength * rowHeights[columnTexels[i]] + baseHeight;
        vertex->x += shiftX;
        vertex->z += shiftZ;
        vertex->u = i * du;
        vertex->v = static_cast<int>(j) * dv;
      }
    }
  });
}

float cSimpleGrid::GetHeightAt(float x, float z) const {
  if (!heightmap_) return origin_.y;
  if (x < boxMin_.x || x > boxMax_.x || z < boxMin_.z || z > boxMax_.z) return -1.0f;
  const float* heights = heightmap_->GetHeights();
  const int n = heightmap_->GetResolution();
  if (!heights || n < 1) return 0.0f;
  const float u = size_.x > 0.0f ? (x - boxMin_.x) / size_.x * uvScale_.x : 0.0f;
  const float v = size_.y > 0.0f ? (z - boxMin_.z) / size_.y * uvScale_.y : 0.0f;
  return heights[TexelIndex(u, v, n)];
}

int cSimpleGrid::GetTypeId() const { return GEOMETRY_SIMPLE; }

cEngineSettings* cSimpleGrid::FillSettings(cEngineSettings* settings) {
  FillCommonSettings(settings, defaultUVScale_);
  settings->simpleGridSizeX = size_.x;
  settings->simpleGridSizeZ = size_.y;
  settings->simpleGridTessellationX = tessellationX_;
  settings->simpleGridTessellationZ = tessellationZ_;
  return settings;
}
