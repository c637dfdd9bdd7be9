#include "engine/cWaterEngineSM1.h"

#include <string>

#include "settings/TypeIds.h"
#include "geometry/cGeomipmapGrid.h"
#include "geometry/cSM1VertexWriter.h"
#include "normalmap/iNormalmap.h"

namespace {

constexpr DWORD VS_1_1 = 0xFFFE0101;
constexpr DWORD PS_1_4 = 0xFFFF0104;

}  // namespace

cWaterEngineSM1::cWaterEngineSM1() : cShaderWaterEngine(L"shaders/sm1.fx") {}

int cWaterEngineSM1::GetTypeId() const { return ENGINE_SM1; }

bool cWaterEngineSM1::CheckCaps(IDirect3D9* d3d, IDirect3DDevice9* device) {
  D3DCAPS9 caps;
  return HasShaderVersions(d3d, device, VS_1_1, PS_1_4, &caps) && caps.MaxStreams >= 2;
}

bool cWaterEngineSM1::AcceptsComponents() const {
  return normalmap_ && normalmap_->GetTypeId() != NORMALMAP_FD_TEX && geometry_;
}

bool cWaterEngineSM1::Render(IDirect3DDevice9* device, const D3DXMATRIX* view, const D3DXMATRIX* projection,
                             const D3DXVECTOR3* eye) {
  if (!device || !geometry_ || !normalmap_ || !effect_ || !fresnelTexture_ || !view || !projection || !eye)
    return false;
  if (foamOn_ && (!foamTexture_ || !heightmapTexture_)) return false;
  const D3DXVECTOR3* normals = normalmap_->GetNormals();
  const int normalmapSize = normalmap_->GetResolution();
  if (!normals || normalmapSize < 1) return false;
  if (!geometry_->GetExtraStream() && !geometry_->CreateExtraStream(device)) return false;
  const bool geomipmap = geometry_->GetTypeId() == GEOMETRY_GEOMIPMAP;
  if (!geomipmap && !WriteExtraStream(geometry_, cSM1VertexWriter(normals, normalmapSize))) return false;

  D3DXMATRIX viewProjection;
  D3DXMatrixMultiply(&viewProjection, view, projection);
  if (FAILED(SetParameters(viewProjection, *eye)) || !SetTechnique()) return false;
  return DrawPass(device, [&] {
    if (geomipmap)
      return static_cast<cGeomipmapGrid*>(geometry_)->RenderSM1(device, normals, normalmapSize, &viewProjection);
    return geometry_->Render(device, &viewProjection);
  });
}

HRESULT cWaterEngineSM1::SetParameters(const D3DXMATRIX& viewProjection, const D3DXVECTOR3& eye) {
  HRESULT hr = effect_->SetTexture("precomputedFresnelTexture", fresnelTexture_);
  if (SUCCEEDED(hr)) hr = effect_->SetMatrix("matWorldViewProject", &viewProjection);
  if (SUCCEEDED(hr)) hr = effect_->SetFloat("fullReflectionDistance", fullReflectionDistanceSquared_);
  if (SUCCEEDED(hr)) hr = effect_->SetFloat("reflectionStrength", reflectionStrength_);
  if (SUCCEEDED(hr)) hr = effect_->SetFloat("globalTransparency", globalTransparency_);
  if (SUCCEEDED(hr)) hr = effect_->SetMatrix("remapMatrix", &remapMatrix_);
  if (SUCCEEDED(hr)) hr = effect_->SetFloatArray("eyeVector", eye, 3);
  return hr;
}

bool cWaterEngineSM1::SetTechnique() {
  if (foamOn_ && FAILED(SetFoamParameters(true))) return false;
  const Variant variant = CurrentVariant();
  if (FAILED(SetVariantParameters(variant))) return false;
  static const char* const kVariants[] = {"Default_technique", "NoRefraction_technique", "NoReflection_technique"};
  const std::string name = std::string(foamOn_ ? "Foam_" : "NoFoam_") + kVariants[static_cast<int>(variant)];
  return SUCCEEDED(effect_->SetTechnique(name.c_str()));
}
