#include "scene/cReflectionTarget.h"

#include "settings/cEngineSettings.h"

cReflectionTarget::cReflectionTarget() {
  D3DXMatrixIdentity(&reflectedView);
  D3DXMatrixIdentity(&savedView);
  SetPlaneHeight(0.0f);
}

bool cReflectionTarget::Init(int requestedSize, float height, IDirect3D9* d3d, IDirect3DDevice9* device) {
  if (!CreateTarget(requestedSize, d3d, device)) return false;
  SetPlaneHeight(height);
  return true;
}

void cReflectionTarget::SetPlaneHeight(float height) {
  planeHeight = height;
  const D3DXVECTOR3 a(-1.0f, height, 1.0f);
  const D3DXVECTOR3 b(1.0f, height, 1.0f);
  const D3DXVECTOR3 c(-1.0f, height, -1.0f);
  D3DXPlaneFromPoints(&mirrorPlane, &a, &b, &c);
  D3DXMatrixReflect(&mirror, &mirrorPlane);
}

bool cReflectionTarget::Begin(IDirect3DDevice9* device, const D3DXMATRIX* view, D3DXMATRIX* reflectedViewOut) {
  // What is saved is only taken over once the target is ours: a refused Begin
  // (one already running) must not overwrite it.
  D3DXMATRIX currentView;
  DWORD currentCull = 0;
  if (device == nullptr || view == nullptr || FAILED(device->GetTransform(D3DTS_VIEW, &currentView)) ||
      FAILED(device->GetRenderState(D3DRS_CULLMODE, &currentCull)) || !BeginTarget(device)) {
    return false;
  }
  savedView = currentView;
  savedCullMode = currentCull;
  D3DXMatrixMultiply(&reflectedView, &mirror, view);
  if (reflectedViewOut) *reflectedViewOut = reflectedView;
  if (FAILED(device->SetTransform(D3DTS_VIEW, &reflectedView))) {
    EndTarget(device);
    return false;
  }
  if (FAILED(device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW))) {
    device->SetTransform(D3DTS_VIEW, &savedView);
    EndTarget(device);
    return false;
  }
  return true;
}

bool cReflectionTarget::SetClipPlaneProjected(float height, const D3DXMATRIX& projection, IDirect3DDevice9* device) {
  SetClipHeight(height);
  D3DXMATRIX worldToClip;
  D3DXMatrixMultiply(&worldToClip, &reflectedView, &projection);
  return ApplyProjectedClipPlane(D3DXPLANE(0.0f, 1.0f, 0.0f, -height), worldToClip, device);
}

bool cReflectionTarget::SetClipPlaneWorld(float height, IDirect3DDevice9* device) {
  SetClipHeight(height);
  return ApplyClipPlane(D3DXPLANE(0.0f, 1.0f, 0.0f, -height), device);
}

// The view and cull mode are put back even when the target could not be: the
// rest of the frame must not draw mirrored.
bool cReflectionTarget::End(IDirect3DDevice9* device) {
  if (device == nullptr || !IsBegun()) return false;
  const bool target = EndTarget(device);
  const bool view = SUCCEEDED(device->SetTransform(D3DTS_VIEW, &savedView));
  const bool cull = SUCCEEDED(device->SetRenderState(D3DRS_CULLMODE, savedCullMode));
  return target && view && cull;
}

bool cReflectionTarget::OnLostDevice(IDirect3DDevice9*) {
  ReleaseSurfaces();
  return true;
}

bool cReflectionTarget::OnResetDevice(IDirect3DDevice9* device) { return RecreateSurfaces(device); }

void cReflectionTarget::FillSettings(cEngineSettings& settings) const {
  settings.reflectionResolution = GetSize();
  settings.reflectionPlaneHeight = planeHeight;
  settings.reflectionClipPlaneHeight = GetClipHeight();
}
