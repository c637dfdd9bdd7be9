// A water renderer: draws the water geometry with one shading method, blending
// the reflection and refraction images the scene rendered this frame. The
// normal map, geometry and pass textures are borrowed: the editor re-sets them
// whenever it rebuilds a component and an engine never frees them.
#pragma once

#include "settings/cEngineSettings.h"
#include "platform/d3dx9.h"

class iNormalmap;
class iWaterGeometry;

// x * x, or the largest float where that square would overflow (or x is NaN):
// a distance typed huge must not be stored (and saved) as infinity.
float SquareWithinFloat(float x);
// The byte of `color` at bit `shift` (16 red, 8 green, 0 blue, 24 alpha) in [0, 1].
float ColorChannel(D3DCOLOR color, int shift);

// Reflection diffuse colour of a new engine.
constexpr D3DCOLOR DEFAULT_REFLECTION_COLOR = 0x00294B3E;

class iWaterEngine {
 public:
  iWaterEngine();
  iWaterEngine(const iWaterEngine&) = delete;
  iWaterEngine& operator=(const iWaterEngine&) = delete;
  // Shader engines release their own effect and Fresnel texture.
  virtual ~iWaterEngine() = default;

  // Shader engines forward these to their effect; all return true.
  virtual bool OnLostDevice(IDirect3DDevice9* device) = 0;
  virtual bool OnResetDevice(IDirect3DDevice9* device) = 0;
  virtual bool OnDeviceEvent(IDirect3DDevice9* device) = 0;

  // Whether the hardware can run this engine.
  virtual bool CheckCaps(IDirect3D9* d3d, IDirect3DDevice9* device) = 0;
  // Loads what the engine needs and takes the three common values. Clears the
  // initialised flag first, so a failed re-initialisation never leaves it set.
  virtual bool Init(IDirect3D9* d3d, IDirect3DDevice9* device, float reflectionStrength, float fullReflectionDistance,
                    float globalTransparency) = 0;
  // Draws the water once. `eye` is the camera position in world space.
  virtual bool Render(IDirect3DDevice9* device, const D3DXMATRIX* view, const D3DXMATRIX* projection,
                      const D3DXVECTOR3* eye) = 0;
  // An EngineTypeId.
  virtual int GetTypeId() const = 0;
  // The common values and the engine's own; options it lacks are written as
  // off. The refraction fill colour is not written: the editor holds it.
  virtual cEngineSettings* FillSettings(cEngineSettings* settings) = 0;

  void SetNormalmap(iNormalmap* normalmap) { normalmap_ = normalmap; }
  void SetGeometry(iWaterGeometry* geometry) { geometry_ = geometry; }
  // Null when the pass is switched off this frame.
  void SetReflectionTexture(IDirect3DTexture9* texture) { reflectionTexture_ = texture; }
  void SetRefractionTexture(IDirect3DTexture9* texture) { refractionTexture_ = texture; }

  void SetReflectionStrength(float strength) { reflectionStrength_ = strength; }
  // Stored squared; a square beyond the float range becomes the largest float.
  void SetFullReflectionDistance(float distance);
  // Clamped to [0, 1].
  void SetGlobalTransparency(float transparency);
  // Bits 16-23, 8-15, 0-7 and 24-31 as r, g, b and a in [0, 1].
  void SetReflectionColor(D3DCOLOR color);

  // The colour the refraction pass is cleared to, each channel in [0, 1].
  void SetRefractionColor(float r, float g, float b);
  const D3DXVECTOR3& GetRefractionColor() const { return refractionColor_; }

  bool IsInitialised() const { return initialised_; }

  // Maps clip space to projective texture space (v downwards).
  const D3DXMATRIX& GetRemapMatrix() const { return remapMatrix_; }
  const D3DXVECTOR4& GetReflectionColor() const { return reflectionColor_; }
  float GetReflectionStrength() const { return reflectionStrength_; }
  float GetFullReflectionDistanceSquared() const { return fullReflectionDistanceSquared_; }
  float GetGlobalTransparency() const { return globalTransparency_; }

 protected:
  // Writes the type id, the two pass switches and the common values, and marks
  // foam, sunlight, depth and GPU extrusion off for the engine to override.
  void FillCommonSettings(cEngineSettings* settings) const;
  // The last step of every successful Init.
  void TakeCommonValues(float reflectionStrength, float fullReflectionDistance, float globalTransparency);

  bool initialised_ = false;
  iNormalmap* normalmap_ = nullptr;
  iWaterGeometry* geometry_ = nullptr;
  IDirect3DTexture9* reflectionTexture_ = nullptr;
  IDirect3DTexture9* refractionTexture_ = nullptr;
  D3DXMATRIX remapMatrix_;
  float reflectionStrength_ = 0.1f;
  float fullReflectionDistanceSquared_ = 1.0f;
  float globalTransparency_ = 0.1f;
  D3DXVECTOR4 reflectionColor_;
  D3DXVECTOR3 refractionColor_{0.0f, 0.0f, 0.0f};
};
