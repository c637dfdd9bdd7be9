// ID3DXEffect over an effect file: techniques, passes with render states, and
// parameter values that reach the device at BeginPass and CommitChanges.
#pragma once

#include <string>
#include <vector>

#include "platform/device/Backend.h"

namespace platform::d3dx {

class Effect : public ID3DXEffect {
 public:
  // Takes a reference on the device.
  Effect(IDirect3DDevice9* device, EffectProgram program);

  D3DXHANDLE GetTechniqueByName(LPCSTR name) override;
  D3DXHANDLE GetParameterByName(D3DXHANDLE parent, LPCSTR name) override;
  HRESULT SetTechnique(D3DXHANDLE technique) override;
  D3DXHANDLE GetCurrentTechnique() override;
  HRESULT SetMatrix(D3DXHANDLE parameter, const D3DXMATRIX* matrix) override;
  HRESULT SetVector(D3DXHANDLE parameter, const D3DXVECTOR4* vector) override;
  HRESULT SetFloat(D3DXHANDLE parameter, float value) override;
  HRESULT SetFloatArray(D3DXHANDLE parameter, const float* values, UINT count) override;
  HRESULT SetInt(D3DXHANDLE parameter, INT value) override;
  HRESULT SetBool(D3DXHANDLE parameter, BOOL value) override;
  HRESULT SetTexture(D3DXHANDLE parameter, IDirect3DBaseTexture9* texture) override;
  HRESULT Begin(UINT* passes, DWORD flags) override;
  HRESULT BeginPass(UINT pass) override;
  HRESULT CommitChanges() override;
  HRESULT EndPass() override;
  HRESULT End() override;
  HRESULT OnLostDevice() override;
  HRESULT OnResetDevice() override { return D3D_OK; }

  // Builds every technique and pass now; false with the messages in `errors`.
  bool Compile(std::string* errors);

 private:
  ~Effect() override;
  int FindTechnique(D3DXHANDLE name) const;
  int FindParameter(D3DXHANDLE name) const;
  HRESULT SetFloats(D3DXHANDLE parameter, const float* values, UINT count);
  void RecordParameter(int index, const float* values, UINT count, IDirect3DBaseTexture9* texture);
  void Bind();

  IDirect3DDevice9* device_;
  EffectProgram program_;
  std::vector<ParameterValue> values_;            // parallel to program_.parameters
  std::vector<IDirect3DBaseTexture9*> textures_;  // references held for sampler values
  UINT technique_ = 0;
  bool begun_ = false;
  int pass_ = -1;
  std::vector<std::pair<D3DRENDERSTATETYPE, DWORD>> savedStates_;  // put back by End
  struct SavedSamplerState {
    DWORD sampler;
    D3DSAMPLERSTATETYPE state;
    DWORD value;
  };
  std::vector<SavedSamplerState> savedSamplerStates_;  // put back by End
};

}  // namespace platform::d3dx
