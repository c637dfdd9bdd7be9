#include "normalmap/cNormalmapFDTex.h"

#include <cstring>

#include "base/SafeRelease.h"
#include "settings/TypeIds.h"
#include "base/TextureFormatSupport.h"

namespace {

constexpr const char* kEffectFile = "shaders/cNormalmapFDTex.fx";
// Texture coordinates only; the vertex shader places the strip over the whole target.
constexpr float kQuad[8] = {0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f};
constexpr UINT kQuadStride = 2 * sizeof(float);

}  // namespace

cNormalmapFDTex::~cNormalmapFDTex() {
  SafeRelease(renderTarget_);
  SafeRelease(effect_);
  SafeRelease(quad_);
}

bool cNormalmapFDTex::IsSupported(IDirect3D9* d3d, IDirect3DDevice9* device) {
  D3DCAPS9 caps;
  if (!device || FAILED(device->GetDeviceCaps(&caps))) return false;
  if (caps.VertexShaderVersion < D3DVS_VERSION(1, 1) || caps.PixelShaderVersion < D3DPS_VERSION(2, 0)) return false;
  return SupportsTextureFormat(d3d, device, D3DUSAGE_RENDERTARGET | D3DUSAGE_AUTOGENMIPMAP, D3DFMT_A8R8G8B8);
}

bool cNormalmapFDTex::Initialize(IDirect3DTexture9* heightmapTexture, IDirect3D9* d3d, IDirect3DDevice9* device) {
  if (!heightmapTexture || !d3d || !device) return false;
  heightmapTexture_ = heightmapTexture;
  if (!IsSupported(d3d, device) || !CreateRenderTarget(device) || !CreateEffect(device) || !CreateQuad(device)) {
    return false;
  }
  D3DSURFACE_DESC desc;
  if (FAILED(heightmapTexture_->GetLevelDesc(0, &desc))) return false;
  size_ = static_cast<int>(desc.Width);
  return true;
}

// Same size as the heightmap texture, with a mip chain the device regenerates.
bool cNormalmapFDTex::CreateRenderTarget(IDirect3DDevice9* device) {
  SafeRelease(renderTarget_);
  D3DSURFACE_DESC desc;
  if (FAILED(heightmapTexture_->GetLevelDesc(0, &desc)) ||
      FAILED(D3DXCreateTexture(device, desc.Width, desc.Height, 0, D3DUSAGE_RENDERTARGET | D3DUSAGE_AUTOGENMIPMAP,
                               D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &renderTarget_))) {
    renderTarget_ = nullptr;
    return false;
  }
  return true;
}

bool cNormalmapFDTex::CreateEffect(IDirect3DDevice9* device) {
  SafeRelease(effect_);
  if (FAILED(D3DXCreateEffectFromFileA(device, kEffectFile, NULL, NULL, 0, NULL, &effect_, NULL))) {
    effect_ = nullptr;
    return false;
  }
  return true;
}

bool cNormalmapFDTex::CreateQuad(IDirect3DDevice9* device) {
  SafeRelease(quad_);
  if (FAILED(device->CreateVertexBuffer(sizeof kQuad, 0, D3DFVF_TEX1, D3DPOOL_MANAGED, &quad_, NULL))) {
    quad_ = nullptr;
    return false;
  }
  void* vertices = nullptr;
  if (FAILED(quad_->Lock(0, sizeof kQuad, &vertices, 0))) return false;
  std::memcpy(vertices, kQuad, sizeof kQuad);
  return SUCCEEDED(quad_->Unlock());
}

// Draws into level 0 of the render target and puts the previous targets back,
// whether or not the draw worked.
bool cNormalmapFDTex::WriteTexture(IDirect3D9*, IDirect3DDevice9* device) {
  if (!device || !renderTarget_ || !effect_ || !quad_ || !heightmapTexture_) return false;
  IDirect3DSurface9* target = nullptr;
  if (FAILED(renderTarget_->GetSurfaceLevel(0, &target))) return false;
  IDirect3DSurface9* previous = nullptr;
  bool drawn = false;
  if (SUCCEEDED(device->GetRenderTarget(0, &previous))) {
    drawn = DrawWithoutDepth(device, target);
    drawn = SUCCEEDED(device->SetRenderTarget(0, previous)) && drawn;
    previous->Release();
  }
  target->Release();
  return drawn;
}

// The normal map can be larger than the depth surface, which a target must
// never be; no depth is needed, so none is bound while drawing.
bool cNormalmapFDTex::DrawWithoutDepth(IDirect3DDevice9* device, IDirect3DSurface9* target) {
  IDirect3DSurface9* depth = nullptr;
  const HRESULT found = device->GetDepthStencilSurface(&depth);
  if (FAILED(found) && found != D3DERR_NOTFOUND) return false;
  bool drawn = SUCCEEDED(device->SetRenderTarget(0, target)) && SUCCEEDED(device->SetDepthStencilSurface(NULL)) &&
               DrawQuad(device);
  drawn = SUCCEEDED(device->SetDepthStencilSurface(depth)) && drawn;
  if (depth) depth->Release();
  return drawn;
}

bool cNormalmapFDTex::DrawQuad(IDirect3DDevice9* device) {
  D3DSURFACE_DESC desc;
  if (FAILED(heightmapTexture_->GetLevelDesc(0, &desc))) return false;
  const float texel = 1.0f / static_cast<float>(desc.Width);
  const float upOffset[2] = {0.0f, texel};
  const float rightOffset[2] = {texel, 0.0f};
  UINT passes = 0;
  if (FAILED(effect_->SetFloat("amplitude", amplitude_)) || FAILED(effect_->SetFloatArray("upOffset", upOffset, 2)) ||
      FAILED(effect_->SetFloatArray("rightOffset", rightOffset, 2)) ||
      FAILED(effect_->SetTexture("defaultTexture", heightmapTexture_)) || FAILED(device->SetFVF(D3DFVF_TEX1)) ||
      FAILED(device->SetStreamSource(0, quad_, 0, kQuadStride)) ||
      FAILED(effect_->SetTechnique(method_ == 1 ? "centeredDifference" : "forwardDifference")) ||
      FAILED(effect_->Begin(&passes, 0))) {
    return false;
  }
  bool drawn = false;
  if (SUCCEEDED(effect_->BeginPass(0))) {
    drawn = SUCCEEDED(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2));
    drawn = SUCCEEDED(effect_->EndPass()) && drawn;
  }
  return SUCCEEDED(effect_->End()) && drawn;
}

bool cNormalmapFDTex::OnLostDevice(IDirect3DDevice9* device) {
  if (!device) return false;
  SafeRelease(renderTarget_);
  return !effect_ || SUCCEEDED(effect_->OnLostDevice());
}

bool cNormalmapFDTex::OnResetDevice(IDirect3DDevice9* device) {
  if (!device) return false;
  if (heightmapTexture_ && !renderTarget_ && !CreateRenderTarget(device)) return false;
  return !effect_ || SUCCEEDED(effect_->OnResetDevice());
}

int cNormalmapFDTex::GetTypeId() const { return NORMALMAP_FD_TEX; }

cEngineSettings* cNormalmapFDTex::FillSettings(cEngineSettings* settings) {
  if (!settings) return nullptr;
  settings->normalmapType = NORMALMAP_FD_TEX;
  settings->fdNormalmapAmplitude = amplitude_;
  settings->fdNormalmapMethod = method_;
  return settings;
}
