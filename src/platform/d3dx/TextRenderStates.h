// The device states text drawing needs, set for the lifetime of this object:
// alpha blending, no depth, no culling, stage 0 modulating texture and diffuse,
// stage 1 off, clamped linear sampling, fixed function and the glyph FVF.
// Restore puts back everything that was changed.
#pragma once

#include <tuple>
#include <utility>
#include <vector>

#include "platform/device/DeviceHooks.h"

namespace platform::d3dx {

class TextRenderStates {
 public:
  TextRenderStates(IDirect3DDevice9* device, IDirect3DBaseTexture9* texture, DWORD fvf);
  TextRenderStates(const TextRenderStates&) = delete;
  TextRenderStates& operator=(const TextRenderStates&) = delete;

  // The first failure met while setting the states.
  HRESULT Result() const { return result_; }
  // Puts every saved state back, even past a failure; returns the first one.
  HRESULT Restore();

 private:
  bool Check(HRESULT hr);

  IDirect3DDevice9* device_;
  HRESULT result_ = D3D_OK;
  std::vector<std::pair<D3DRENDERSTATETYPE, DWORD>> renderStates_;
  std::vector<std::tuple<DWORD, D3DTEXTURESTAGESTATETYPE, DWORD>> stageStates_;
  std::vector<std::tuple<DWORD, D3DSAMPLERSTATETYPE, DWORD>> samplerStates_;
  IDirect3DBaseTexture9* texture_ = nullptr;
  IDirect3DVertexDeclaration9* declaration_ = nullptr;
  DWORD fvf_ = 0;
  IDirect3DVertexBuffer9* stream_ = nullptr;
  UINT streamOffset_ = 0, streamStride_ = 0;
  EffectBinding effect_;
};

}  // namespace platform::d3dx
