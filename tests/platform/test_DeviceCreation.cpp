#include "PlatformFixture.h"

namespace platform::testing {
namespace {

class DeviceCreation : public ::testing::Test {
 protected:
  void Use(const HeadlessProfile& profile) {
    if (d3d) d3d->Release();
    UseHeadlessBackend(profile);
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
  }
  void SetUp() override { Use(HeadlessProfile::ShaderModel3()); }
  void TearDown() override { d3d->Release(); }
  HRESULT Create(DWORD flags, IDirect3DDevice9** device, D3DPRESENT_PARAMETERS parameters = FullScreenParameters(),
                 UINT adapter = D3DADAPTER_DEFAULT) {
    return d3d->CreateDevice(adapter, D3DDEVTYPE_HAL, parameters.hDeviceWindow, flags, &parameters, device);
  }
  D3DCAPS9 Caps() {
    D3DCAPS9 caps{};
    EXPECT_EQ(d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps), D3D_OK);
    return caps;
  }
  HRESULT CheckVertexTexture(D3DFORMAT format) {
    return d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_QUERY_VERTEXTEXTURE, D3DRTYPE_TEXTURE,
                                  format);
  }
  HRESULT CheckBackBuffer(D3DFORMAT format) {
    return d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, format, FALSE);
  }
  IDirect3D9* d3d = nullptr;
};

TEST_F(DeviceCreation, ExactlyOneKindOfVertexProcessing) {
  IDirect3DDevice9* device = nullptr;
  EXPECT_EQ(Create(0, &device), D3DERR_INVALIDCALL);
  EXPECT_EQ(Create(D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_SOFTWARE_VERTEXPROCESSING, &device),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(device, nullptr);
  for (DWORD flags : {D3DCREATE_HARDWARE_VERTEXPROCESSING, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                      D3DCREATE_MIXED_VERTEXPROCESSING | D3DCREATE_FPU_PRESERVE}) {
    ASSERT_EQ(Create(flags, &device), D3D_OK) << flags;
    device->Release();
  }
}

TEST_F(DeviceCreation, UnknownSdkVersionsNullArgumentsAndBadPresentParametersAreRefused) {
  EXPECT_EQ(Direct3DCreate9(31), nullptr);
  EXPECT_EQ(Direct3DCreate9(D3D_SDK_VERSION + 1), nullptr);
  IDirect3DDevice9* device = nullptr;
  D3DPRESENT_PARAMETERS parameters = FullScreenParameters();
  const DWORD hardware = D3DCREATE_HARDWARE_VERTEXPROCESSING;
  EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, hardware, nullptr, &device), D3DERR_INVALIDCALL);
  EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, hardware, &parameters, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(Create(hardware, &device, parameters, 1), D3DERR_INVALIDCALL);
  const auto refused = [&](auto change) {
    D3DPRESENT_PARAMETERS bad = FullScreenParameters();
    change(bad);
    return d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, hardware, &bad, &device) == D3DERR_INVALIDCALL;
  };
  EXPECT_TRUE(refused([](D3DPRESENT_PARAMETERS& p) { p.hDeviceWindow = nullptr; }));
  EXPECT_TRUE(refused([](D3DPRESENT_PARAMETERS& p) { p.BackBufferWidth = 1000; }));  // not a listed mode
  EXPECT_TRUE(refused([](D3DPRESENT_PARAMETERS& p) { p.BackBufferCount = 4; }));
  EXPECT_TRUE(refused([](D3DPRESENT_PARAMETERS& p) { p.PresentationInterval = D3DPRESENT_INTERVAL_TWO; }));
  EXPECT_TRUE(refused([](D3DPRESENT_PARAMETERS& p) { p.AutoDepthStencilFormat = D3DFMT_A8R8G8B8; }));
  EXPECT_TRUE(refused([](D3DPRESENT_PARAMETERS& p) { p.BackBufferFormat = D3DFMT_R32F; }));
}

