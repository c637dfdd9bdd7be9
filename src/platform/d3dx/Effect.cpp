#include "platform/d3dx/Effect.h"

#include <algorithm>
#include <cstring>

#include "platform/Platform.h"
#include "platform/d3dx/Buffer.h"
#include "platform/d3dx/EffectBindings.h"
#include "platform/d3dx/EffectFile.h"
#include "platform/d3dx/FileBytes.h"
#include "platform/Utf8.h"

namespace platform::d3dx {

namespace {

constexpr DWORD kDoNotSaveState = 1;  // D3DXFX_DONOTSAVESTATE
constexpr size_t kMaxEffectFileBytes = size_t{16} << 20;

UINT Components(ParameterType type) {
  switch (type) {
    case ParameterType::Float2: return 2;
    case ParameterType::Float3: return 3;
    case ParameterType::Float4: return 4;
    case ParameterType::Float4x4: return 16;
    case ParameterType::Sampler: return 0;
    default: return 1;
  }
}

// The caller's macros come first in every technique, before its own defines.
void AddMacros(const D3DXMACRO* macros, EffectProgram& program) {
  std::vector<std::pair<std::string, std::string>> defines;
  for (const D3DXMACRO* macro = macros; macro && macro->Name; ++macro) {
    defines.emplace_back(macro->Name, macro->Definition ? macro->Definition : "");
  }
  for (EffectTechnique& technique : program.techniques) {
    technique.defines.insert(technique.defines.begin(), defines.begin(), defines.end());
  }
}

}  // namespace

Effect::Effect(IDirect3DDevice9* device, EffectProgram program)
    : device_(device),
      program_(std::move(program)),
      values_(program_.parameters.size()),
      textures_(program_.parameters.size(), nullptr) {
  device_->AddRef();
}

Effect::~Effect() {
  UnbindEffect(&program_);
  for (IDirect3DBaseTexture9* texture : textures_) {
    if (texture) texture->Release();
  }
  if (HasBackend()) CurrentBackend().ReleaseEffect(program_);
  device_->Release();
}

int Effect::FindTechnique(D3DXHANDLE name) const {
  if (!name) return -1;
  for (size_t i = 0; i < program_.techniques.size(); ++i) {
    if (program_.techniques[i].name == name) return static_cast<int>(i);
  }
  return -1;
}

int Effect::FindParameter(D3DXHANDLE name) const {
  if (!name) return -1;
  for (size_t i = 0; i < program_.parameters.size(); ++i) {
    if (program_.parameters[i].name == name) return static_cast<int>(i);
  }
  return -1;
}

D3DXHANDLE Effect::GetTechniqueByName(LPCSTR name) {
  const int index = FindTechnique(name);
  return index < 0 ? nullptr : program_.techniques[index].name.c_str();
}

// Our effects have no structures, so nothing lives under a parent.
D3DXHANDLE Effect::GetParameterByName(D3DXHANDLE parent, LPCSTR name) {
  const int index = parent ? -1 : FindParameter(name);
  return index < 0 ? nullptr : program_.parameters[index].name.c_str();
}

HRESULT Effect::SetTechnique(D3DXHANDLE technique) {
  const int index = FindTechnique(technique);
  if (index < 0) return D3DERR_INVALIDCALL;
  technique_ = static_cast<UINT>(index);
  if (IsRecording()) Recorded().techniques.push_back(program_.techniques[technique_].name);
  return D3D_OK;
}

D3DXHANDLE Effect::GetCurrentTechnique() { return program_.techniques[technique_].name.c_str(); }

// Values fill the parameter from its first component; extra ones are dropped,
// missing ones keep what was set before.
HRESULT Effect::SetFloats(D3DXHANDLE parameter, const float* values, UINT count) {
  const int index = FindParameter(parameter);
  if (index < 0 || (!values && count > 0)) return D3DERR_INVALIDCALL;
  const EffectParameter& declared = program_.parameters[index];
  const UINT capacity = Components(declared.type) * declared.arraySize;
  if (capacity == 0) return D3DERR_INVALIDCALL;
  ParameterValue& value = values_[index];
  value.floats.resize(capacity, 0.0f);
  std::copy_n(values, std::min(count, capacity), value.floats.begin());
  value.set = true;
  RecordParameter(index, values, count, nullptr);
  return D3D_OK;
}

void Effect::RecordParameter(int index, const float* values, UINT count, IDirect3DBaseTexture9* texture) {
  if (!IsRecording()) return;
  ParameterRecord record{program_.path, program_.parameters[index].name, {}, texture};
  if (count > 0) record.values.assign(values, values + count);
  Recorded().parameters.push_back(std::move(record));
}

HRESULT Effect::SetMatrix(D3DXHANDLE parameter, const D3DXMATRIX* matrix) {
  if (!matrix) return D3DERR_INVALIDCALL;
  return SetFloats(parameter, static_cast<const float*>(*matrix), 16);
}

HRESULT Effect::SetVector(D3DXHANDLE parameter, const D3DXVECTOR4* vector) {
  if (!vector) return D3DERR_INVALIDCALL;
  return SetFloats(parameter, static_cast<const float*>(*vector), 4);
}

HRESULT Effect::SetFloat(D3DXHANDLE parameter, float value) { return SetFloats(parameter, &value, 1); }

HRESULT Effect::SetFloatArray(D3DXHANDLE parameter, const float* values, UINT count) {
  return SetFloats(parameter, values, count);
}

HRESULT Effect::SetInt(D3DXHANDLE parameter, INT value) {
  const float asFloat = static_cast<float>(value);
  return SetFloats(parameter, &asFloat, 1);
}

HRESULT Effect::SetBool(D3DXHANDLE parameter, BOOL value) {
  const float asFloat = value ? 1.0f : 0.0f;
  return SetFloats(parameter, &asFloat, 1);
}

HRESULT Effect::SetTexture(D3DXHANDLE parameter, IDirect3DBaseTexture9* texture) {
  const int index = FindParameter(parameter);
  if (index < 0 || program_.parameters[index].type != ParameterType::Sampler) return D3DERR_INVALIDCALL;
  if (texture) texture->AddRef();
  if (textures_[index]) textures_[index]->Release();
  textures_[index] = texture;
  values_[index].texture = TextureDataOf(texture);
  values_[index].set = true;
  RecordParameter(index, nullptr, 0, texture);
  return D3D_OK;
}

// Default-pool textures die with the device: a reference kept here would make
// the device's Reset fail.
HRESULT Effect::OnLostDevice() {
  for (size_t i = 0; i < textures_.size(); ++i) {
    if (!values_[i].texture || values_[i].texture->pool != D3DPOOL_DEFAULT) continue;
    textures_[i]->Release();
    textures_[i] = nullptr;
    values_[i].texture = nullptr;
  }
  return D3D_OK;
}

HRESULT Effect::Begin(UINT* passes, DWORD flags) {
  if (!passes || begun_) return D3DERR_INVALIDCALL;
  savedStates_.clear();
  savedSamplerStates_.clear();
  if (!(flags & kDoNotSaveState)) {
    for (const EffectSamplerStates& sampler : program_.samplers) {
      for (const auto& [state, value] : sampler.states) {
        DWORD current = 0;
        if (SUCCEEDED(device_->GetSamplerState(sampler.sampler, state, &current)))
          savedSamplerStates_.push_back({sampler.sampler, state, current});
      }
    }
    for (const EffectPass& pass : program_.techniques[technique_].passes) {
      for (const auto& [state, value] : pass.states) {
        DWORD current = 0;
        const bool saved = std::any_of(savedStates_.begin(), savedStates_.end(),
                                       [state = state](const auto& entry) { return entry.first == state; });
        if (!saved && SUCCEEDED(device_->GetRenderState(state, &current))) savedStates_.emplace_back(state, current);
      }
    }
  }
  *passes = static_cast<UINT>(program_.techniques[technique_].passes.size());
  begun_ = true;
  return D3D_OK;
}

HRESULT Effect::BeginPass(UINT pass) {
  if (!begun_ || pass_ >= 0 || pass >= program_.techniques[technique_].passes.size()) return D3DERR_INVALIDCALL;
  for (const auto& [state, value] : program_.techniques[technique_].passes[pass].states) {
    const HRESULT hr = device_->SetRenderState(state, value);
    if (FAILED(hr)) return hr;
  }
  for (const EffectSamplerStates& sampler : program_.samplers) {
    for (const auto& [state, value] : sampler.states) {
      const HRESULT hr = device_->SetSamplerState(sampler.sampler, state, value);
      if (FAILED(hr)) return hr;
    }
  }
  pass_ = static_cast<int>(pass);
  Bind();
  return D3D_OK;
}

HRESULT Effect::CommitChanges() {
  if (pass_ >= 0) Bind();
  return D3D_OK;
}

HRESULT Effect::EndPass() {
  if (pass_ < 0) return D3DERR_INVALIDCALL;
  pass_ = -1;
  return D3D_OK;
}

HRESULT Effect::End() {
  if (!begun_) return D3DERR_INVALIDCALL;
  pass_ = -1;
  begun_ = false;
  BindEffect(device_, EffectBinding());
  for (const SavedSamplerState& saved : savedSamplerStates_) {
    const HRESULT hr = device_->SetSamplerState(saved.sampler, saved.state, saved.value);
    if (FAILED(hr)) return hr;
  }
  for (const auto& [state, value] : savedStates_) {
    const HRESULT hr = device_->SetRenderState(state, value);
    if (FAILED(hr)) return hr;
  }
  return D3D_OK;
}

bool Effect::Compile(std::string* errors) {
  std::string messages;
  const bool compiled = CurrentBackend().CompileEffect(program_, messages);
  if (errors) *errors = messages;
  return compiled;
}

void Effect::Bind() { BindEffect(device_, EffectBinding{&program_, technique_, static_cast<UINT>(pass_), &values_}); }

}  // namespace platform::d3dx

