// What the D3DX objects (effects, fonts, meshes, textures from files) need of the
// device front end beyond the public Direct3D interfaces.
#pragma once

#include "platform/device/Backend.h"

namespace platform {

// Draws that follow run under this effect pass (binding.effect null: fixed function).
// The values pointer must stay valid until the binding is replaced.
void SetEffectBinding(IDirect3DDevice9* device, const EffectBinding& binding);

// The memory behind a texture created by the front end; null for null.
TextureData* TextureDataOf(IDirect3DBaseTexture9* texture);

// True while the process records what is drawn (the headless backend).
bool IsRecording();

}  // namespace platform
