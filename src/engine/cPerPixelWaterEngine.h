// The shader model 2 and 3 engines: the normal map sampled per pixel, with sun
// glint and shore (depth) effects on top of foam.
#pragma once

#include "engine/cShaderWaterEngine.h"

class cPerPixelWaterEngine : public cShaderWaterEngine {
 public:
  // The common values, foam, sunlight and depth; GPU extrusion off.
  cEngineSettings* FillSettings(cEngineSettings* settings) override;

  // The normal map's texture, passed before every render.
  void SetNormalmapTexture(IDirect3DTexture9* texture) { normalmapTexture_ = texture; }
  // Sunlight on; the colour's bits 16-23, 8-15 and 0-7 as r, g, b in [0, 1].
  void SetSunlight(D3DCOLOR color, float area, float power, const D3DXVECTOR3& position);
  void DisableSunlight() { sunlightOn_ = false; }
  // A null texture switches depth effects off and keeps the values.
  void SetDepth(IDirect3DTexture9* depthTexture, float shoreTransparency, float shoreFoamScale);
  void DisableDepth() { depthOn_ = false; }

 protected:
  using cShaderWaterEngine::cShaderWaterEngine;

  // "sunlightStrength", "sunlightArea", "sunlightPos", "sunlightColor".
  HRESULT SetSunlightParameters();
  // "depthTexture", "shoreTransparency", "shoreFoamScale".
  HRESULT SetDepthParameters();

  IDirect3DTexture9* normalmapTexture_ = nullptr;

  bool sunlightOn_ = false;
  D3DXVECTOR3 sunlightColor_{0.0f, 0.0f, 0.0f};
  float sunlightArea_ = 0.0f;
  float sunlightPower_ = 0.0f;
  D3DXVECTOR3 sunlightPosition_{0.0f, 0.0f, 0.0f};

  bool depthOn_ = false;
  IDirect3DTexture9* depthTexture_ = nullptr;
  float shoreTransparency_ = 1.0f;
  float shoreFoamScale_ = 1.0f;
};
