#include "scene/cRefractionTarget.h"

#include <cmath>

#include "base/SafeRelease.h"
#include "settings/cEngineSettings.h"

namespace {

// Keeps "depthLimit" finite for a depth range of 0 (the menu lets it through).
constexpr float MinDepthRange = 1e-3f;

// A range nearer 0 than the smallest keeps its sign; a NaN takes the smallest.
float DepthLimit(float range) {
  if (!(std::fabs(range) >= MinDepthRange)) range = std::signbit(range) ? -MinDepthRange : MinDepthRange;
  return 1.0f / range;
}

}  // namespace

cRefractionTarget::~cRefractionTarget() { ReleaseEffect(); }

bool cRefractionTarget::Init(int requestedSize, IDirect3D9* d3d, IDirect3DDevice9* device) {
  return CreateTarget(requestedSize, d3d, device);
}

bool cRefractionTarget::Begin(IDirect3DDevice9* device) { return BeginTarget(device); }

bool cRefractionTarget::End(IDirect3DDevice9* device) { return EndTarget(device); }

bool cRefractionTarget::SetClipPlaneProjected(float height, const D3DXMATRIX& view, const D3DXMATRIX& projection,
                                              IDirect3DDevice9* device) {
  SetClipHeight(height);
  D3DXMATRIX worldToClip;
  D3DXMatrixMultiply(&worldToClip, &view, &projection);
  return ApplyProjectedClipPlane(D3DXPLANE(0.0f, -1.0f, 0.0f, height), worldToClip, device);
}

bool cRefractionTarget::SetClipPlaneWorld(float height, IDirect3DDevice9* device) {
  SetClipHeight(height);
  return ApplyClipPlane(D3DXPLANE(0.0f, -1.0f, 0.0f, height), device);
}

bool cRefractionTarget::BeginDepth(const D3DXMATRIX& world, const D3DXMATRIX& projection, const D3DXMATRIX& view,
                                   float planeHeight, float range, IDirect3DDevice9* device) {
  depthPlaneHeight = planeHeight;
  depthRange = range;
  if (depthBegun || !LoadDepthEffect(device)) return false;
  return StartDepthEffect(world, projection, view);
}

bool cRefractionTarget::LoadDepthEffect(IDirect3DDevice9* device) {
  if (depthEffect) return true;
  if (device == nullptr || depthEffectFailed) return false;
  D3DCAPS9 caps{};
  depthEffectFailed = FAILED(device->GetDeviceCaps(&caps)) || caps.VertexShaderVersion < D3DVS_VERSION(1, 1) ||
                      caps.PixelShaderVersion < D3DPS_VERSION(1, 4) ||
                      FAILED(D3DXCreateEffectFromFileA(device, "shaders/depthRendering.fx", nullptr, nullptr, 0,
                                                       nullptr, &depthEffect, nullptr));
  if (depthEffectFailed) depthEffect = nullptr;
  return !depthEffectFailed;
}

bool cRefractionTarget::StartDepthEffect(const D3DXMATRIX& world, const D3DXMATRIX& projection,
                                         const D3DXMATRIX& view) {
  D3DXMATRIX worldView;
  D3DXMATRIX worldViewProjection;
  D3DXMatrixMultiply(&worldView, &world, &view);
  D3DXMatrixMultiply(&worldViewProjection, &worldView, &projection);
  UINT passes = 0;
  if (FAILED(depthEffect->SetMatrix("matWorldViewProject", &worldViewProjection)) ||
      FAILED(depthEffect->SetMatrix("matWorld", &world)) ||
      FAILED(depthEffect->SetFloat("planeYPos", depthPlaneHeight)) ||
      FAILED(depthEffect->SetFloat("depthLimit", DepthLimit(depthRange))) ||
      FAILED(depthEffect->SetTechnique("renderDepth")) || FAILED(depthEffect->Begin(&passes, 0))) {
    return false;
  }
  if (FAILED(depthEffect->BeginPass(0))) {
    depthEffect->End();
    return false;
  }
  depthBegun = true;
  return true;
}

bool cRefractionTarget::EndDepth() {
  if (depthEffect == nullptr || !depthBegun) return false;
  depthBegun = false;
  const bool pass = SUCCEEDED(depthEffect->EndPass());
  const bool effect = SUCCEEDED(depthEffect->End());
  return pass && effect;
}

bool cRefractionTarget::OnLostDevice(IDirect3DDevice9*) {
  ReleaseSurfaces();
  if (depthEffect) depthEffect->OnLostDevice();
  return true;
}

bool cRefractionTarget::OnResetDevice(IDirect3DDevice9* device) {
  const bool surfaces = RecreateSurfaces(device);
  if (depthEffect) depthEffect->OnResetDevice();
  depthEffectFailed = false;
  return surfaces;
}

void cRefractionTarget::FillSettings(cEngineSettings& settings) const {
  if (role == Role::Refraction) {
    settings.refractionResolution = GetSize();
    settings.refractionClipPlaneHeight = GetClipHeight();
  } else {
    settings.depthTextureResolution = GetSize();
    settings.depthPlaneHeight = depthPlaneHeight;
    settings.depthClipPlaneHeight = GetClipHeight();
    settings.depthLimit = depthRange;
  }
}

void cRefractionTarget::Release() {
  cPassTarget::Release();
  ReleaseEffect();
}

void cRefractionTarget::ReleaseEffect() {
  if (depthBegun) EndDepth();
  SafeRelease(depthEffect);
  depthEffectFailed = false;
}
