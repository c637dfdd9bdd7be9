#include "platform/gl/FixedFunction.h"

#include "platform/gl/FixedFunctionShader.h"

namespace platform::gl {

FixedFunction::Entry& FixedFunction::EntryFor(const FixedFunctionKey& key) {
  auto found = programs_.find(key);
  if (found != programs_.end()) return *found->second;
  auto entry = std::make_unique<Entry>();
  const FixedFunctionSource source = GenerateFixedFunction(key);
  entry->built = entry->program.Build(source.vertex, source.fragment, "fixed-function shader");
  if (entry->built) {
    Program& program = entry->program;
    cache_.UseProgram(program.Name());
    entry->world = program.Location("uWorld");
    entry->viewProjection = program.Location("uViewProjection");
    entry->textureMatrices = program.Location("uTextureMatrix");
    for (UINT s = 0; s < key.stageCount; ++s) {
      program.SetInt(program.Location(("uTexture" + std::to_string(s)).c_str()), static_cast<int>(s));
    }
  }
  return *programs_.emplace(key, std::move(entry)).first->second;
}

bool FixedFunction::Apply(const DrawState& state) {
  const FixedFunctionKey key = MakeFixedFunctionKey(state);
  Entry& entry = EntryFor(key);
  if (!entry.built) return false;
  Program& program = entry.program;
  cache_.UseProgram(program.Name());
  program.SetDeviceUniforms(state);
  if (!key.pretransformed) {
    const D3DXMATRIX viewProjection = D3DXMATRIX(state.view) * D3DXMATRIX(state.projection);
    program.Set(entry.world, UniformKind::Mat4, 1, &state.world._11);
    program.Set(entry.viewProjection, UniformKind::Mat4, 1, &viewProjection._11);
  }
  program.Set(entry.textureMatrices, UniformKind::Mat4, key.stageCount, &state.textureTransforms[0]._11);
  for (UINT s = 0; s < key.stageCount; ++s) {
    if (key.stages[s].textured) textures_.Bind(static_cast<int>(s), state.textures[s], state.samplerStates[s]);
  }
  return true;
}

void FixedFunction::Release() {
  for (auto& [key, entry] : programs_) entry->program.Release();
  programs_.clear();
  cache_.Invalidate();
}

}  // namespace platform::gl