TEST_F(DeviceCreation, CompletesWindowedParameters) {
  D3DPRESENT_PARAMETERS parameters{};
  parameters.Windowed = TRUE;
  parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
  IDirect3DDevice9* device = nullptr;
  const HWND window = reinterpret_cast<HWND>(0x20);
  ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, &device),
            D3D_OK);
  EXPECT_EQ(std::tuple(parameters.BackBufferWidth, parameters.BackBufferFormat, parameters.BackBufferCount,
                       parameters.hDeviceWindow),
            std::tuple(1024u, D3DFMT_X8R8G8B8, 1u, window));
  device->Release();
}

TEST_F(DeviceCreation, ScriptedFailuresAndSoftwareOnlyAdapters) {
  HeadlessProfile profile = HeadlessProfile::ShaderModel3();
  profile.createDeviceFailures = 2;
  profile.hardwareVertexProcessing = false;
  Use(profile);
  IDirect3DDevice9* device = nullptr;
  for (DWORD flags : {D3DCREATE_SOFTWARE_VERTEXPROCESSING, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                      D3DCREATE_HARDWARE_VERTEXPROCESSING, D3DCREATE_MIXED_VERTEXPROCESSING}) {
    EXPECT_TRUE(FAILED(Create(flags, &device))) << flags;
  }
  ASSERT_EQ(Create(D3DCREATE_SOFTWARE_VERTEXPROCESSING, &device), D3D_OK);
  device->Release();
}

TEST_F(DeviceCreation, AdapterModes) {
  D3DDISPLAYMODE mode;
  ASSERT_EQ(d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode), D3D_OK);
  EXPECT_EQ(std::tuple(mode.Width, mode.Height, mode.Format), std::tuple(1024u, 768u, D3DFMT_X8R8G8B8));
  ASSERT_EQ(d3d->GetAdapterModeCount(D3DADAPTER_DEFAULT, D3DFMT_X8R8G8B8), 4u);
  EXPECT_EQ(d3d->GetAdapterModeCount(D3DADAPTER_DEFAULT, D3DFMT_R5G6B5), 0u);
  const UINT widths[] = {640, 800, 1024, 1280};
  for (UINT i = 0; i < 4; ++i) {
    ASSERT_EQ(d3d->EnumAdapterModes(D3DADAPTER_DEFAULT, D3DFMT_X8R8G8B8, i, &mode), D3D_OK);
    EXPECT_EQ(std::tuple(mode.Width, mode.Format), std::tuple(widths[i], D3DFMT_X8R8G8B8));
  }
  EXPECT_EQ(d3d->EnumAdapterModes(D3DADAPTER_DEFAULT, D3DFMT_X8R8G8B8, 4, &mode), D3DERR_INVALIDCALL);
}

