#include "platform/device/LockableBuffer.h"

#include <algorithm>

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
  lockBegin_ = offset;
  lockEnd_ = offset + size;
  lockFlags_ = flags & (D3DLOCK_DISCARD | D3DLOCK_NOOVERWRITE);
  return D3D_OK;
}

HRESULT LockableBuffer::Unlock() {
  if (!locked_) return D3DERR_INVALIDCALL;
  locked_ = false;
  if (readOnly_) return D3D_OK;
  const bool wholeStale = data_.dirty && data_.dirtyEnd == 0;
  if (wholeStale) return D3D_OK;
  if (!data_.dirty) {
    data_.dirtyBegin = lockBegin_;
    data_.dirtyEnd = lockEnd_;
    data_.dirtyFlags = lockFlags_;
  } else {
    data_.dirtyBegin = std::min<size_t>(data_.dirtyBegin, lockBegin_);
    data_.dirtyEnd = std::max<size_t>(data_.dirtyEnd, lockEnd_);
    data_.dirtyFlags = (data_.dirtyFlags & D3DLOCK_DISCARD) | (lockFlags_ & D3DLOCK_DISCARD) |
                       (data_.dirtyFlags & lockFlags_ & D3DLOCK_NOOVERWRITE);
  }
  data_.dirty = true;
  return D3D_OK;
}

}  // namespace platform
