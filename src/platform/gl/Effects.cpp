#include "platform/gl/Effects.h"

#include <algorithm>

#include "platform/gl/ShaderCode.h"

namespace platform::gl {
namespace {

UniformKind KindOf(ParameterType type) {
  switch (type) {
    case ParameterType::Float2: return UniformKind::Vec2;
    case ParameterType::Float3: return UniformKind::Vec3;
    case ParameterType::Float4: return UniformKind::Vec4;
    case ParameterType::Float4x4: return UniformKind::Mat4;
    case ParameterType::Int:
    case ParameterType::Bool: return UniformKind::Int;
    default: return UniformKind::Float;
  }
}

UINT ComponentsOf(ParameterType type) {
  switch (type) {
    case ParameterType::Float2: return 2;
    case ParameterType::Float3: return 3;
    case ParameterType::Float4: return 4;
    case ParameterType::Float4x4: return 16;
    default: return 1;
  }
}

// Index of a technique's pass, with or without the alpha test, in
// EffectProgram::gpu, or -1.
int SlotOf(const EffectProgram& effect, UINT technique, UINT pass, bool alphaTest) {
  if (technique >= effect.techniques.size() || pass >= effect.techniques[technique].passes.size()) return -1;
  int slot = 0;
  for (UINT t = 0; t < technique; ++t) slot += static_cast<int>(effect.techniques[t].passes.size());
  return 2 * (slot + static_cast<int>(pass)) + (alphaTest ? 1 : 0);
}

size_t SlotCount(const EffectProgram& effect) {
  size_t count = 0;
  for (const auto& technique : effect.techniques) count += technique.passes.size();
  return 2 * count;
}

}  // namespace

Effects::Pass* Effects::PassFor(const EffectBinding& binding, bool alphaTest) {
  EffectProgram& effect = *binding.effect;
  const int slot = SlotOf(effect, binding.technique, binding.pass, alphaTest);
  if (slot < 0) return nullptr;
  if (effect.gpu.size() != SlotCount(effect)) effect.gpu.assign(SlotCount(effect), nullptr);
  auto* pass = static_cast<Pass*>(effect.gpu[slot]);
  if (!pass) {
    pass = new Pass;
    effect.gpu[slot] = pass;
    Build(effect, binding.technique, alphaTest, *pass);
  }
  return pass;
}

void Effects::Build(const EffectProgram& effect, UINT technique, bool alphaTest, Pass& pass) {
  const EffectTechnique& t = effect.techniques[technique];
  pass.built = pass.program.Build(EffectStageSource(effect, t, true, alphaTest),
                                  EffectStageSource(effect, t, false, alphaTest),
                                  effect.path + " (technique " + t.name + ")");
  if (!pass.built) return;
  cache_.UseProgram(pass.program.Name());
  int unit = 0;
  for (const auto& parameter : effect.parameters) {
    const GLint location = pass.program.Location(parameter.name.c_str());
    pass.locations.push_back(location);
    const bool sampler = parameter.type == ParameterType::Sampler;
    pass.units.push_back(sampler ? unit : -1);
    if (sampler) pass.program.SetInt(location, unit++);
  }
}

void Effects::Upload(const DrawState& state, Pass& pass) {
  const EffectProgram& effect = *state.effect.effect;
  const std::vector<ParameterValue>* values = state.effect.values;
  for (size_t i = 0; i < effect.parameters.size(); ++i) {
    const EffectParameter& parameter = effect.parameters[i];
    const ParameterValue* value = values && i < values->size() ? &(*values)[i] : nullptr;
    if (pass.units[i] >= 0) {
      // Samplers take the device's sampler states of the same index.
      const int unit = pass.units[i];
      if (unit < static_cast<int>(kMaxStages + kMaxVertexSamplers) && unit < kTextureUnits - 1)
        textures_.Bind(unit, value && value->set ? value->texture : nullptr, state.samplerStates[unit]);
      continue;
    }
    if (!value || !value->set) continue;
    const UINT components = ComponentsOf(parameter.type);
    const UINT count = std::min<UINT>(parameter.arraySize, static_cast<UINT>(value->floats.size() / components));
    pass.program.Set(pass.locations[i], KindOf(parameter.type), static_cast<GLsizei>(count), value->floats.data());
  }
}

bool Effects::Apply(const DrawState& state) {
  Pass* pass = PassFor(state.effect, AlphaTestOn(state));
  if (!pass || !pass->built) return false;
  cache_.UseProgram(pass->program.Name());
  pass->program.SetDeviceUniforms(state);
  Upload(state, *pass);
  return true;
}

bool Effects::Compile(EffectProgram& effect, std::string& errors) {
  errors.clear();
  for (UINT t = 0; t < effect.techniques.size(); ++t) {
    for (UINT p = 0; p < effect.techniques[t].passes.size(); ++p) {
      // The variant with the alpha test differs only by its last line; it is built when first drawn.
      const Pass* pass = PassFor(EffectBinding{&effect, t, p, nullptr}, false);
      if (pass && !pass->built) errors += pass->program.Error() + "\n";
    }
  }
  return errors.empty();
}

void Effects::Release(EffectProgram& effect) {
  for (void*& slot : effect.gpu) {
    auto* pass = static_cast<Pass*>(slot);
    if (pass) pass->program.Release();
    delete pass;
    slot = nullptr;
  }
  effect.gpu.clear();
  cache_.Invalidate();
}

}  // namespace platform::gl