// Shader versions, streams, vertex texture formats and a back buffer with alpha, by profile.
TEST_F(DeviceCreation, CapsAndFormatChecksFollowTheProfile) {
  HeadlessProfile opaqueBackBuffer = HeadlessProfile::ShaderModel3();
  opaqueBackBuffer.backBufferA8R8G8B8 = false;
  const DWORD vs3 = D3DVS_VERSION(3, 0), ps3 = D3DPS_VERSION(3, 0);
  const HRESULT ok = D3D_OK, no = D3DERR_NOTAVAILABLE;
  const struct {
    const char* name;
    HeadlessProfile profile;
    DWORD vertexShader, pixelShader, streams;
    HRESULT r32fVertexTexture, a32VertexTexture, r32fTexture, alphaBackBuffer;
  } cases[] = {
      {"shader model 3", HeadlessProfile::ShaderModel3(), vs3, ps3, 4, ok, ok, ok, ok},
      {"shader model 2", HeadlessProfile::ShaderModel2(), D3DVS_VERSION(2, 0), D3DPS_VERSION(2, 0), 4, no, no, ok, ok},
      {"shader model 1", HeadlessProfile::ShaderModel1(), D3DVS_VERSION(1, 1), D3DPS_VERSION(1, 4), 4, no, no, ok, ok},
      {"fixed function", HeadlessProfile::FixedFunction(), 0, 0, 4, no, no, ok, ok},
      {"one stream", HeadlessProfile::OneStream(), vs3, ps3, 1, ok, ok, ok, ok},
      {"no R32F", HeadlessProfile::NoR32F(), vs3, ps3, 4, no, ok, no, ok},
      {"opaque back buffer", opaqueBackBuffer, vs3, ps3, 4, ok, ok, ok, no},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Use(c.profile);
    const D3DCAPS9 caps = Caps();
    EXPECT_EQ(std::tuple(caps.VertexShaderVersion, caps.PixelShaderVersion, caps.MaxStreams),
              std::tuple(c.vertexShader, c.pixelShader, c.streams));
    EXPECT_EQ(std::tuple(CheckVertexTexture(D3DFMT_R32F), CheckVertexTexture(D3DFMT_A32B32G32R32F),
                         d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, D3DFMT_R32F),
                         CheckBackBuffer(D3DFMT_A8R8G8B8), CheckBackBuffer(D3DFMT_X8R8G8B8)),
              std::tuple(c.r32fVertexTexture, c.a32VertexTexture, c.r32fTexture, c.alphaBackBuffer, ok));
  }
}

TEST_F(DeviceCreation, CapsAndChecksOfTheShaderModel3Adapter) {
  D3DCAPS9 caps = Caps();
  EXPECT_TRUE(caps.TextureOpCaps & D3DTEXOPCAPS_BLENDDIFFUSEALPHA);
  EXPECT_TRUE(caps.PresentationIntervals & D3DPRESENT_INTERVAL_IMMEDIATE);
  EXPECT_EQ(d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_REF, &caps), D3DERR_NOTAVAILABLE);
  EXPECT_EQ(CheckVertexTexture(D3DFMT_A8R8G8B8), D3DERR_NOTAVAILABLE);
  EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_RENDERTARGET | D3DUSAGE_AUTOGENMIPMAP,
                                   D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8),
            D3D_OK);
  EXPECT_EQ(d3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_D16), D3D_OK);
  EXPECT_EQ(d3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_L8),
            D3DERR_NOTAVAILABLE);
  EXPECT_EQ(d3d->CheckDeviceFormat(1, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8),
            D3DERR_INVALIDCALL);
}

TEST_F(DeviceCreation, ChildrenKeepTheDeviceAlive) {
  IDirect3DDevice9* device = nullptr;
  ASSERT_EQ(Create(D3DCREATE_HARDWARE_VERTEXPROCESSING, &device), D3D_OK);
  IDirect3DTexture9* texture = nullptr;
  ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
  ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
  EXPECT_EQ(device->Release(), 1u);  // the texture's reference
  IDirect3DDevice9* owner = nullptr;
  ASSERT_EQ(texture->GetDevice(&owner), D3D_OK);
  EXPECT_EQ(owner, device);
  owner->Release();
  EXPECT_EQ(texture->Release(), 0u);  // frees the texture, then the device that still binds it
}

using DeviceLoss = PlatformFixture;

TEST_F(DeviceLoss, LostOnceThenNotResetUntilAResetSucceeds) {
  EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
  headless::LoseDevice();
  EXPECT_EQ(device->Reset(&parameters), D3DERR_DEVICELOST);  // before the loss is reported
  EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
  EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
  EXPECT_EQ(Recorded().presents, 0);
  headless::FailResets(1);
  EXPECT_TRUE(FAILED(device->Reset(&parameters)));
  EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  EXPECT_EQ(Recorded().resets, 0);
  ASSERT_EQ(device->Reset(&parameters), D3D_OK);
  EXPECT_EQ(Recorded().resets, 1);
  EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
  EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  EXPECT_EQ(Recorded().presents, 1);
}

