#include "platform/d3dx/EffectBindings.h"

#include <map>

namespace platform::d3dx {

namespace {

std::map<IDirect3DDevice9*, EffectBinding>& Bindings() {
  static std::map<IDirect3DDevice9*, EffectBinding> bindings;
  return bindings;
}

}  // namespace

void BindEffect(IDirect3DDevice9* device, const EffectBinding& binding) {
  SetEffectBinding(device, binding);
  if (binding.effect) {
    Bindings()[device] = binding;
  } else {
    Bindings().erase(device);
  }
}

EffectBinding BoundEffect(IDirect3DDevice9* device) {
  const auto found = Bindings().find(device);
  return found == Bindings().end() ? EffectBinding() : found->second;
}

void UnbindEffect(const EffectProgram* effect) {
  for (auto it = Bindings().begin(); it != Bindings().end();) {
    const auto next = std::next(it);
    if (it->second.effect == effect) BindEffect(it->first, EffectBinding());
    it = next;
  }
}

}  // namespace platform::d3dx
