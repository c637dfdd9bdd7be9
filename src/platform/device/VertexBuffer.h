// IDirect3DVertexBuffer9 over a LockableBuffer.
#pragma once

#include "platform/device/DeviceChild.h"
#include "platform/device/LockableBuffer.h"

namespace platform {

class VertexBuffer final : public DeviceChild<IDirect3DVertexBuffer9> {
 public:
  VertexBuffer(Device& device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);

  D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
  HRESULT GetDevice(IDirect3DDevice9** device) override { return GetOwner(device); }
  HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override {
    return buffer_.Lock(offset, size, data, flags);
  }
  HRESULT Unlock() override { return buffer_.Unlock(); }
  HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;

  BufferData& Data() { return buffer_.Data(); }
  UINT Size() const { return buffer_.Size(); }

 private:
  ~VertexBuffer() override;

  LockableBuffer buffer_;
};

}  // namespace platform
