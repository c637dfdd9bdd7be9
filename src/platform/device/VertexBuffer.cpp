#include "platform/device/VertexBuffer.h"

namespace platform {

VertexBuffer::VertexBuffer(Device& device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : DeviceChild(device, pool, false), buffer_(length, usage, pool) {
  buffer_.Data().fvf = fvf;
}

VertexBuffer::~VertexBuffer() { CurrentBackend().ReleaseBuffer(buffer_.Data()); }

HRESULT VertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc) {
  if (!desc) return D3DERR_INVALIDCALL;
  const BufferData& data = buffer_.Data();
  *desc = {D3DFMT_VERTEXDATA, D3DRTYPE_VERTEXBUFFER, data.usage, data.pool, Size(), data.fvf};
  return D3D_OK;
}

}  // namespace platform
