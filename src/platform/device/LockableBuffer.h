// The memory and lock rules shared by vertex and index buffers.
#pragma once

#include "platform/device/Backend.h"

namespace platform {

class LockableBuffer {
 public:
  LockableBuffer(UINT length, DWORD usage, D3DPOOL pool);

  // `size` 0 locks from `offset` to the end; ranges past the end are refused.
  HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags);
  HRESULT Unlock();

  BufferData& Data() { return data_; }
  const BufferData& Data() const { return data_; }
  UINT Size() const { return static_cast<UINT>(data_.bytes.size()); }

 private:
  BufferData data_;
  bool locked_ = false;
  bool readOnly_ = false;
  UINT lockBegin_ = 0, lockEnd_ = 0;
  DWORD lockFlags_ = 0;
};

}  // namespace platform
