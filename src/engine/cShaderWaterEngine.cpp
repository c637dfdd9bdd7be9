#include "engine/cShaderWaterEngine.h"

#include <cmath>

#include "base/SafeRelease.h"

cShaderWaterEngine::cShaderWaterEngine(const wchar_t* effectPath) : effectPath_(effectPath) {}

cShaderWaterEngine::~cShaderWaterEngine() {
  SafeRelease(effect_);
  SafeRelease(fresnelTexture_);
}

bool cShaderWaterEngine::OnLostDevice(IDirect3DDevice9*) {
  if (effect_) effect_->OnLostDevice();
  return true;
}

bool cShaderWaterEngine::OnResetDevice(IDirect3DDevice9*) {
  if (effect_) effect_->OnResetDevice();
  return true;
}

bool cShaderWaterEngine::HasShaderVersions(IDirect3D9* d3d, IDirect3DDevice9* device, DWORD vertexShader,
                                           DWORD pixelShader, D3DCAPS9* caps) {
  if (!d3d || !device || FAILED(device->GetDeviceCaps(caps))) return false;
  return caps->VertexShaderVersion >= vertexShader && caps->PixelShaderVersion >= pixelShader;
}

bool cShaderWaterEngine::Init(IDirect3D9* d3d, IDirect3DDevice9* device, float reflectionStrength,
                              float fullReflectionDistance, float globalTransparency) {
  initialised_ = false;
  if (!d3d || !device || !CheckCaps(d3d, device) || !AcceptsComponents()) return false;
  SafeRelease(effect_);
  if (FAILED(D3DXCreateEffectFromFileW(device, effectPath_, nullptr, nullptr, 0, nullptr, &effect_, nullptr)))
    return false;
  SafeRelease(fresnelTexture_);
  if (FAILED(D3DXCreateTextureFromFileExA(device, FRESNEL_TEXTURE_PATH, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                          D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr,
                                          nullptr, &fresnelTexture_)))
    return false;
  TakeCommonValues(reflectionStrength, fullReflectionDistance, globalTransparency);
  return true;
}

cEngineSettings* cShaderWaterEngine::FillSettings(cEngineSettings* settings) {
  if (!settings) return settings;
  FillCommonSettings(settings);
  settings->enableFoam = foamOn_;
  settings->foamStartHeight = foamStartHeight_;
  settings->foamScale = foamScale_;
  settings->foamTiling = foamTiling_;
  settings->foamDistortion = foamDistortion_;
  settings->foamTranslation = foamTranslation_;
  settings->maxFoamDistance = std::sqrt(maxFoamDistanceSquared_);
  return settings;
}

void cShaderWaterEngine::SetFoam(IDirect3DTexture9* foamTexture, IDirect3DTexture9* heightmapTexture,
                                 float startHeight, float scale, float tiling, float distortion, float translation,
                                 float maxDistance) {
  if (!foamTexture || !heightmapTexture) {
    foamOn_ = false;
    return;
  }
  foamOn_ = true;
  foamTexture_ = foamTexture;
  heightmapTexture_ = heightmapTexture;
  foamStartHeight_ = startHeight > 0.0f ? (startHeight < 1.0f ? startHeight : 1.0f) : 0.0f;
  foamScale_ = scale > 0.0f ? scale : 0.0f;
  foamTiling_ = tiling;
  foamDistortion_ = distortion;
  foamTranslation_ = translation;
  maxFoamDistanceSquared_ = SquareWithinFloat(maxDistance);
}

HRESULT cShaderWaterEngine::SetFoamParameters(bool withHeightmapTexture) {
  HRESULT hr = effect_->SetTexture("foamTexture", foamTexture_);
  if (SUCCEEDED(hr) && withHeightmapTexture) hr = effect_->SetTexture("heightmapTexture", heightmapTexture_);
  if (SUCCEEDED(hr)) hr = effect_->SetFloat("foamStartHeight", foamStartHeight_);
  if (SUCCEEDED(hr)) hr = effect_->SetFloat("foamScale", foamScale_);
  if (SUCCEEDED(hr)) hr = effect_->SetFloat("foamTiling", foamTiling_);
  if (SUCCEEDED(hr)) hr = effect_->SetFloat("foamDistortion", foamDistortion_);
  if (SUCCEEDED(hr)) hr = effect_->SetFloat("foamTranslation", foamTranslation_);
  if (SUCCEEDED(hr)) hr = effect_->SetFloat("maxFoamDistance", maxFoamDistanceSquared_);
  return hr;
}

cShaderWaterEngine::Variant cShaderWaterEngine::CurrentVariant() const {
  if (!reflectionTexture_) return Variant::NoReflection;
  return refractionTexture_ ? Variant::Default : Variant::NoRefraction;
}

HRESULT cShaderWaterEngine::SetVariantParameters(Variant variant) {
  if (variant == Variant::NoReflection) return effect_->SetFloatArray("reflectionDiffuseColor", reflectionColor_, 4);
  HRESULT hr = effect_->SetTexture("reflectionTexture", reflectionTexture_);
  if (SUCCEEDED(hr) && variant == Variant::Default) hr = effect_->SetTexture("refractionTexture", refractionTexture_);
  return hr;
}

bool cShaderWaterEngine::BeginEffectPass(bool* begun) {
  UINT passes = 0;
  if (FAILED(effect_->Begin(&passes, 0))) return false;
  *begun = true;
  if (SUCCEEDED(effect_->BeginPass(0))) return true;
  // The pass never began: only End is owed.
  effect_->End();
  *begun = false;
  return false;
}

bool cShaderWaterEngine::EndEffectPass(bool begun) {
  if (!begun) return false;
  const bool passEnded = SUCCEEDED(effect_->EndPass());
  return SUCCEEDED(effect_->End()) && passEnded;
}
