#include "heightmap/cHeightmapTexture.h"

#include <cstring>
#include <initializer_list>

#include "base/cThreadPool.h"
#include "heightmap/Simd.h"
#include "platform/d3dx9.h"
#include "base/TextureFormatSupport.h"

namespace {

constexpr int kTexelsPerRun = 16384;  // per run of rows handed to one thread

// Grey texels trunc(h * 255), clamped to 0..255 (NaN to 0), alpha 255. The
// product is formed in double, where it is exact, four texels at a time;
// returns how many texels were written.
inline int WriteGreyQuads(const float* heights, BYTE* texels, int size) {
  const v4df low = v4df{} + 0.0, high = v4df{} + 255.0;
  int j = 0;
  for (; j + 4 <= size; j += 4) {
    const v4df v = __builtin_convertvector(Load4(heights + j), v4df) * 255.0;
    const v4di inside = v > low;
    const v4df clamped = v >= high ? high : (v4df)((v4di)v & inside);
    const v4si level = __builtin_convertvector(clamped, v4si);
    const v4si words = level | level << 8 | level << 16 | static_cast<int32_t>(0xFF000000u);
    std::memcpy(texels + 4 * j, &words, sizeof words);
  }
  return j;
}

// The same with the four doubles in one register where the processor has the wide units.
__attribute__((target("avx2"), flatten)) int WriteGreyQuadsWide(const float* heights, BYTE* texels, int size) {
  return WriteGreyQuads(heights, texels, size);
}

void WriteGreyRow(const float* heights, BYTE* texels, int size) {
  int j = HasWideVectors() ? WriteGreyQuadsWide(heights, texels, size) : WriteGreyQuads(heights, texels, size);
  for (; j < size; ++j) {
    const double v = heights[j] * 255.0;
    const BYTE level = v >= 255.0 ? 255 : v > 0.0 ? static_cast<BYTE>(v) : 0;
    const BYTE texel[4] = {level, level, level, 255};
    std::memcpy(texels + 4 * j, texel, sizeof texel);
  }
}

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
      WriteGreyRow(heights, texels, size);
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
