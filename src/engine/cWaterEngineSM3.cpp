#include "engine/cWaterEngineSM3.h"

#include "settings/TypeIds.h"
#include "base/IsBoxVisible.h"
#include "geometry/cRadialGrid.h"
#include "base/TextureFormatSupport.h"

namespace {

constexpr DWORD VS_3_0 = 0xFFFE0300;
constexpr DWORD PS_3_0 = 0xFFFF0300;

}  // namespace

cWaterEngineSM3::cWaterEngineSM3() : cPerPixelWaterEngine(L"shaders/sm3.fx") {}

int cWaterEngineSM3::GetTypeId() const { return ENGINE_SM3; }

bool cWaterEngineSM3::CheckCaps(IDirect3D9* d3d, IDirect3DDevice9* device) {
  D3DCAPS9 caps;
  if (!HasShaderVersions(d3d, device, VS_3_0, PS_3_0, &caps)) return false;
  return SupportsTextureFormat(d3d, device, D3DUSAGE_QUERY_VERTEXTEXTURE, D3DFMT_R32F) ||
         SupportsTextureFormat(d3d, device, D3DUSAGE_QUERY_VERTEXTEXTURE, D3DFMT_A32B32G32R32F);
}

cEngineSettings* cWaterEngineSM3::FillSettings(cEngineSettings* settings) {
  if (!cPerPixelWaterEngine::FillSettings(settings)) return settings;
  settings->enableGPUExtrusion = gpuExtrusionOn_;
  settings->gpuExtrusionStrength = gpuExtrusionStrength_;
  settings->gpuExtrusionUVScaleX = gpuUVScale_.x;
  settings->gpuExtrusionUVScaleY = gpuUVScale_.y;
  settings->gpuHeightFalloffDistance = gpuHeightFalloffDistance_;
  return settings;
}

void cWaterEngineSM3::SetGPUExtrusion(float strength, const D3DXVECTOR2& uvScale, float heightFalloffDistance) {
  gpuExtrusionOn_ = true;
  gpuExtrusionStrength_ = strength;
  gpuUVScale_ = uvScale;
  gpuHeightFalloffDistance_ = heightFalloffDistance;
}

bool cWaterEngineSM3::Render(IDirect3DDevice9* device, const D3DXMATRIX* view, const D3DXMATRIX* projection,
                             const D3DXVECTOR3* eye) {
  if (!device || !geometry_ || !normalmapTexture_ || !effect_ || !fresnelTexture_ || !heightmapTexture_ || !view ||
      !projection || !eye)
    return false;
  if ((depthOn_ && !depthTexture_) || (foamOn_ && !foamTexture_)) return false;
  if (geometry_->GetTypeId() != GEOMETRY_RADIAL) return false;
  const auto& grid = *static_cast<const cRadialGrid*>(geometry_);

  D3DXMATRIX world, viewProjection, worldViewProjection;
  D3DXMatrixTranslation(&world, eye->x, 0.0f, eye->z);
  D3DXMatrixMultiply(&viewProjection, view, projection);
  D3DXMatrixMultiply(&worldViewProjection, &world, &viewProjection);
  if (FAILED(SetParameters(grid, world, worldViewProjection, *eye)) || FAILED(SetTechnique())) return false;
  return DrawPass(device, [&] { return Draw(device, grid, viewProjection, *eye); });
}

bool cWaterEngineSM3::Draw(IDirect3DDevice9* device, const cRadialGrid& grid, const D3DXMATRIX& viewProjection,
                           const D3DXVECTOR3& eye) {
  const D3DXVECTOR3 shift(eye.x, 0.0f, eye.z);
  const D3DXVECTOR3 boxMax = grid.GetBoxMax() + shift;
  const D3DXVECTOR3 boxMin = grid.GetBoxMin() + shift;
  if (!IsBoxVisible(boxMax, boxMin, &viewProjection)) return true;
  return geometry_->Render(device, nullptr);
}

HRESULT cWaterEngineSM3::SetParameters(const cRadialGrid& grid, const D3DXMATRIX& world,
                                       const D3DXMATRIX& worldViewProjection, const D3DXVECTOR3& eye) {
  const D3DXVECTOR2 uvScale = grid.GetUVScale();
  HRESULT hr = effect_->SetTexture("precomputedFresnelTexture", fresnelTexture_);
  if (SUCCEEDED(hr)) hr = effect_->SetMatrix("matWorldViewProject", &worldViewProjection);
  if (SUCCEEDED(hr)) hr = effect_->SetMatrix("matWorld", &world);
  if (SUCCEEDED(hr)) hr = effect_->SetTexture("normalmapTexture", normalmapTexture_);
  if (SUCCEEDED(hr)) hr = effect_->SetTexture("heightmapTexture", heightmapTexture_);
  if (SUCCEEDED(hr)) hr = effect_->SetFloatArray("eyeVector", eye, 3);
  if (SUCCEEDED(hr)) hr = effect_->SetFloat("fudge", FUDGE);
  if (SUCCEEDED(hr)) hr = effect_->SetFloat("fullReflectionDistance", fullReflectionDistanceSquared_);
  if (SUCCEEDED(hr)) hr = effect_->SetFloat("reflectionStrength", reflectionStrength_);
  if (SUCCEEDED(hr)) hr = effect_->SetFloat("globalTransparency", globalTransparency_);
  if (SUCCEEDED(hr)) hr = effect_->SetFloatArray("gridCenterTranslation", eye, 3);
  if (SUCCEEDED(hr)) hr = effect_->SetFloat("gridRadius", grid.GetMaxRadius());
  if (SUCCEEDED(hr)) hr = effect_->SetFloatArray("currentUVScale", &uvScale.x, 2);
  return SUCCEEDED(hr) ? SetFeatureParameters() : hr;
}

HRESULT cWaterEngineSM3::SetFeatureParameters() {
  HRESULT hr = effect_->SetBool("enableFoam", foamOn_);
  if (SUCCEEDED(hr) && foamOn_) hr = SetFoamParameters(false);
  if (SUCCEEDED(hr)) hr = effect_->SetBool("enableSunlightReflection", sunlightOn_);
  if (SUCCEEDED(hr) && sunlightOn_) hr = SetSunlightParameters();
  if (SUCCEEDED(hr)) hr = effect_->SetBool("enableDepthData", depthOn_);
  if (SUCCEEDED(hr)) hr = depthOn_ ? SetDepthParameters() : effect_->SetFloat("shoreTransparency", 1.0f);
  if (SUCCEEDED(hr) && gpuExtrusionOn_) {
    hr = effect_->SetFloatArray("newUVScale", &gpuUVScale_.x, 2);
    if (SUCCEEDED(hr)) hr = effect_->SetFloat("heightFallofDistance", gpuHeightFalloffDistance_);
    if (SUCCEEDED(hr)) hr = effect_->SetFloat("extrudeFactor", gpuExtrusionStrength_);
  }
  return hr;
}

HRESULT cWaterEngineSM3::SetTechnique() {
  static const char* const kTechniques[2][3] = {
      {"technique_no_vertex_fetch", "technique_no_vertex_fetch_noRefraction",
       "technique_no_vertex_fetch_noReflection"},
      {"technique_with_vertex_fetch", "technique_with_vertex_fetch_noRefraction",
       "technique_with_vertex_fetch_noReflection"}};
  const Variant variant = CurrentVariant();
  const HRESULT hr = effect_->SetTechnique(kTechniques[gpuExtrusionOn_][static_cast<int>(variant)]);
  return SUCCEEDED(hr) ? SetVariantParameters(variant) : hr;
}
