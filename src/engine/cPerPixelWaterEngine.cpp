#include "engine/cPerPixelWaterEngine.h"

cEngineSettings* cPerPixelWaterEngine::FillSettings(cEngineSettings* settings) {
  if (!cShaderWaterEngine::FillSettings(settings)) return settings;
  settings->enableSunlight = sunlightOn_;
  settings->sunlightColorR = sunlightColor_.x;
  settings->sunlightColorG = sunlightColor_.y;
  settings->sunlightColorB = sunlightColor_.z;
  settings->sunlightArea = sunlightArea_;
  settings->sunlightPower = sunlightPower_;
  settings->sunlightPositionX = sunlightPosition_.x;
  settings->sunlightPositionY = sunlightPosition_.y;
  settings->sunlightPositionZ = sunlightPosition_.z;
  settings->enableDepthEffects = depthOn_;
  settings->shoreTransparency = shoreTransparency_;
  settings->shoreFoamScale = shoreFoamScale_;
  return settings;
}

void cPerPixelWaterEngine::SetSunlight(D3DCOLOR color, float area, float power, const D3DXVECTOR3& position) {
  sunlightOn_ = true;
  sunlightColor_ = D3DXVECTOR3(ColorChannel(color, 16), ColorChannel(color, 8), ColorChannel(color, 0));
  sunlightArea_ = area;
  sunlightPower_ = power;
  sunlightPosition_ = position;
}

void cPerPixelWaterEngine::SetDepth(IDirect3DTexture9* depthTexture, float shoreTransparency, float shoreFoamScale) {
  if (!depthTexture) {
    depthOn_ = false;
    return;
  }
  depthOn_ = true;
  depthTexture_ = depthTexture;
  shoreTransparency_ = shoreTransparency;
  shoreFoamScale_ = shoreFoamScale;
}

HRESULT cPerPixelWaterEngine::SetSunlightParameters() {
  HRESULT hr = effect_->SetFloat("sunlightStrength", sunlightPower_);
  if (SUCCEEDED(hr)) hr = effect_->SetFloat("sunlightArea", sunlightArea_);
  if (SUCCEEDED(hr)) hr = effect_->SetFloatArray("sunlightPos", sunlightPosition_, 3);
  if (SUCCEEDED(hr)) hr = effect_->SetFloatArray("sunlightColor", sunlightColor_, 3);
  return hr;
}

HRESULT cPerPixelWaterEngine::SetDepthParameters() {
  HRESULT hr = effect_->SetTexture("depthTexture", depthTexture_);
  if (SUCCEEDED(hr)) hr = effect_->SetFloat("shoreTransparency", shoreTransparency_);
  if (SUCCEEDED(hr)) hr = effect_->SetFloat("shoreFoamScale", shoreFoamScale_);
  return hr;
}
