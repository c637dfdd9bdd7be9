// The reflection pass: the scene seen through a mirror in the water plane,
// rendered into a square texture.
#pragma once

#include "platform/d3dx9.h"
#include "scene/cPassTarget.h"

struct cEngineSettings;

class cReflectionTarget : public cPassTarget {
 public:
  cReflectionTarget();

  // Size below 0 becomes 1, then rounds up to a power of two; refused beyond the
  // device's largest texture. Builds the mirror in the plane y = planeHeight.
  bool Init(int size, float planeHeight, IDirect3D9* d3d, IDirect3DDevice9* device);
  void SetPlaneHeight(float height);
  // Renders into the target with the mirrored view and clockwise culling (the
  // mirror flips the winding). `reflectedViewOut` gets the mirrored view.
  bool Begin(IDirect3DDevice9* device, const D3DXMATRIX* view, D3DXMATRIX* reflectedViewOut = nullptr);
  const D3DXMATRIX& GetReflectedView() const { return reflectedView; }
  // Keeps y >= height; for effects (clip space of the mirrored view).
  bool SetClipPlaneProjected(float height, const D3DXMATRIX& projection, IDirect3DDevice9* device);
  // Keeps y >= height; for fixed function (world space).
  bool SetClipPlaneWorld(float height, IDirect3DDevice9* device);
  // Puts back render target, depth surface, view and cull mode as Begin found them.
  bool End(IDirect3DDevice9* device);

  bool OnLostDevice(IDirect3DDevice9* device);
  bool OnResetDevice(IDirect3DDevice9* device);
  void FillSettings(cEngineSettings& settings) const;

  float GetPlaneHeight() const { return planeHeight; }
  const D3DXMATRIX& GetMirror() const { return mirror; }
  const D3DXPLANE& GetMirrorPlane() const { return mirrorPlane; }

 private:
  D3DXPLANE mirrorPlane{};
  D3DXMATRIX reflectedView;
  D3DXMATRIX mirror;
  D3DXMATRIX savedView;
  DWORD savedCullMode = D3DCULL_CCW;
  float planeHeight = 0.0f;
};
