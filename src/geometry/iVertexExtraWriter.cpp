#include "geometry/iVertexExtraWriter.h"

#include <algorithm>

#include "base/cThreadPool.h"
#include "geometry/iWaterGeometry.h"

namespace {

// Entries of `stride` bytes the buffer holds; 0 when its size is unknown.
UINT EntryCount(IDirect3DVertexBuffer9* buffer, UINT stride) {
  D3DVERTEXBUFFER_DESC desc;
  return SUCCEEDED(buffer->GetDesc(&desc)) ? desc.Size / stride : 0;
}

}  // namespace

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
  // Only what both buffers hold, whatever the geometry reports.
  const UINT count = std::min(EntryCount(vertexBuffer, sizeof(WaterVertex)), EntryCount(extraStream, sizeof(WaterVertexExtra)));
  constexpr size_t kRun = 4096;
  cThreadPool::Shared().ParallelFor(count, kRun, [&](size_t begin, size_t end) {
    writer.WriteRange(vertices + begin, end - begin, extra + begin);
  });
  const bool extraUnlocked = SUCCEEDED(extraStream->Unlock());
  return SUCCEEDED(vertexBuffer->Unlock()) && extraUnlocked;
}
