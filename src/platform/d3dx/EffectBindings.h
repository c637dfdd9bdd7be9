// The effect pass bound on each device, kept by the D3DX objects that bind
// one, so a font can put it back after drawing and a dying effect can unbind
// itself.
#pragma once

#include "platform/device/DeviceHooks.h"

namespace platform::d3dx {

// SetEffectBinding, remembered for BoundEffect.
void BindEffect(IDirect3DDevice9* device, const EffectBinding& binding);
EffectBinding BoundEffect(IDirect3DDevice9* device);
// Binds fixed function wherever `effect` is bound.
void UnbindEffect(const EffectProgram* effect);

}  // namespace platform::d3dx
