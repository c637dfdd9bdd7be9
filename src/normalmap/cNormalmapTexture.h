// The texture copy of a CPU normal map, shared by the finite-difference and
// FFT variants: N*N D3DFMT_A8R8G8B8 in the managed pool, created on the first
// write. A unit normal n becomes the bytes B, G, R, A = e(nz), e(ny), e(nx), 255
// with e(v) = trunc(v * 127 + 128).
#pragma once

#include "platform/d3dx9.h"

class cNormalmapTexture {
 public:
  cNormalmapTexture() = default;
  cNormalmapTexture(const cNormalmapTexture&) = delete;
  cNormalmapTexture& operator=(const cNormalmapTexture&) = delete;
  ~cNormalmapTexture() { Release(); }

  IDirect3DTexture9* Get() const { return texture_; }
  void Release();

  // The device takes A8R8G8B8 textures in the current display mode.
  static bool IsSupported(IDirect3D9* d3d, IDirect3DDevice9* device);

  // Creates the size*size texture if needed (with generated mip maps when the
  // device can) and writes the row-major normals into level 0. The normals
  // must be readable up to the next multiple of four past size*size.
  bool Write(IDirect3D9* d3d, IDirect3DDevice9* device, const D3DXVECTOR3* normals, int size);

 private:
  bool Create(IDirect3D9* d3d, IDirect3DDevice9* device, int size);

  IDirect3DTexture9* texture_ = nullptr;
};
