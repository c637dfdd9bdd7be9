// What the three shader engines share: an effect file and the Fresnel lookup
// they own, the common effect parameters, foam, and one pass drawn between
// Begin and End that always ends the effect, also when the draw fails.
#pragma once

#include "engine/iWaterEngine.h"

// The Fresnel lookup every shader engine loads.
constexpr const char* FRESNEL_TEXTURE_PATH = "shaders/precomputedFresnel3.bmp";

class cShaderWaterEngine : public iWaterEngine {
 public:
  ~cShaderWaterEngine() override;

  bool OnLostDevice(IDirect3DDevice9* device) override;
  bool OnResetDevice(IDirect3DDevice9* device) override;
  bool OnDeviceEvent(IDirect3DDevice9*) override { return true; }
  bool Init(IDirect3D9* d3d, IDirect3DDevice9* device, float reflectionStrength, float fullReflectionDistance,
            float globalTransparency) override;
  // The common values and foam; sunlight, depth and GPU extrusion off.
  cEngineSettings* FillSettings(cEngineSettings* settings) override;

  // Either texture null: foam off, the stored values kept. Otherwise foam on,
  // the start height clamped to [0, 1], a negative scale taken as 0, the
  // distance stored squared.
  void SetFoam(IDirect3DTexture9* foamTexture, IDirect3DTexture9* heightmapTexture, float startHeight, float scale,
               float tiling, float distortion, float translation, float maxDistance);
  void DisableFoam() { foamOn_ = false; }

  ID3DXEffect* GetEffect() const { return effect_; }
  IDirect3DTexture9* GetFresnelTexture() const { return fresnelTexture_; }

 protected:
  explicit cShaderWaterEngine(const wchar_t* effectPath);

  // Both interfaces given and the device's shader versions at least these.
  static bool HasShaderVersions(IDirect3D9* d3d, IDirect3DDevice9* device, DWORD vertexShader, DWORD pixelShader,
                                D3DCAPS9* caps);
  // Init's test of the components it is given; the shader model 1 engine needs CPU normals.
  virtual bool AcceptsComponents() const { return true; }

  // The foam group: "foamTexture", "heightmapTexture" when asked, then the six values.
  HRESULT SetFoamParameters(bool withHeightmapTexture);
  // The reflection and refraction textures present decide the variant:
  // both, reflection only (noRefraction) or no reflection (noReflection).
  enum class Variant { Default, NoRefraction, NoReflection };
  Variant CurrentVariant() const;
  // Sets the textures (or the diffuse colour) the variant samples.
  HRESULT SetVariantParameters(Variant variant);
  // Begin, BeginPass(0), `draw`, EndPass and End, ending whatever began even
  // when a later step fails; then stage 1 and 0 textures back to null.
  template <typename Draw>
  bool DrawPass(IDirect3DDevice9* device, Draw draw);

  ID3DXEffect* effect_ = nullptr;
  IDirect3DTexture9* fresnelTexture_ = nullptr;
  IDirect3DTexture9* heightmapTexture_ = nullptr;

  bool foamOn_ = false;
  IDirect3DTexture9* foamTexture_ = nullptr;
  float foamStartHeight_ = 0.5f;
  float foamScale_ = 2.0f;
  float foamTiling_ = 10.0f;
  float foamDistortion_ = 0.6f;
  float foamTranslation_ = 0.0f;
  float maxFoamDistanceSquared_ = 1.0f;

 private:
  bool BeginEffectPass(bool* begun);
  bool EndEffectPass(bool begun);
  const wchar_t* effectPath_;
};

template <typename Draw>
bool cShaderWaterEngine::DrawPass(IDirect3DDevice9* device, Draw draw) {
  bool begun = false;
  const bool drawn = BeginEffectPass(&begun) && draw();
  const bool ended = EndEffectPass(begun);
  const bool reset = SUCCEEDED(device->SetTexture(1, nullptr)) && SUCCEEDED(device->SetTexture(0, nullptr));
  return drawn && ended && reset;
}
