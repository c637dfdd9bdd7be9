#include "engine/cWaterEngineFFP.h"

#include "settings/TypeIds.h"
#include "geometry/cGeomipmapGrid.h"
#include "normalmap/iNormalmap.h"

namespace {

constexpr DWORD PROJECTED_COUNT3 = D3DTTFF_COUNT3 | D3DTTFF_PROJECTED;

struct StageState {
  D3DTEXTURESTAGESTATETYPE type;
  DWORD value;
};

bool SetStageStates(IDirect3DDevice9* device, DWORD stage, std::initializer_list<StageState> states) {
  for (const StageState& state : states)
    if (FAILED(device->SetTextureStageState(stage, state.type, state.value))) return false;
  return true;
}

// Stage `stage` samples `texture` through the projected texture coordinate set 1.
bool SetProjectedTexture(IDirect3DDevice9* device, DWORD stage, IDirect3DTexture9* texture) {
  return SUCCEEDED(device->SetTexture(stage, texture)) &&
         SetStageStates(device, stage, {{D3DTSS_TEXTURETRANSFORMFLAGS, PROJECTED_COUNT3}, {D3DTSS_TEXCOORDINDEX, 1}});
}

bool SelectArguments(IDirect3DDevice9* device, DWORD stage, DWORD colorArgument, DWORD alphaArgument) {
  return SetStageStates(device, stage,
                        {{D3DTSS_COLOROP, D3DTOP_SELECTARG1},
                         {D3DTSS_COLORARG1, colorArgument},
                         {D3DTSS_ALPHAOP, D3DTOP_SELECTARG1},
                         {D3DTSS_ALPHAARG1, alphaArgument}});
}

bool HasCPUNormals(const iNormalmap* normalmap) {
  return normalmap && normalmap->GetTypeId() != NORMALMAP_FD_TEX;
}

}  // namespace

cWaterEngineFFP::cWaterEngineFFP() { cFFPVertexWriter::FillFresnelTable(fresnelTable_); }

int cWaterEngineFFP::GetTypeId() const { return ENGINE_FFP; }

bool cWaterEngineFFP::CheckCaps(IDirect3D9* d3d, IDirect3DDevice9* device) {
  D3DCAPS9 caps;
  if (!d3d || !device || FAILED(device->GetDeviceCaps(&caps))) return false;
  return caps.MaxTextureBlendStages >= 2 && caps.MaxSimultaneousTextures >= 2 &&
         (caps.TextureOpCaps & D3DTEXOPCAPS_BLENDDIFFUSEALPHA) != 0 && caps.MaxStreams >= 2;
}

bool cWaterEngineFFP::Init(IDirect3D9* d3d, IDirect3DDevice9* device, float reflectionStrength,
                           float fullReflectionDistance, float globalTransparency) {
  initialised_ = false;
  if (!CheckCaps(d3d, device) || !HasCPUNormals(normalmap_) || !geometry_) return false;
  TakeCommonValues(reflectionStrength, fullReflectionDistance, globalTransparency);
  return true;
}

cEngineSettings* cWaterEngineFFP::FillSettings(cEngineSettings* settings) {
  if (settings) FillCommonSettings(settings);
  return settings;
}

