#include "engine/cWaterEngineSM2.h"

#include <string>

#include "settings/TypeIds.h"
#include "geometry/iWaterGeometry.h"

namespace {

constexpr DWORD VS_2_0 = 0xFFFE0200;
constexpr DWORD PS_2_0 = 0xFFFF0200;

}  // namespace

cWaterEngineSM2::cWaterEngineSM2() : cPerPixelWaterEngine(L"shaders/sm2.fx") {}

int cWaterEngineSM2::GetTypeId() const { return ENGINE_SM2; }

bool cWaterEngineSM2::CheckCaps(IDirect3D9* d3d, IDirect3DDevice9* device) {
  D3DCAPS9 caps;
  return HasShaderVersions(d3d, device, VS_2_0, PS_2_0, &caps);
}

const char* cWaterEngineSM2::TechniqueBaseName(bool sunlight, bool foam, bool depth) {
  static const char* const kNames[2][2][2] = {
      // [sunlight][foam][depth]
      {{"technique_minRendering", "technique_with_depth"}, {"technique_with_foam", "technique_with_foam_depth"}},
      {{"technique_with_sunlight", "technique_with_depth_sunlight"},
       {"technique_with_foam_sunlight", "technique_maxRendering"}}};
  return kNames[sunlight][foam][depth];
}

bool cWaterEngineSM2::Render(IDirect3DDevice9* device, const D3DXMATRIX* view, const D3DXMATRIX* projection,
                             const D3DXVECTOR3* eye) {
  if (!device || !geometry_ || !normalmapTexture_ || !effect_ || !fresnelTexture_ || !view || !projection || !eye)
    return false;
  if (foamOn_ && (!heightmapTexture_ || !foamTexture_)) return false;
  if (depthOn_ && !depthTexture_) return false;
  D3DXMATRIX viewProjection;
  D3DXMatrixMultiply(&viewProjection, view, projection);
  if (FAILED(SetParameters(viewProjection, *eye))) return false;
  SetUpTechnique();
  return DrawPass(device, [&] { return geometry_->Render(device, &viewProjection); });
}

HRESULT cWaterEngineSM2::SetParameters(const D3DXMATRIX& viewProjection, const D3DXVECTOR3& eye) {
  HRESULT hr = effect_->SetTexture("precomputedFresnelTexture", fresnelTexture_);
  if (SUCCEEDED(hr)) hr = effect_->SetMatrix("matWorldViewProject", &viewProjection);
  if (SUCCEEDED(hr)) hr = effect_->SetFloat("fullReflectionDistance", fullReflectionDistanceSquared_);
  if (SUCCEEDED(hr)) hr = effect_->SetFloat("reflectionStrength", reflectionStrength_);
  if (SUCCEEDED(hr)) hr = effect_->SetFloat("globalTransparency", globalTransparency_);
  if (SUCCEEDED(hr)) hr = effect_->SetFloatArray("eyeVector", eye, 3);
  if (SUCCEEDED(hr)) hr = effect_->SetTexture("normalmapTexture", normalmapTexture_);
  return hr;
}

// A failing call here is not fatal: the technique and parameters current before are drawn.
void cWaterEngineSM2::SetUpTechnique() {
  HRESULT hr = S_OK;
  if (sunlightOn_) hr = SetSunlightParameters();
  if (SUCCEEDED(hr) && depthOn_) hr = SetDepthParameters();
  if (SUCCEEDED(hr) && foamOn_) hr = SetFoamParameters(true);
  const Variant variant = CurrentVariant();
  if (SUCCEEDED(hr)) hr = SetVariantParameters(variant);
  static const char* const kSuffixes[] = {"", "_noRefraction", "_noReflection"};
  const std::string name =
      std::string(TechniqueBaseName(sunlightOn_, foamOn_, depthOn_)) + kSuffixes[static_cast<int>(variant)];
  if (SUCCEEDED(hr)) effect_->SetTechnique(name.c_str());
}
