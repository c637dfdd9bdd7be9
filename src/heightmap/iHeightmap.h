// A wave height generator: an N*N grid of heights for the current animation
// time, and a texture copy of it for the consumers that sample it on the GPU.
#pragma once

#include "settings/cEngineSettings.h"
#include "platform/d3d9.h"

// Largest edge a generator accepts: twice the largest the editor offers.
constexpr int kMaxHeightmapResolution = 8192;

class iHeightmap {
 public:
  virtual ~iHeightmap() = default;

  // The texture lives in the managed pool, so device loss needs no work.
  virtual bool OnLostDevice() = 0;
  virtual bool OnResetDevice() = 0;
  virtual bool OnDeviceEvent() = 0;

  // Null before the first WriteTexture and after a format change.
  virtual IDirect3DTexture9* GetTexture() const = 0;
  // Row-major N*N heights (row i at i*N); null before initialisation.
  virtual const float* GetHeights() const = 0;
  // N, or -1 before initialisation.
  virtual int GetResolution() const = 0;

  // Creates the texture if needed and copies the heights into level 0.
  virtual bool WriteTexture(IDirect3DDevice9* device) = 0;
  // Recomputes the heights for `time` (scaled seconds).
  virtual bool Update(float time) = 0;

  // A HeightmapTypeId.
  virtual int GetTypeId() const = 0;

  // D3DFMT_A8R8G8B8 (the default), or D3DFMT_R32F / D3DFMT_A32B32G32R32F,
  // whichever the device takes first. Both drop the texture on success.
  virtual bool UseIntegerFormat(IDirect3D9* d3d, IDirect3DDevice9* device) = 0;
  virtual bool UseFloatFormat(IDirect3D9* d3d, IDirect3DDevice9* device) = 0;
  virtual D3DFORMAT GetTextureFormat() const = 0;

  // Copies the generator's parameters into the record; returns `settings`.
  virtual cEngineSettings* FillSettings(cEngineSettings* settings) = 0;
};