bool cWaterEngineFFP::Render(IDirect3DDevice9* device, const D3DXMATRIX* view, const D3DXMATRIX* projection,
                             const D3DXVECTOR3* eye) {
  if (!device || !geometry_ || !normalmap_ || !view || !projection || !eye) return false;
  FFPVertexParameters parameters;
  parameters.normals = normalmap_->GetNormals();
  parameters.normalmapSize = normalmap_->GetResolution();
  if (!parameters.normals || parameters.normalmapSize < 1) return false;
  D3DXMatrixMultiply(&parameters.viewProjection, view, projection);
  D3DXMATRIX textureProjection;
  D3DXMatrixMultiply(&textureProjection, &parameters.viewProjection, &remapMatrix_);
  parameters.reflectionStrength = reflectionStrength_;
  parameters.fullReflectionDistanceSquared = fullReflectionDistanceSquared_;
  parameters.globalTransparency = globalTransparency_;
  parameters.baseColor = D3DCOLOR_ARGB(255, static_cast<DWORD>(reflectionColor_.x * 255.0f),
                                       static_cast<DWORD>(reflectionColor_.y * 255.0f),
                                       static_cast<DWORD>(reflectionColor_.z * 255.0f));
  parameters.eye = *eye;

  if (!geometry_->GetExtraStream() && !geometry_->CreateExtraStream(device)) return false;
  auto* geomipmap = geometry_->GetTypeId() == GEOMETRY_GEOMIPMAP ? static_cast<cGeomipmapGrid*>(geometry_) : nullptr;
  if (!geomipmap && !WriteVertices(parameters)) return false;

  if (!SetStages(device, textureProjection)) {
    RestoreStages(device);
    return false;
  }
  const bool drawn = geomipmap ? geomipmap->RenderFFP(device, parameters)
                               : geometry_->Render(device, &parameters.viewProjection);
  return RestoreStages(device) && drawn;
}

bool cWaterEngineFFP::WriteVertices(const FFPVertexParameters& parameters) {
  return WriteExtraStream(geometry_, cFFPVertexWriter(parameters, fresnelTable_));
}

bool cWaterEngineFFP::SetStages(IDirect3DDevice9* device, const D3DXMATRIX& textureProjection) {
  for (DWORD sampler = 0; sampler < 2; ++sampler) {
    if (FAILED(device->SetSamplerState(sampler, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP)) ||
        FAILED(device->SetSamplerState(sampler, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP)))
      return false;
  }
  if (FAILED(device->SetRenderState(D3DRS_LIGHTING, FALSE)) ||
      FAILED(device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE)))
    return false;

  bool staged = false;
  if (reflectionTexture_ && refractionTexture_) {
    staged = SetProjectedTexture(device, 0, refractionTexture_) &&
             SelectArguments(device, 0, D3DTA_TEXTURE, D3DTA_TEXTURE) &&
             SetProjectedTexture(device, 1, reflectionTexture_) &&
             SetStageStates(device, 1,
                            {{D3DTSS_COLOROP, D3DTOP_BLENDDIFFUSEALPHA},
                             {D3DTSS_COLORARG1, D3DTA_TEXTURE},
                             {D3DTSS_COLORARG2, D3DTA_CURRENT},
                             {D3DTSS_ALPHAOP, D3DTOP_SELECTARG1},
                             {D3DTSS_ALPHAARG1, D3DTA_TEXTURE}});
  } else if (reflectionTexture_) {
    staged = SetProjectedTexture(device, 0, reflectionTexture_) &&
             SelectArguments(device, 0, D3DTA_TEXTURE, D3DTA_DIFFUSE);
  } else {
    staged = SUCCEEDED(device->SetTexture(0, nullptr)) &&
             SetStageStates(device, 0, {{D3DTSS_TEXCOORDINDEX, 1}}) &&
             SelectArguments(device, 0, D3DTA_DIFFUSE, D3DTA_DIFFUSE);
  }
  return staged && SUCCEEDED(device->SetTransform(D3DTS_TEXTURE0, &textureProjection)) &&
         SUCCEEDED(device->SetTransform(D3DTS_TEXTURE1, &textureProjection)) &&
         SUCCEEDED(device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA)) &&
         SUCCEEDED(device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA));
}

bool cWaterEngineFFP::RestoreStages(IDirect3DDevice9* device) {
  const bool restored = SetStageStates(device, 0, {{D3DTSS_TEXCOORDINDEX, 0}, {D3DTSS_TEXTURETRANSFORMFLAGS, 0}}) &&
                        SetStageStates(device, 1, {{D3DTSS_COLOROP, D3DTOP_DISABLE}, {D3DTSS_TEXTURETRANSFORMFLAGS, 0}});
  const bool reset = SUCCEEDED(device->SetTexture(1, nullptr)) && SUCCEEDED(device->SetTexture(0, nullptr));
  return restored && reset;
}
