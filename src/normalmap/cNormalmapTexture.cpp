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

typedef int32_t v8si __attribute__((vector_size(32)));

// B, G, R, A words of unit normals: trunc(v * 127 + 128), 1..255 for each
// component, alpha 255. Vectors by reference: the wide instantiation changes
// no calling convention.
template <typename F, typename I>
void EncodeWords(const F& x, const F& y, const F& z, I* words) {
  *words = __builtin_convertvector(z * 127.0f + 128.0f, I) | __builtin_convertvector(y * 127.0f + 128.0f, I) << 8 |
           __builtin_convertvector(x * 127.0f + 128.0f, I) << 16 | static_cast<int32_t>(0xFF000000u);
}

// Eight normals at a time where the processor has the wide units; returns how many were written.
__attribute__((target("avx2"), flatten)) size_t EncodeWide(const D3DXVECTOR3* normals, uint32_t* texels, size_t count) {
  size_t c = 0;
  for (; c + 8 <= count; c += 8) {
    const float* p = &normals[c].x;
    v8sf a, b, d;  // x0 y0 z0 x1 y1 z1 x2 y2 | z2 x3 ... | ... z7
    LoadV(a, p);
    LoadV(b, p + 8);
    LoadV(d, p + 16);
    const v8sf x = __builtin_shufflevector(__builtin_shufflevector(a, b, 0, 3, 6, 9, 12, 15, 0, 0), d, 0, 1, 2, 3, 4,
                                           5, 10, 13);
    const v8sf y = __builtin_shufflevector(__builtin_shufflevector(a, b, 1, 4, 7, 10, 13, 0, 0, 0), d, 0, 1, 2, 3, 4,
                                           8, 11, 14);
    const v8sf z = __builtin_shufflevector(__builtin_shufflevector(a, b, 2, 5, 8, 11, 14, 0, 0, 0), d, 0, 1, 2, 3, 4,
                                           9, 12, 15);
    v8si words;
    EncodeWords(x, y, z, &words);
    std::memcpy(texels + c, &words, sizeof words);
  }
  return c;
}

void EncodeRow(const D3DXVECTOR3* normals, uint32_t* texels, int count) {
  const size_t done = HasWideVectors() ? EncodeWide(normals, texels, count) : 0;
  ForEachBlock4(texels + done, count - done, [normals = normals + done](size_t first, uint32_t* out) {
    v4sf x, y, z;
    LoadNormals4(normals + first, &x, &y, &z);
    v4si words;
    EncodeWords(x, y, z, &words);
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
