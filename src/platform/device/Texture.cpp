#include "platform/device/Texture.h"

#include "platform/device/Surface.h"

namespace platform {

Texture::Texture(Device& device, const TextureData& data)
    : DeviceChild(device, data.pool, false), data_(data), surfaces_(data.levels, nullptr), locks_(data.levels) {
  if (data_.IsRenderTarget()) return;
  data_.memory.resize(data_.levels);
  for (UINT level = 0; level < data_.levels; ++level) {
    data_.memory[level].assign(static_cast<size_t>(data_.Pitch(level)) * data_.LevelHeight(level), 0);
  }
}

Texture::~Texture() {
  for (Surface* surface : surfaces_) delete surface;
  CurrentBackend().ReleaseTexture(data_);
}

Surface& Texture::Level(UINT level) {
  if (!surfaces_[level]) surfaces_[level] = new Surface(*this, level);
  return *surfaces_[level];
}

HRESULT Texture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
  if (level >= data_.levels || !desc) return D3DERR_INVALIDCALL;
  return Level(level).GetDesc(desc);
}

HRESULT Texture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) {
  if (level >= data_.levels || !surface) return D3DERR_INVALIDCALL;
  *surface = &Level(level);
  (*surface)->AddRef();
  return D3D_OK;
}

HRESULT Texture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
  if (level >= data_.levels || !locked || data_.memory.empty() || locks_[level].locked) return D3DERR_INVALIDCALL;
  UINT left = 0;
  UINT top = 0;
  if (rect) {
    if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
        static_cast<UINT>(rect->right) > data_.LevelWidth(level) ||
        static_cast<UINT>(rect->bottom) > data_.LevelHeight(level)) {
      return D3DERR_INVALIDCALL;
    }
    left = static_cast<UINT>(rect->left);
    top = static_cast<UINT>(rect->top);
  }
  const size_t offset = static_cast<size_t>(top) * data_.Pitch(level) + static_cast<size_t>(left) * FormatBytes(data_.format);
  locked->Pitch = static_cast<INT>(data_.Pitch(level));
  locked->pBits = data_.memory[level].data() + offset;
  locks_[level] = {true, (flags & D3DLOCK_READONLY) != 0};
  return D3D_OK;
}

HRESULT Texture::UnlockRect(UINT level) {
  if (level >= data_.levels || !locks_[level].locked) return D3DERR_INVALIDCALL;
  if (!locks_[level].readOnly) {
    if (!data_.dirty) data_.dirtyLevels.assign(data_.levels, false);
    if (!data_.dirtyLevels.empty()) data_.dirtyLevels[level] = true;
    data_.dirty = true;
  }
  locks_[level] = {};
  return D3D_OK;
}

}  // namespace platform
