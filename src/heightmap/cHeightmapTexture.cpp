#include "heightmap/cHeightmapTexture.h"

#include <cstring>
#include <initializer_list>

#include "base/cThreadPool.h"
#include "platform/d3dx9.h"
#include "base/TextureFormatSupport.h"

namespace {

constexpr int kTexelsPerRun = 16384;  // per run of rows handed to one thread

void WriteRow(const float* heights, BYTE* texels, int size, D3DFORMAT format) {
  switch (format) {
    case D3DFMT_A32B32G32R32F:
      for (int j = 0; j < size; ++j) {
        const float texel[4] = {heights[j], heights[j], heights[j], 1.0f};
        std::memcpy(texels + 16 * j, texel, sizeof texel);
      }
      break;
    case D3DFMT_R32F:
      std::memcpy(texels, heights, sizeof(float) * size);
      break;
    default:
      for (int j = 0; j < size; ++j) {
        // Truncated, not rounded; the comparisons also send NaN to 0.
        const double v = heights[j] * 255.0;
        const BYTE level = v >= 255.0 ? 255 : v > 0.0 ? static_cast<BYTE>(v) : 0;
        const BYTE texel[4] = {level, level, level, 255};
        std::memcpy(texels + 4 * j, texel, sizeof texel);
      }
      break;
  }
}

}  // namespace

void cHeightmapTexture::Release() {
  if (texture_) texture_->Release();
  texture_ = nullptr;
}

bool cHeightmapTexture::Write(IDirect3DDevice9* device, const float* heights, int size) {
  if (!device || !heights || size < 1) return false;
  if (!texture_ && FAILED(D3DXCreateTexture(device, size, size, D3DX_DEFAULT, D3DUSAGE_AUTOGENMIPMAP, format_,
                                            D3DPOOL_MANAGED, &texture_))) {
    texture_ = nullptr;
    return false;
  }
  D3DLOCKED_RECT locked;
  if (FAILED(texture_->LockRect(0, &locked, NULL, 0))) return false;
  WriteTexels(locked, heights, size, format_);
  return SUCCEEDED(texture_->UnlockRect(0));
}

// Rows are shared out over the thread pool; the lock stays with the caller.
void cHeightmapTexture::WriteTexels(const D3DLOCKED_RECT& locked, const float* heights, int size, D3DFORMAT format) {
  cThreadPool::Shared().ParallelFor(size, kTexelsPerRun / size + 1, [&](size_t begin, size_t end) {
    for (size_t i = begin; i < end; ++i) {
      WriteRow(heights + i * size, static_cast<BYTE*>(locked.pBits) + static_cast<ptrdiff_t>(i) * locked.Pitch, size,
               format);
    }
  });
}

bool cHeightmapTexture::UseIntegerFormat(IDirect3D9* d3d, IDirect3DDevice9* device) {
  if (!SupportsTextureFormat(d3d, device, 0, D3DFMT_A8R8G8B8)) return false;
  Release();
  format_ = D3DFMT_A8R8G8B8;
  return true;
}

bool cHeightmapTexture::UseFloatFormat(IDirect3D9* d3d, IDirect3DDevice9* device) {
  for (D3DFORMAT candidate : {D3DFMT_R32F, D3DFMT_A32B32G32R32F}) {
    if (SupportsTextureFormat(d3d, device, 0, candidate)) {
      Release();
      format_ = candidate;
      return true;
    }
  }
  return false;
}
