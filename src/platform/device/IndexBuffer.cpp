#include "platform/device/IndexBuffer.h"

namespace platform {

IndexBuffer::IndexBuffer(Device& device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : DeviceChild(device, pool, false), buffer_(length, usage, pool) {
  buffer_.Data().index = true;
  buffer_.Data().indexFormat = format;
}

IndexBuffer::~IndexBuffer() { CurrentBackend().ReleaseBuffer(buffer_.Data()); }

HRESULT IndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* desc) {
  if (!desc) return D3DERR_INVALIDCALL;
  const BufferData& data = buffer_.Data();
  *desc = {data.indexFormat, D3DRTYPE_INDEXBUFFER, data.usage, data.pool, Size()};
  return D3D_OK;
}

}  // namespace platform
