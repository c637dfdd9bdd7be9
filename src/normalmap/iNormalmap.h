// Surface normals of the current heightmap and their texture, which the water
// engines sample. Normals use z as the surface's up axis: flat is (0, 0, 1).
#pragma once

#include "settings/cEngineSettings.h"
#include "platform/d3dx9.h"

class iNormalmap {
 public:
  virtual ~iNormalmap() = default;

  // Null before the first WriteTexture.
  virtual IDirect3DTexture9* GetTexture() const = 0;

  virtual bool OnLostDevice(IDirect3DDevice9* device) = 0;
  virtual bool OnResetDevice(IDirect3DDevice9* device) = 0;
  virtual bool OnDeviceEvent(IDirect3DDevice9* device) = 0;

  // Recomputes the normals from the heightmap's current heights.
  virtual bool Compute() = 0;
  // Creates the texture if needed and fills it.
  virtual bool WriteTexture(IDirect3D9* d3d, IDirect3DDevice9* device) = 0;

  // N*N unit normals, row-major; null when the normals live only on the GPU.
  virtual const D3DXVECTOR3* GetNormals() const = 0;
  // N, or -1 before a source is set.
  virtual int GetResolution() const = 0;
  // Height scale of the differences.
  virtual void SetAmplitude(float amplitude) = 0;
  // Whether the device can hold this variant's texture.
  virtual bool IsSupported(IDirect3D9* d3d, IDirect3DDevice9* device) = 0;

  // A NormalmapTypeId.
  virtual int GetTypeId() const = 0;
  // Copies the type and parameters into the record; returns `settings`.
  virtual cEngineSettings* FillSettings(cEngineSettings* settings) = 0;
};
