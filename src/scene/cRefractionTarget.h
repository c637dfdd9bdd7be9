// The refraction pass (what lies below a clip height, seen normally) and, as a
// second instance in the depth role, the depth pass written by
// "shaders/depthRendering.fx".
#pragma once

#include "platform/d3dx9.h"
#include "scene/cPassTarget.h"

struct cEngineSettings;

class cRefractionTarget : public cPassTarget {
 public:
  enum class Role { Refraction, Depth };
  explicit cRefractionTarget(Role role = Role::Refraction) : role(role) {}
  ~cRefractionTarget() override;

  // Size rule as the reflection target.
  bool Init(int size, IDirect3D9* d3d, IDirect3DDevice9* device);
  // Renders into the target; no view, cull or clear change.
  bool Begin(IDirect3DDevice9* device);
  bool End(IDirect3DDevice9* device);
  // Keeps y <= height; for effects (clip space of view x projection).
  bool SetClipPlaneProjected(float height, const D3DXMATRIX& view, const D3DXMATRIX& projection,
                             IDirect3DDevice9* device);
  // Keeps y <= height; for fixed function (world space).
  bool SetClipPlaneWorld(float height, IDirect3DDevice9* device);

  // Begins the depth effect for drawing: every channel gets
  // saturate(1 - (planeHeight - y) / depthRange) of the world height y. Needs
  // vertex shaders 1.1 and pixel shaders 1.4. On failure nothing stays begun.
  bool BeginDepth(const D3DXMATRIX& world, const D3DXMATRIX& projection, const D3DXMATRIX& view, float planeHeight,
                  float depthRange, IDirect3DDevice9* device);
  // False without touching anything unless BeginDepth succeeded.
  bool EndDepth();

  bool OnLostDevice(IDirect3DDevice9* device);
  bool OnResetDevice(IDirect3DDevice9* device);
  // The refraction role writes the refraction fields, the depth role the depth fields.
  void FillSettings(cEngineSettings& settings) const;
  void Release() override;

  Role GetRole() const { return role; }
  ID3DXEffect* GetDepthEffect() const { return depthEffect; }
  float GetDepthPlaneHeight() const { return depthPlaneHeight; }
  float GetDepthRange() const { return depthRange; }

 private:
  bool LoadDepthEffect(IDirect3DDevice9* device);
  void ReleaseEffect();
  bool StartDepthEffect(const D3DXMATRIX& world, const D3DXMATRIX& projection, const D3DXMATRIX& view);

  Role role;
  ID3DXEffect* depthEffect = nullptr;
  bool depthEffectFailed = false;  // until the next reset: no reload every frame
  bool depthBegun = false;
  float depthPlaneHeight = 0.0f;
  float depthRange = 50.0f;
};
