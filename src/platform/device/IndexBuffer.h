// IDirect3DIndexBuffer9 over a LockableBuffer: 16- or 32-bit indices.
#pragma once

#include "platform/device/DeviceChild.h"
#include "platform/device/LockableBuffer.h"

namespace platform {

class IndexBuffer final : public DeviceChild<IDirect3DIndexBuffer9> {
 public:
  IndexBuffer(Device& device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool);

  D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
  HRESULT GetDevice(IDirect3DDevice9** device) override { return GetOwner(device); }
  HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override {
    return buffer_.Lock(offset, size, data, flags);
  }
  HRESULT Unlock() override { return buffer_.Unlock(); }
  HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override;

  BufferData& Data() { return buffer_.Data(); }
  const BufferData& Data() const { return buffer_.Data(); }
  UINT Size() const { return buffer_.Size(); }
  UINT IndexSize() const { return buffer_.Data().indexFormat == D3DFMT_INDEX32 ? 4 : 2; }

 private:
  ~IndexBuffer() override;

  LockableBuffer buffer_;
};

}  // namespace platform
