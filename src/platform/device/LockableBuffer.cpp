#include "platform/device/LockableBuffer.h"

namespace platform {

LockableBuffer::LockableBuffer(UINT length, DWORD usage, D3DPOOL pool) {
  data_.bytes.assign(length, 0);
  data_.usage = usage;
  data_.pool = pool;
}

HRESULT LockableBuffer::Lock(UINT offset, UINT size, void** data, DWORD flags) {
  if (!data || locked_ || offset > Size()) return D3DERR_INVALIDCALL;
  if (size == 0) size = Size() - offset;
  if (size > Size() - offset) return D3DERR_INVALIDCALL;
  *data = data_.bytes.data() + offset;
  locked_ = true;
  readOnly_ = (flags & D3DLOCK_READONLY) != 0;
  return D3D_OK;
}

HRESULT LockableBuffer::Unlock() {
  if (!locked_) return D3DERR_INVALIDCALL;
  if (!readOnly_) data_.dirty = true;
  locked_ = false;
  return D3D_OK;
}

}  // namespace platform
