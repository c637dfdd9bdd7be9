#include "geometry/cSM1VertexWriter.h"

#include "geometry/GridSampling.h"

cSM1VertexWriter::cSM1VertexWriter(const D3DXVECTOR3* normals, int normalmapSize)
    : normals_(normals), normalmapSize_(normalmapSize) {}

void cSM1VertexWriter::Write(const WaterVertex& vertex, bool fullDetail, WaterVertexExtra* extra) const {
  const D3DXVECTOR3 normal =
      fullDetail ? normals_[TexelIndex(vertex.u, vertex.v, normalmapSize_)] : D3DXVECTOR3(0.0f, 0.0f, 0.0f);
  extra->s = normal.x;
  extra->t = normal.y;
  extra->q = normal.z;
}

void cSM1VertexWriter::WriteRange(const WaterVertex* vertices, size_t count, WaterVertexExtra* extra) const {
  const int n = normalmapSize_;
  if (n <= 0 || (n & (n - 1)) != 0) {
    for (size_t k = 0; k < count; ++k) Write(vertices[k], true, extra + k);
    return;
  }
  for (size_t k = 0; k < count; ++k) {
    const float size = static_cast<float>(n);
    const D3DXVECTOR3& normal =
        normals_[WrapTexelPow2(size * vertices[k].v, n) * n + WrapTexelPow2(size * vertices[k].u, n)];
    extra[k].s = normal.x;
    extra[k].t = normal.y;
    extra[k].q = normal.z;
  }
}
