// IDirect3DSurface9: the back buffer, a depth surface, or one level of a texture.
#pragma once

#include "platform/device/DeviceChild.h"

namespace platform {

class Surface final : public DeviceChild<IDirect3DSurface9> {
 public:
  // The back buffer, the automatic depth surface (both implicit) or a depth surface.
  Surface(Device& device, const SurfaceData& data, bool implicit);
  // A level of `texture`: it lives and is counted with its texture.
  Surface(Texture& texture, UINT level);

  ULONG AddRef() override;
  ULONG Release() override;
  void AddBinding() override;
  void ReleaseBinding() override;

  D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }
  HRESULT GetDevice(IDirect3DDevice9** device) override { return GetOwner(device); }
  HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
  HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect() override;

  SurfaceData& Data() { return data_; }
  // The texture this surface is a level of; null for the back buffer and depth surfaces.
  Texture* Container() const { return container_; }
  bool IsRenderTarget() const { return data_.backBuffer || (data_.texture && data_.texture->IsRenderTarget()); }

 private:
  friend class Texture;  // deletes its levels
  ~Surface() override;

  SurfaceData data_;
  Texture* container_ = nullptr;
};

}  // namespace platform
