// A square render-target texture with its own depth surface, the part shared by
// the reflection, refraction and depth passes: creation at a power-of-two size,
// switching the device onto it and back, and device loss.
#pragma once

#include "platform/d3dx9.h"

// True when the device can render into A8R8G8B8 textures with a D16 depth surface.
bool IsRenderTargetSupported(IDirect3D9* d3d, IDirect3DDevice9* device);
// Turns user clip plane 0 off.
void DisableClipPlane(IDirect3DDevice9* device);

class cPassTarget {
 public:
  cPassTarget(const cPassTarget&) = delete;
  cPassTarget& operator=(const cPassTarget&) = delete;

  IDirect3DTexture9* GetTexture() const { return texture; }
  // Edge length in pixels, -1 while no target was made.
  int GetSize() const { return size; }
  // The clip height last given to SetClipPlane*.
  float GetClipHeight() const { return clipHeight; }

  // Releases every device object and forgets the size: the target is as new.
  virtual void Release();

  // The size a request turns into: below 1 gives 1, else the next power of two;
  // 0 when that exceeds `maxSize` (or the integer range).
  static int RoundSize(int requested, int maxSize);

 protected:
  cPassTarget() = default;
  virtual ~cPassTarget();

  // Makes the texture and depth surface at the rounded size. On failure nothing
  // is left and the size is -1.
  bool CreateTarget(int requestedSize, IDirect3D9* d3d, IDirect3DDevice9* device);
  // Takes level 0 and saves render target 0 and the depth surface, then sets the
  // own ones. On failure everything taken is released and put back.
  bool BeginTarget(IDirect3DDevice9* device);
  // Puts back what BeginTarget saved; false when nothing was saved.
  bool EndTarget(IDirect3DDevice9* device);
  bool IsBegun() const { return savedTarget != nullptr; }
  // Device loss releases the default-pool objects; reset makes the missing ones
  // again at the stored size.
  void ReleaseSurfaces();
  bool RecreateSurfaces(IDirect3DDevice9* device);
  void SetClipHeight(float height) { clipHeight = height; }
  // Sets clip plane 0 and turns it on; the projected form moves a world plane
  // into the clip space of `worldToClip` (false when that cannot be inverted).
  bool ApplyClipPlane(const D3DXPLANE& plane, IDirect3DDevice9* device);
  bool ApplyProjectedClipPlane(const D3DXPLANE& plane, const D3DXMATRIX& worldToClip, IDirect3DDevice9* device);

 private:
  bool CreateSurfaces(IDirect3DDevice9* device);
  void ReleaseSaved();

  IDirect3DTexture9* texture = nullptr;
  IDirect3DSurface9* depthSurface = nullptr;
  IDirect3DSurface9* savedTarget = nullptr;
  IDirect3DSurface9* savedDepth = nullptr;
  IDirect3DSurface9* levelSurface = nullptr;
  int size = -1;
  float clipHeight = 0.0f;
};