TEST_F(DeviceLoss, ResetIsRefusedWhileTheProgramHoldsDefaultPoolObjects) {
  IDirect3DTexture9* target = nullptr;
  ASSERT_EQ(device->CreateTexture(64, 64, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target,
                                  nullptr),
            D3D_OK);
  IDirect3DTexture9* managed = Texture(64, 64);
  IDirect3DSurface9* level = nullptr;
  ASSERT_EQ(target->GetSurfaceLevel(0, &level), D3D_OK);
  ASSERT_EQ(device->SetRenderTarget(0, level), D3D_OK);
  ASSERT_EQ(device->SetTexture(0, target), D3D_OK);
  IDirect3DSurface9* depth = nullptr;
  ASSERT_EQ(device->CreateDepthStencilSurface(64, 64, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0, TRUE, &depth, nullptr),
            D3D_OK);
  EXPECT_EQ(device->Reset(&parameters), D3DERR_INVALIDCALL);
  level->Release();
  target->Release();  // still bound as texture and render target: that is the device's business
  EXPECT_EQ(device->Reset(&parameters), D3DERR_INVALIDCALL);  // the depth surface is left
  depth->Release();
  IDirect3DSurface9* backBuffer = nullptr;
  ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
  EXPECT_EQ(device->Reset(&parameters), D3DERR_INVALIDCALL);
  backBuffer->Release();
  ASSERT_EQ(device->Reset(&parameters), D3D_OK);
  IDirect3DBaseTexture9* bound = managed;
  ASSERT_EQ(device->GetTexture(0, &bound), D3D_OK);
  EXPECT_EQ(bound, nullptr);
}

// The full-screen device's size is the screen's until it goes.
TEST_F(DeviceLoss, ResetTakesTheNewSizeForTheScreenTooAndRestoresDefaults) {
  D3DPRESENT_PARAMETERS odd = FullScreenParameters(1000, 700);  // no mode of the adapter: the old one stays
  EXPECT_EQ(device->Reset(&odd), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->Reset(nullptr), D3DERR_INVALIDCALL);
  D3DDISPLAYMODE mode;
  device->GetDisplayMode(0, &mode);
  EXPECT_EQ(std::tuple(mode.Width, GetSystemMetrics(SM_CXSCREEN)), std::tuple(1024u, 1024));
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetSamplerState(1, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
  device->SetFVF(D3DFVF_XYZ);
  D3DXMATRIX scaled;
  device->SetTransform(D3DTS_VIEW, D3DXMatrixScaling(&scaled, 2, 2, 2));
  D3DPRESENT_PARAMETERS smaller = FullScreenParameters(800, 600);
  ASSERT_EQ(device->Reset(&smaller), D3D_OK);
  EXPECT_EQ(std::tuple(RenderState(D3DRS_LIGHTING), RenderState(D3DRS_CULLMODE), StageState(0, D3DTSS_COLOROP),
                       SamplerState(1, D3DSAMP_MINFILTER), Fvf()),
            std::tuple(TRUE, D3DCULL_CCW, D3DTOP_MODULATE, D3DTEXF_POINT, 0u));
  D3DMATRIX view;
  device->GetTransform(D3DTS_VIEW, &view);
  EXPECT_EQ(view._11, 1.0f);
  IDirect3DSurface9 *backBuffer = nullptr, *target = nullptr;
  ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
  D3DSURFACE_DESC desc;
  backBuffer->GetDesc(&desc);
  device->GetRenderTarget(0, &target);
  EXPECT_EQ(target, backBuffer);
  target->Release();
  backBuffer->Release();
  device->GetDisplayMode(0, &mode);
  EXPECT_EQ(std::tuple(desc.Width, desc.Height, Viewport().Width, Viewport().Height, mode.Width),
            std::tuple(800u, 600u, 800u, 600u, 800u));
  EXPECT_EQ(std::tuple(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)), std::tuple(800, 600));
  ReleaseAll();
  EXPECT_EQ(std::tuple(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)), std::tuple(1024, 768));
}

}  // namespace
}  // namespace platform::testing
