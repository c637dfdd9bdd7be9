// Reference counting shared by every object a device creates.
#pragma once

#include "platform/device/Device.h"

namespace platform {

// The program's references (AddRef/Release) also keep the device alive, as in
// Direct3D; the device's own references (bindings, implicit surfaces) keep only
// the object, so a device and what is bound to it never keep each other alive.
// Default-pool objects the program holds are counted: Reset refuses to run
// while any is left.
template <class Interface>
class DeviceChild : public Interface {
 public:
  ULONG AddRef() override {
    if (references_++ == 0) device_->ChildReferenced(pool_);
    return references_;
  }

  ULONG Release() override {
    const ULONG left = --references_;
    if (left == 0) {
      Device* device = device_;
      const D3DPOOL pool = pool_;
      if (bindings_ == 0) delete this;
      device->ChildReleased(pool);
    }
    return left;
  }

  virtual void AddBinding() { ++bindings_; }

  virtual void ReleaseBinding() {
    if (--bindings_ == 0 && references_ == 0) delete this;
  }

  Device& Owner() const { return *device_; }
  D3DPOOL Pool() const { return pool_; }

 protected:
  // An implicit object starts held by the device only; any other by the program.
  DeviceChild(Device& device, D3DPOOL pool, bool implicit)
      : device_(&device), pool_(pool), references_(implicit ? 0 : 1), bindings_(implicit ? 1 : 0) {
    if (!implicit) device.ChildReferenced(pool);
  }

  HRESULT GetOwner(IDirect3DDevice9** device) {
    if (!device) return D3DERR_INVALIDCALL;
    device_->AddRef();
    *device = device_;
    return D3D_OK;
  }

 private:
  Device* device_;
  D3DPOOL pool_;
  ULONG references_;
  ULONG bindings_;
};

}  // namespace platform

namespace platform {

// Points a device slot at `object`, moving the device's reference.
template <class T>
void Rebind(T*& slot, T* object) {
  if (object) object->AddBinding();
  if (slot) slot->ReleaseBinding();
  slot = object;
}

template <class T>
void Unbind(T*& slot) {
  Rebind<T>(slot, nullptr);
}

}  // namespace platform
