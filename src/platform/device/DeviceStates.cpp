// Render, texture-stage and sampler states, transforms, clip planes and the
// Direct3D defaults they start from.
#include <algorithm>

#include "platform/device/Device.h"
#include "platform/device/Surface.h"
#include "platform/device/Texture.h"

namespace platform {
namespace {

constexpr D3DMATRIX kIdentity = {{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}};

}  // namespace

void Device::SetDefaultStates() {
  DWORD* rs = state_.renderStates;
  std::fill(rs, rs + D3DRS_COUNT, 0u);
  rs[D3DRS_ZENABLE] = autoDepth_ ? D3DZB_TRUE : D3DZB_FALSE;
  rs[D3DRS_FILLMODE] = D3DFILL_SOLID;
  rs[D3DRS_SHADEMODE] = 2;  // D3DSHADE_GOURAUD
  rs[D3DRS_ZWRITEENABLE] = TRUE;
  rs[D3DRS_LASTPIXEL] = TRUE;
  rs[D3DRS_SRCBLEND] = D3DBLEND_ONE;
  rs[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
  rs[D3DRS_CULLMODE] = D3DCULL_CCW;
  rs[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
  rs[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
  rs[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFFu;
  rs[D3DRS_CLIPPING] = TRUE;
  rs[D3DRS_LIGHTING] = TRUE;
  rs[D3DRS_COLORVERTEX] = TRUE;
  rs[D3DRS_COLORWRITEENABLE] = 0xF;
  rs[D3DRS_BLENDOP] = D3DBLENDOP_ADD;
  for (UINT stage = 0; stage < kMaxStages; ++stage) SetDefaultStageStates(stage);
  for (DWORD* sampler : state_.samplerStates) SetDefaultSamplerStates(sampler);
  state_.world = state_.view = state_.projection = kIdentity;
  std::fill(std::begin(state_.textureTransforms), std::end(state_.textureTransforms), kIdentity);
  for (float* plane : state_.clipPlanes) std::fill(plane, plane + 4, 0.0f);
  Rebind(renderTarget_, backBuffer_);
  Rebind(depthStencil_, autoDepth_);
  state_.renderTarget = &backBuffer_->Data();
  state_.depthStencil = autoDepth_ ? &autoDepth_->Data() : nullptr;
  ViewWholeTarget();
}

void Device::SetDefaultStageStates(UINT stage) {
  DWORD* ts = state_.stageStates[stage];
  std::fill(ts, ts + D3DTSS_COUNT, 0u);
  ts[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
  ts[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
  ts[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
  ts[D3DTSS_COLORARG2] = D3DTA_CURRENT;
  ts[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
  ts[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
  ts[D3DTSS_TEXCOORDINDEX] = stage;
  ts[D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_DISABLE;
  ts[D3DTSS_COLORARG0] = D3DTA_CURRENT;
  ts[D3DTSS_ALPHAARG0] = D3DTA_CURRENT;
  ts[D3DTSS_RESULTARG] = D3DTA_CURRENT;
}

void Device::SetDefaultSamplerStates(DWORD* states) {
  std::fill(states, states + D3DSAMP_COUNT, 0u);
  states[D3DSAMP_ADDRESSU] = D3DTADDRESS_WRAP;
  states[D3DSAMP_ADDRESSV] = D3DTADDRESS_WRAP;
  states[D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
  states[D3DSAMP_MAGFILTER] = D3DTEXF_POINT;
  states[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
  states[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
  states[D3DSAMP_MAXANISOTROPY] = 1;
}

D3DMATRIX* Device::TransformSlot(D3DTRANSFORMSTATETYPE state) {
  if (state == D3DTS_WORLD) return &state_.world;
  if (state == D3DTS_VIEW) return &state_.view;
  if (state == D3DTS_PROJECTION) return &state_.projection;
  if (state >= D3DTS_TEXTURE0 && state <= D3DTS_TEXTURE7) return &state_.textureTransforms[state - D3DTS_TEXTURE0];
  return nullptr;
}

HRESULT Device::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
  D3DMATRIX* slot = TransformSlot(state);
  if (!slot || !matrix) return D3DERR_INVALIDCALL;
  *slot = *matrix;
  return D3D_OK;
}

HRESULT Device::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
  D3DMATRIX* slot = TransformSlot(state);
  if (!slot || !matrix) return D3DERR_INVALIDCALL;
  *matrix = *slot;
  return D3D_OK;
}

HRESULT Device::SetClipPlane(DWORD index, const float* plane) {
  if (index >= std::min(caps_.MaxUserClipPlanes, D3DMAXUSERCLIPPLANES) || !plane) return D3DERR_INVALIDCALL;
  std::copy(plane, plane + 4, state_.clipPlanes[index]);
  return D3D_OK;
}

HRESULT Device::GetClipPlane(DWORD index, float* plane) {
  if (index >= std::min(caps_.MaxUserClipPlanes, D3DMAXUSERCLIPPLANES) || !plane) return D3DERR_INVALIDCALL;
  std::copy(state_.clipPlanes[index], state_.clipPlanes[index] + 4, plane);
  return D3D_OK;
}

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  if (state >= D3DRS_COUNT) return D3DERR_INVALIDCALL;
  state_.renderStates[state] = value;
  return D3D_OK;
}

HRESULT Device::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
  if (state >= D3DRS_COUNT || !value) return D3DERR_INVALIDCALL;
  *value = state_.renderStates[state];
  return D3D_OK;
}

// Pixel stages 0..7, then the vertex samplers D3DVERTEXTEXTURESAMPLER0..3.
Texture** Device::TextureSlot(DWORD stage, TextureData**& data) {
  if (stage < kMaxStages) {
    data = &state_.textures[stage];
    return &textures_[stage];
  }
  if (stage >= D3DVERTEXTEXTURESAMPLER0 && stage <= D3DVERTEXTEXTURESAMPLER3) {
    data = &state_.vertexTextures[stage - D3DVERTEXTEXTURESAMPLER0];
    return &vertexTextures_[stage - D3DVERTEXTEXTURESAMPLER0];
  }
  return nullptr;
}

HRESULT Device::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
  TextureData** data = nullptr;
  Texture** slot = TextureSlot(stage, data);
  Texture* object = static_cast<Texture*>(texture);
  if (!slot) return D3DERR_INVALIDCALL;
  if (object && object->Pool() != D3DPOOL_DEFAULT && object->Pool() != D3DPOOL_MANAGED) return D3DERR_INVALIDCALL;
  Rebind(*slot, object);
  *data = object ? &object->Data() : nullptr;
  return D3D_OK;
}

HRESULT Device::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) {
  TextureData** data = nullptr;
  Texture** slot = TextureSlot(stage, data);
  if (!slot || !texture) return D3DERR_INVALIDCALL;
  *texture = *slot;
  if (*slot) (*slot)->AddRef();
  return D3D_OK;
}

HRESULT Device::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
  if (stage >= kMaxStages || type == 0 || type >= D3DTSS_COUNT) return D3DERR_INVALIDCALL;
  state_.stageStates[stage][type] = value;
  return D3D_OK;
}

HRESULT Device::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
  if (stage >= kMaxStages || type == 0 || type >= D3DTSS_COUNT || !value) return D3DERR_INVALIDCALL;
  *value = state_.stageStates[stage][type];
  return D3D_OK;
}

DWORD* Device::SamplerStates(DWORD sampler) {
  if (sampler < kMaxStages) return state_.samplerStates[sampler];
  if (sampler >= D3DVERTEXTEXTURESAMPLER0 && sampler <= D3DVERTEXTEXTURESAMPLER3) {
    return state_.samplerStates[kMaxStages + sampler - D3DVERTEXTEXTURESAMPLER0];
  }
  return nullptr;
}

HRESULT Device::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
  DWORD* states = SamplerStates(sampler);
  if (!states || type == 0 || type >= D3DSAMP_COUNT) return D3DERR_INVALIDCALL;
  states[type] = value;
  return D3D_OK;
}

HRESULT Device::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) {
  DWORD* states = SamplerStates(sampler);
  if (!states || type == 0 || type >= D3DSAMP_COUNT || !value) return D3DERR_INVALIDCALL;
  *value = states[type];
  return D3D_OK;
}

}  // namespace platform
