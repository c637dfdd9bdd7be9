#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "../ScratchFolder.h"
#include "../platform/HeadlessDevice.h"
#include "normalmap/cNormalmapFDTex.h"

namespace normalmap::testing {
namespace {

class NormalmapFDTex : public platform::testing::HeadlessDevice {
 protected:
  void SetUp() override {
    HeadlessDevice::SetUp();
    ASSERT_EQ(D3DXCreateTexture(device, 512, 512, D3DX_DEFAULT, D3DUSAGE_AUTOGENMIPMAP, D3DFMT_A8R8G8B8,
                                D3DPOOL_MANAGED, &heightmapTexture), D3D_OK);
  }
  void TearDown() override {
    normalmap.reset();
    if (heightmapTexture) heightmapTexture->Release();
    HeadlessDevice::TearDown();
  }
  const platform::ParameterRecord* Parameter(const std::string& name) const {
    for (const auto& parameter : platform::Recorded().parameters) if (parameter.name == name) return &parameter;
    return nullptr;
  }
  static constexpr DWORD kTargetUsage = D3DUSAGE_RENDERTARGET | D3DUSAGE_AUTOGENMIPMAP;
  void ExpectTargetOfHeightmapSize() {
    ASSERT_NE(normalmap->GetTexture(), nullptr);
    D3DSURFACE_DESC desc;
    ASSERT_EQ(normalmap->GetTexture()->GetLevelDesc(0, &desc), D3D_OK);
    EXPECT_EQ(std::tuple(desc.Width, desc.Height, desc.Format, desc.Pool, desc.Usage),
              std::tuple(512u, 512u, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, kTargetUsage));
  }
  IDirect3DTexture9* heightmapTexture = nullptr;
  std::unique_ptr<cNormalmapFDTex> normalmap = std::make_unique<cNormalmapFDTex>();
};

TEST_F(NormalmapFDTex, NeedsShaderModel2AndRenderTargetTextures) {
  EXPECT_FALSE(normalmap->IsSupported(nullptr, device));
  platform::HeadlessProfile noTargets = platform::HeadlessProfile::ShaderModel2();
  noTargets.unsupportedFormats = {D3DFMT_A8R8G8B8};
  for (const auto& [profile, supported] :
       {std::pair{platform::HeadlessProfile::ShaderModel2(), true},
        std::pair{platform::HeadlessProfile::ShaderModel1(), false},
        std::pair{platform::HeadlessProfile::FixedFunction(), false}, std::pair{noTargets, false}}) {
    Start(profile);
    EXPECT_EQ(normalmap->IsSupported(d3d, device), supported);
  }
}

// One strip of two triangles under the effect, into the target, with the
// offsets of one heightmap texel; the previous targets are back afterwards.
TEST_F(NormalmapFDTex, WriteTextureDrawsOneEffectQuadIntoTheTarget) {
  EXPECT_FALSE(normalmap->Initialize(nullptr, d3d, device));
  EXPECT_FALSE(normalmap->Initialize(heightmapTexture, nullptr, device));
  ASSERT_TRUE(normalmap->Initialize(heightmapTexture, d3d, device));
  EXPECT_EQ(normalmap->GetResolution(), 512);
  ExpectTargetOfHeightmapSize();
  normalmap->SetAmplitude(2.5f);
  normalmap->SetMethod(7);
  IDirect3DSurface9 *backBuffer = nullptr, *depth = nullptr;
  ASSERT_EQ(device->GetRenderTarget(0, &backBuffer), D3D_OK);
  ASSERT_EQ(device->GetDepthStencilSurface(&depth), D3D_OK);
  platform::Recorded().Clear();
  ASSERT_EQ(device->BeginScene(), D3D_OK);
  ASSERT_TRUE(normalmap->WriteTexture(d3d, device));
  normalmap->SetMethod(1);
  ASSERT_TRUE(normalmap->WriteTexture(d3d, device));
  ASSERT_EQ(device->EndScene(), D3D_OK);
  const auto& draws = platform::Recorded().draws;
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_EQ(std::tuple(draws[0].type, draws[0].primitiveCount, draws[0].effect, draws[0].fvf),
            std::tuple(D3DPT_TRIANGLESTRIP, 2u, "shaders/cNormalmapFDTex.fx", DWORD{D3DFVF_TEX1}));
  EXPECT_EQ(std::tuple(draws[0].technique, draws[1].technique), std::tuple("forwardDifference", "centeredDifference"));
  for (const char* name : {"amplitude", "upOffset", "rightOffset", "defaultTexture"})
    ASSERT_TRUE(Parameter(name)) << name;
  using Values = std::vector<float>;
  EXPECT_EQ(std::tuple(Parameter("amplitude")->values, Parameter("upOffset")->values, Parameter("rightOffset")->values),
            std::tuple(Values{2.5f}, Values{0.0f, 0.001953125f}, Values{0.001953125f, 0.0f}));
  EXPECT_EQ(Parameter("defaultTexture")->texture, heightmapTexture);
  IDirect3DSurface9 *target = nullptr, *targetDepth = nullptr;
  ASSERT_EQ(device->GetRenderTarget(0, &target), D3D_OK);
  ASSERT_EQ(device->GetDepthStencilSurface(&targetDepth), D3D_OK);
  EXPECT_EQ(std::tuple(target, targetDepth), std::tuple(backBuffer, depth));
  for (IDirect3DSurface9* surface : {target, targetDepth, depth, backBuffer}) surface->Release();
}

// Without its effect file the map is not ready, so it has no resolution yet.
TEST_F(NormalmapFDTex, FailedInitializeLeavesTheResolutionUnset) {
  const bool initialized = [&] {
    const EmptyWorkingDirectory empty;
    return normalmap->Initialize(heightmapTexture, d3d, device);
  }();
  EXPECT_EQ(std::tuple(initialized, normalmap->GetResolution()), std::tuple(false, -1));
}

// The target is in the default pool: the device cannot be reset while it is
// held, and the reset brings it back at the heightmap texture's size.
TEST_F(NormalmapFDTex, DeviceResetRecreatesTheTarget) {
  ASSERT_TRUE(normalmap->Initialize(heightmapTexture, d3d, device));
  platform::headless::LoseDevice();
  EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
  EXPECT_FALSE(normalmap->OnLostDevice(nullptr));
  ASSERT_TRUE(normalmap->OnLostDevice(device));
  EXPECT_EQ(normalmap->GetTexture(), nullptr);
  ASSERT_EQ(device->Reset(&parameters), D3D_OK);
  ASSERT_TRUE(normalmap->OnResetDevice(device));
  ExpectTargetOfHeightmapSize();
  ASSERT_EQ(device->BeginScene(), D3D_OK);
  EXPECT_TRUE(normalmap->WriteTexture(d3d, device));
  ASSERT_EQ(device->EndScene(), D3D_OK);
}

}  // namespace
}  // namespace normalmap::testing
