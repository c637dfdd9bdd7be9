#include "platform/d3dx/TextRenderStates.h"

#include "platform/d3dx/EffectBindings.h"

namespace platform::d3dx {

namespace {

constexpr std::pair<D3DRENDERSTATETYPE, DWORD> kRenderStates[] = {
    {D3DRS_ALPHABLENDENABLE, TRUE},  {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA}, {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA},
    {D3DRS_BLENDOP, D3DBLENDOP_ADD}, {D3DRS_ALPHATESTENABLE, FALSE},      {D3DRS_ZENABLE, D3DZB_FALSE},
    {D3DRS_ZWRITEENABLE, FALSE},     {D3DRS_CULLMODE, D3DCULL_NONE},      {D3DRS_FILLMODE, D3DFILL_SOLID},
    {D3DRS_FOGENABLE, FALSE},        {D3DRS_CLIPPLANEENABLE, 0},          {D3DRS_COLORWRITEENABLE, 0xF},
};

constexpr std::tuple<DWORD, D3DTEXTURESTAGESTATETYPE, DWORD> kStageStates[] = {
    {0, D3DTSS_COLOROP, D3DTOP_MODULATE}, {0, D3DTSS_COLORARG1, D3DTA_TEXTURE},
    {0, D3DTSS_COLORARG2, D3DTA_DIFFUSE}, {0, D3DTSS_ALPHAOP, D3DTOP_MODULATE},
    {0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE}, {0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE},
    {0, D3DTSS_TEXCOORDINDEX, 0},         {0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE},
    {1, D3DTSS_COLOROP, D3DTOP_DISABLE},  {1, D3DTSS_ALPHAOP, D3DTOP_DISABLE},
};

constexpr std::tuple<DWORD, D3DSAMPLERSTATETYPE, DWORD> kSamplerStates[] = {
    {0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP}, {0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP},
    {0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR},   {0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR},
    {0, D3DSAMP_MIPFILTER, D3DTEXF_NONE},
};

}  // namespace

bool TextRenderStates::Check(HRESULT hr) {
  if (FAILED(hr) && SUCCEEDED(result_)) result_ = hr;
  return SUCCEEDED(hr);
}

TextRenderStates::TextRenderStates(IDirect3DDevice9* device, IDirect3DBaseTexture9* texture, DWORD fvf)
    : device_(device), effect_(BoundEffect(device)) {
  for (const auto& [state, value] : kRenderStates) {
    DWORD old = 0;
    if (Check(device_->GetRenderState(state, &old))) renderStates_.emplace_back(state, old);
    Check(device_->SetRenderState(state, value));
  }
  for (const auto& [stage, type, value] : kStageStates) {
    DWORD old = 0;
    if (Check(device_->GetTextureStageState(stage, type, &old))) stageStates_.emplace_back(stage, type, old);
    Check(device_->SetTextureStageState(stage, type, value));
  }
  for (const auto& [sampler, type, value] : kSamplerStates) {
    DWORD old = 0;
    if (Check(device_->GetSamplerState(sampler, type, &old))) samplerStates_.emplace_back(sampler, type, old);
    Check(device_->SetSamplerState(sampler, type, value));
  }
  Check(device_->GetTexture(0, &texture_));
  Check(device_->SetTexture(0, texture));
  Check(device_->GetVertexDeclaration(&declaration_));
  Check(device_->GetFVF(&fvf_));
  Check(device_->SetFVF(fvf));
  // DrawPrimitiveUP leaves stream 0 unset, so it is put back too.
  Check(device_->GetStreamSource(0, &stream_, &streamOffset_, &streamStride_));
  if (effect_.effect) BindEffect(device_, EffectBinding());
}

HRESULT TextRenderStates::Restore() {
  result_ = D3D_OK;
  for (const auto& [state, value] : renderStates_) Check(device_->SetRenderState(state, value));
  for (const auto& [stage, type, value] : stageStates_) Check(device_->SetTextureStageState(stage, type, value));
  for (const auto& [sampler, type, value] : samplerStates_) Check(device_->SetSamplerState(sampler, type, value));
  Check(device_->SetTexture(0, texture_));
  Check(fvf_ != 0 || !declaration_ ? device_->SetFVF(fvf_) : device_->SetVertexDeclaration(declaration_));
  Check(device_->SetStreamSource(0, stream_, streamOffset_, streamStride_));
  for (IUnknown* held :
       {static_cast<IUnknown*>(texture_), static_cast<IUnknown*>(declaration_), static_cast<IUnknown*>(stream_)}) {
    if (held) held->Release();
  }
  texture_ = nullptr;
  declaration_ = nullptr;
  stream_ = nullptr;
  if (effect_.effect) BindEffect(device_, effect_);
  return result_;
}

}  // namespace platform::d3dx
