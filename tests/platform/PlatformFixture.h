// The platform tests' device, with short ways to make what a test needs, read the device's states back, and see what
// reached the backend.
#pragma once

#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../ScratchFolder.h"
#include "HeadlessDevice.h"
#include "platform/headless/HeadlessBackend.h"

namespace platform::testing {

// A headless backend that keeps what reaches it.
class SpyBackend : public headless::HeadlessBackend {
 public:
  using HeadlessBackend::HeadlessBackend;
  void Draw(const DrawState& state, const DrawCall& call) override {
    states.push_back(state);
    calls.push_back(call);
  }
  void Clear(const DrawState& state, DWORD flags, D3DCOLOR color, float) override {
    clears.push_back({state.viewport, flags, color});
  }
  struct ClearCall {
    D3DVIEWPORT9 viewport;
    DWORD flags;
    D3DCOLOR color;
  };
  std::vector<DrawState> states;
  std::vector<DrawCall> calls;
  std::vector<ClearCall> clears;
};

// Installs a spy with the profile of the device's backend; the device keeps working on whichever backend is current.
inline SpyBackend* InstallSpy() {
  auto backend = std::make_unique<SpyBackend>(HeadlessProfile::ShaderModel3());
  SpyBackend* spy = backend.get();
  InstallBackend(std::move(backend));
  return spy;
}

// Writes `bytes` to the file `name` in `folder` and returns its path.
inline std::string WriteFile(const ScratchFolder& folder, const std::string& name, const std::string& bytes) {
  const std::string path = folder.File(name);
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

// The (input, expected) cases of tests/data/platform/`name`: a line "== expected" starts each case and the lines after
// it, up to the next case, are its input. Lines before the first case are comments.
inline std::vector<std::pair<std::string, std::string>> GoldenCases(const std::string& name) {
  std::ifstream file("tests/data/platform/" + name);
  std::vector<std::pair<std::string, std::string>> cases;
  for (std::string line; std::getline(file, line);) {
    if (line.rfind("== ", 0) == 0) {
      cases.emplace_back(std::string(), line.substr(3));
    } else if (!cases.empty()) {
      cases.back().first += line + "\n";
    }
  }
  EXPECT_FALSE(cases.empty()) << "no cases in " << name;
  return cases;
}

class PlatformFixture : public HeadlessDevice {
 protected:
  void TearDown() override {
    for (auto it = kept_.rbegin(); it != kept_.rend(); ++it) (*it)->Release();
    kept_.clear();
    HeadlessDevice::TearDown();
  }
  // Released after the test.
  template <class T>
  T* Keep(T* object) {
    if (object) kept_.push_back(object);
    return object;
  }
  IDirect3DTexture9* Texture(UINT width, UINT height, UINT levels = 1, DWORD usage = 0,
                             D3DFORMAT format = D3DFMT_A8R8G8B8, D3DPOOL pool = D3DPOOL_MANAGED) {
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(device->CreateTexture(width, height, levels, usage, format, pool, &texture, nullptr), D3D_OK);
    return Keep(texture);
  }
  IDirect3DTexture9* RenderTarget(UINT edge) {
    return Texture(edge, edge, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT);
  }
  IDirect3DVertexBuffer9* VertexBuffer(UINT bytes, DWORD fvf = 0) {
    IDirect3DVertexBuffer9* buffer = nullptr;
    EXPECT_EQ(device->CreateVertexBuffer(bytes, 0, fvf, D3DPOOL_MANAGED, &buffer, nullptr), D3D_OK);
    return Keep(buffer);
  }
  IDirect3DIndexBuffer9* IndexBuffer(UINT bytes, D3DFORMAT format = D3DFMT_INDEX16) {
    IDirect3DIndexBuffer9* buffer = nullptr;
    EXPECT_EQ(device->CreateIndexBuffer(bytes, 0, format, D3DPOOL_MANAGED, &buffer, nullptr), D3D_OK);
    return Keep(buffer);
  }
  // A spy installed, then `draws` run inside one scene.
  SpyBackend* SpyOn(const std::function<void()>& draws) {
    SpyBackend* spy = InstallSpy();
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    draws();
    EXPECT_EQ(device->EndScene(), D3D_OK);
    return spy;
  }
  // What a getter of the device gives back, with `arguments` before the value.
  template <class... Parameters, class... Arguments>
  DWORD Get(HRESULT (IDirect3DDevice9::*getter)(Parameters...), Arguments... arguments) {
    DWORD value = 0xDEAD;
    EXPECT_EQ((device->*getter)(arguments..., &value), D3D_OK);
    return value;
  }
  DWORD RenderState(D3DRENDERSTATETYPE state) { return Get(&IDirect3DDevice9::GetRenderState, state); }
  DWORD StageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type) {
    return Get(&IDirect3DDevice9::GetTextureStageState, stage, type);
  }
  DWORD SamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type) {
    return Get(&IDirect3DDevice9::GetSamplerState, sampler, type);
  }
  DWORD Fvf() { return Get(&IDirect3DDevice9::GetFVF); }
  D3DVIEWPORT9 Viewport() {
    D3DVIEWPORT9 viewport{};
    EXPECT_EQ(device->GetViewport(&viewport), D3D_OK);
    return viewport;
  }
  static D3DSURFACE_DESC LevelDesc(IDirect3DTexture9* texture, UINT level = 0) {
    D3DSURFACE_DESC desc{};
    EXPECT_EQ(texture->GetLevelDesc(level, &desc), D3D_OK);
    return desc;
  }
 private:
  std::vector<IUnknown*> kept_;
};

}  // namespace platform::testing
