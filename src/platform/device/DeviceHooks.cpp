#include "platform/device/DeviceHooks.h"

#include "platform/device/Device.h"
#include "platform/device/Texture.h"
#include "platform/headless/HeadlessBackend.h"

namespace platform {

void SetEffectBinding(IDirect3DDevice9* device, const EffectBinding& binding) {
  if (device) static_cast<Device*>(device)->SetEffectBinding(binding);
}

TextureData* TextureDataOf(IDirect3DBaseTexture9* texture) {
  return texture ? &static_cast<Texture*>(texture)->Data() : nullptr;
}

bool IsRecording() { return HasBackend() && dynamic_cast<headless::HeadlessBackend*>(&CurrentBackend()); }

}  // namespace platform
