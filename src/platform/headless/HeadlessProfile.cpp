// The capability profiles of the headless backend.
#include "platform/Platform.h"

namespace platform {

HeadlessProfile HeadlessProfile::ShaderModel3() {
  HeadlessProfile profile;
  D3DCAPS9& caps = profile.caps;
  caps.DeviceType = D3DDEVTYPE_HAL;
  caps.AdapterOrdinal = D3DADAPTER_DEFAULT;
  caps.PresentationIntervals = D3DPRESENT_INTERVAL_IMMEDIATE | D3DPRESENT_INTERVAL_ONE;
  caps.MaxTextureWidth = 4096;
  caps.MaxTextureHeight = 4096;
  caps.TextureOpCaps = D3DTEXOPCAPS_DISABLE | D3DTEXOPCAPS_SELECTARG1 | D3DTEXOPCAPS_SELECTARG2 |
                       D3DTEXOPCAPS_MODULATE | D3DTEXOPCAPS_ADD | D3DTEXOPCAPS_BLENDDIFFUSEALPHA;
  caps.MaxTextureBlendStages = 8;
  caps.MaxSimultaneousTextures = 8;
  caps.MaxUserClipPlanes = 6;
  caps.MaxPrimitiveCount = 0xFFFFF;
  caps.MaxVertexIndex = 0xFFFFFF;
  caps.MaxStreams = 4;
  caps.MaxStreamStride = 255;
  caps.VertexShaderVersion = D3DVS_VERSION(3, 0);
  caps.MaxVertexShaderConst = 256;
  caps.PixelShaderVersion = D3DPS_VERSION(3, 0);
  for (const auto& [width, height] : {std::pair{640u, 480u}, {800u, 600u}, {1024u, 768u}, {1280u, 1024u}}) {
    profile.modes.push_back({width, height, 60, D3DFMT_X8R8G8B8});
  }
  return profile;
}

namespace {

// The shader model 3 card with older shaders and no vertex textures.
HeadlessProfile WithShaders(DWORD vertexShader, DWORD pixelShader) {
  HeadlessProfile profile = HeadlessProfile::ShaderModel3();
  profile.caps.VertexShaderVersion = vertexShader;
  profile.caps.PixelShaderVersion = pixelShader;
  profile.vertexTextures = false;
  return profile;
}

}  // namespace

HeadlessProfile HeadlessProfile::ShaderModel2() { return WithShaders(D3DVS_VERSION(2, 0), D3DPS_VERSION(2, 0)); }

HeadlessProfile HeadlessProfile::ShaderModel1() { return WithShaders(D3DVS_VERSION(1, 1), D3DPS_VERSION(1, 4)); }

HeadlessProfile HeadlessProfile::FixedFunction() {
  HeadlessProfile profile = WithShaders(0, 0);
  profile.caps.MaxVertexShaderConst = 0;
  return profile;
}

HeadlessProfile HeadlessProfile::OneStream() {
  HeadlessProfile profile = ShaderModel3();
  profile.caps.MaxStreams = 1;
  return profile;
}

HeadlessProfile HeadlessProfile::NoR32F() {
  HeadlessProfile profile = ShaderModel3();
  profile.unsupportedFormats.push_back(D3DFMT_R32F);
  return profile;
}

}  // namespace platform
