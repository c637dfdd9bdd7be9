#include "geometry/iVertexExtraWriter.h"

#include "geometry/iWaterGeometry.h"

bool WriteExtraStream(iWaterGeometry* geometry, const iVertexExtraWriter& writer) {
  IDirect3DVertexBuffer9* vertexBuffer = geometry->GetVertexBuffer();
  IDirect3DVertexBuffer9* extraStream = geometry->GetExtraStream();
  if (!vertexBuffer || !extraStream) return false;
  void* vertexData = nullptr;
  if (FAILED(vertexBuffer->Lock(0, 0, &vertexData, D3DLOCK_READONLY))) return false;
  void* extraData = nullptr;
  if (FAILED(extraStream->Lock(0, 0, &extraData, 0))) {
    vertexBuffer->Unlock();
    return false;
  }
  const auto* vertices = static_cast<const WaterVertex*>(vertexData);
  auto* extra = static_cast<WaterVertexExtra*>(extraData);
  for (int k = 0, count = geometry->GetVertexCount(); k < count; ++k) writer.Write(vertices[k], true, &extra[k]);
  const bool extraUnlocked = SUCCEEDED(extraStream->Unlock());
  return SUCCEEDED(vertexBuffer->Unlock()) && extraUnlocked;
}
