#include "normalmap/cNormalmapTexture.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "normalmap/NormalBlocks.h"
#include "base/TextureFormatSupport.h"
#include "base/cThreadPool.h"

static_assert(std::endian::native == std::endian::little, "texels are written as B, G, R, A words");

namespace {

constexpr int kTexelsPerRun = 16384;  // per run of rows handed to one thread

// trunc(v * 127 + 128): 1..255 for the components of a unit normal.
v4si EncodeComponents(v4sf v) { return __builtin_convertvector(v * 127.0f + 128.0f, v4si); }

void EncodeRow(const D3DXVECTOR3* normals, uint32_t* texels, int count) {
  ForEachBlock4(texels, count, [normals](size_t first, uint32_t* out) {
    v4sf x, y, z;
    LoadNormals4(normals + first, &x, &y, &z);
    const v4si opaque = v4si{-1, -1, -1, -1} << 24;
    const v4si words = EncodeComponents(z) | EncodeComponents(y) << 8 | EncodeComponents(x) << 16 | opaque;
    std::memcpy(out, &words, sizeof words);
  });
}

}  // namespace

void cNormalmapTexture::Release() {
  if (texture_) texture_->Release();
  texture_ = nullptr;
}

bool cNormalmapTexture::IsSupported(IDirect3D9* d3d, IDirect3DDevice9* device) {
  return SupportsTextureFormat(d3d, device, 0, D3DFMT_A8R8G8B8);
}

// Some devices refuse automatic mip maps; a texture without them still works.
bool cNormalmapTexture::Create(IDirect3D9* d3d, IDirect3DDevice9* device, int size) {
  if (!IsSupported(d3d, device)) return false;
  for (DWORD usage : {D3DUSAGE_AUTOGENMIPMAP, DWORD{0}}) {
    if (SUCCEEDED(D3DXCreateTexture(device, size, size, D3DX_DEFAULT, usage, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                    &texture_))) {
      return true;
    }
    texture_ = nullptr;
  }
  return false;
}

bool cNormalmapTexture::Write(IDirect3D9* d3d, IDirect3DDevice9* device, const D3DXVECTOR3* normals, int size) {
  if (!d3d || !device || !normals || size < 1) return false;
  if (!texture_ && !Create(d3d, device, size)) return false;
  D3DLOCKED_RECT locked;
  if (FAILED(texture_->LockRect(0, &locked, NULL, 0))) return false;
  // Rows are shared out over the thread pool; the lock stays on this thread.
  cThreadPool::Shared().ParallelFor(size, kTexelsPerRun / size + 1, [&](size_t begin, size_t end) {
    for (size_t i = begin; i < end; ++i) {
      auto* row = reinterpret_cast<uint32_t*>(static_cast<BYTE*>(locked.pBits) + static_cast<ptrdiff_t>(i) * locked.Pitch);
      EncodeRow(normals + i * size, row, size);
    }
  });
  return SUCCEEDED(texture_->UnlockRect(0));
}
