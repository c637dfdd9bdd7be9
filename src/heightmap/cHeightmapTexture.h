// The texture copy of a heightmap, shared by both generators: created lazily
// in the managed pool with a generated mip chain, in one of three formats.
#pragma once

#include "platform/d3d9.h"

class cHeightmapTexture {
 public:
  cHeightmapTexture() = default;
  cHeightmapTexture(const cHeightmapTexture&) = delete;
  cHeightmapTexture& operator=(const cHeightmapTexture&) = delete;
  ~cHeightmapTexture() { Release(); }

  IDirect3DTexture9* Get() const { return texture_; }
  D3DFORMAT GetFormat() const { return format_; }
  void Release();

  // Creates the size*size texture if needed and writes the row-major heights
  // into level 0 in the current format.
  bool Write(IDirect3DDevice9* device, const float* heights, int size);

  // Texels of `format` for the row-major heights: A32B32G32R32F gets h, h, h, 1;
  // R32F gets h; A8R8G8B8 gets bytes v, v, v, 255 with v = trunc(h * 255)
  // clamped to 0..255. Row i starts i * Pitch bytes in; the rest of a wider
  // row is left alone.
  static void WriteTexels(const D3DLOCKED_RECT& locked, const float* heights, int size, D3DFORMAT format);

  // D3DFMT_A8R8G8B8, if the device takes it.
  bool UseIntegerFormat(IDirect3D9* d3d, IDirect3DDevice9* device);
  // D3DFMT_R32F, else D3DFMT_A32B32G32R32F; false if neither is supported.
  bool UseFloatFormat(IDirect3D9* d3d, IDirect3DDevice9* device);

 private:

  IDirect3DTexture9* texture_ = nullptr;
  D3DFORMAT format_ = D3DFMT_A8R8G8B8;
};