namespace platform {

bool CompileEffect(ID3DXEffect* effect, std::string* errors) {
  auto* ours = dynamic_cast<d3dx::Effect*>(effect);
  if (!ours) {
    if (errors) *errors = "not an effect of this device";
    return false;
  }
  return ours->Compile(errors);
}

}  // namespace platform

HRESULT D3DXCreateEffectFromFileA(IDirect3DDevice9* device, LPCSTR file, const D3DXMACRO* defines,
                                  ID3DXInclude* /*include*/, DWORD /*flags*/, ID3DXEffectPool* /*pool*/,
                                  ID3DXEffect** effect, ID3DXBuffer** errors) {
  using namespace platform::d3dx;
  if (errors) *errors = nullptr;
  if (!device || !file || !effect) return D3DERR_INVALIDCALL;
  *effect = nullptr;
  std::string text, message;
  platform::EffectProgram program;
  HRESULT hr = ReadFileBytes(file, kMaxEffectFileBytes, text);
  if (FAILED(hr)) {
    message = std::string(file) + ": cannot read the effect file";
  } else if (!EffectFile::Parse(file, text, program, message)) {
    hr = D3DXERR_INVALIDDATA;
  }
  if (FAILED(hr)) {
    if (errors) *errors = Buffer::FromString(message);
    return hr;
  }
  AddMacros(defines, program);
  *effect = new Effect(device, std::move(program));
  return D3D_OK;
}

HRESULT D3DXCreateEffectFromFileW(IDirect3DDevice9* device, LPCWSTR file, const D3DXMACRO* defines,
                                  ID3DXInclude* include, DWORD flags, ID3DXEffectPool* pool, ID3DXEffect** effect,
                                  ID3DXBuffer** errors) {
  if (!file) return D3DERR_INVALIDCALL;
  return D3DXCreateEffectFromFileA(device, platform::Utf8FromWide(file).c_str(), defines, include, flags, pool,
                                   effect, errors);
}
