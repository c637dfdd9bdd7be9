#include "platform/device/Surface.h"

#include "platform/device/Texture.h"

namespace platform {

Surface::Surface(Device& device, const SurfaceData& data, bool implicit)
    : DeviceChild(device, D3DPOOL_DEFAULT, implicit), data_(data) {}

Surface::Surface(Texture& texture, UINT level)
    : DeviceChild(texture.Owner(), texture.Pool(), true), container_(&texture) {
  const TextureData& owner = texture.Data();
  data_.format = owner.format;
  data_.width = owner.LevelWidth(level);
  data_.height = owner.LevelHeight(level);
  data_.texture = &texture.Data();
  data_.level = level;
}

Surface::~Surface() { CurrentBackend().ReleaseSurface(data_); }

ULONG Surface::AddRef() { return container_ ? container_->AddRef() : DeviceChild::AddRef(); }

ULONG Surface::Release() { return container_ ? container_->Release() : DeviceChild::Release(); }

void Surface::AddBinding() { container_ ? container_->AddBinding() : DeviceChild::AddBinding(); }

void Surface::ReleaseBinding() { container_ ? container_->ReleaseBinding() : DeviceChild::ReleaseBinding(); }

HRESULT Surface::GetDesc(D3DSURFACE_DESC* desc) {
  if (!desc) return D3DERR_INVALIDCALL;
  DWORD usage = data_.depth ? D3DUSAGE_DEPTHSTENCIL : 0;
  if (data_.backBuffer) usage = D3DUSAGE_RENDERTARGET;
  if (data_.texture) usage = data_.texture->usage;
  *desc = {data_.format, D3DRTYPE_SURFACE, usage, Pool(), D3DMULTISAMPLE_NONE, 0, data_.width, data_.height};
  return D3D_OK;
}

// Only texture levels hold CPU memory; the back buffer and depth surfaces cannot be locked.
HRESULT Surface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
  if (!container_) return D3DERR_INVALIDCALL;
  return container_->LockRect(data_.level, locked, rect, flags);
}

HRESULT Surface::UnlockRect() {
  if (!container_) return D3DERR_INVALIDCALL;
  return container_->UnlockRect(data_.level);
}

}  // namespace platform
