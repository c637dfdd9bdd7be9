// IDirect3DTexture9: a 2D texture with its mip levels in CPU memory (render
// targets keep none), per-level locks, and a surface per level on demand.
#pragma once

#include <vector>

#include "platform/device/DeviceChild.h"

namespace platform {

class Surface;

class Texture final : public DeviceChild<IDirect3DTexture9> {
 public:
  // `data` describes the texture; its memory is allocated here.
  Texture(Device& device, const TextureData& data);

  D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
  HRESULT GetDevice(IDirect3DDevice9** device) override { return GetOwner(device); }
  DWORD GetLevelCount() override { return data_.levels; }
  void GenerateMipSubLevels() override {}  // the backend regenerates automatic mip maps itself
  HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
  HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
  HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect(UINT level) override;

  TextureData& Data() { return data_; }
  Surface& Level(UINT level);

 private:
  ~Texture() override;

  struct LevelLock {
    bool locked = false;
    bool readOnly = false;
  };

  TextureData data_;
  std::vector<Surface*> surfaces_;  // created on first use
  std::vector<LevelLock> locks_;
};

}  // namespace platform
