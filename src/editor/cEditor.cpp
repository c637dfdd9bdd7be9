#include "editor/cEditor.h"

#include <algorithm>
#include <initializer_list>

#include "editor/Process.h"
#include "base/cException.h"
#include "platform/PassTiming.h"
#include "scene/cResourceManager.h"

namespace {

cEditor* instance = nullptr;

constexpr const wchar_t* kDirectXFailure =
    L"Failed to initialize DirectX. Please check the minimum system requirements for running Brinora Editor. "
    L"Make sure you have latest video card drivers and DirectX9c installed";

[[noreturn]] void FailDirectX() { throw cException(kDirectXFailure); }

// Font heights scale with the display width up to a limit, computed in single
// precision and truncated.
int FontHeight(UINT width, float scale, float limit) {
  return static_cast<int>(std::min(limit, static_cast<float>(width) * scale / 1024.0f));
}

struct RenderStateValue {
  D3DRENDERSTATETYPE state;
  DWORD value;
};
constexpr RenderStateValue kBlendStates[] = {
    {D3DRS_ALPHATESTENABLE, TRUE},          {D3DRS_ALPHAREF, 0},
    {D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL}, {D3DRS_ALPHABLENDENABLE, TRUE},
    {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},    {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA},
};

struct StageStateValue {
  D3DTEXTURESTAGESTATETYPE type;
  DWORD value;
};
constexpr StageStateValue kStage0States[] = {
    {D3DTSS_ALPHAOP, D3DTOP_MODULATE},  {D3DTSS_COLOROP, D3DTOP_SELECTARG1}, {D3DTSS_COLORARG1, D3DTA_TEXTURE},
    {D3DTSS_ALPHAARG1, D3DTA_TEXTURE}, {D3DTSS_ALPHAARG2, D3DTA_DIFFUSE},
};

// The same value for each state type on samplers 0 and 1.
bool SetSamplers(IDirect3DDevice9* device, std::initializer_list<D3DSAMPLERSTATETYPE> types, DWORD value) {
  for (DWORD sampler = 0; sampler < 2; ++sampler) {
    for (D3DSAMPLERSTATETYPE type : types) {
      if (FAILED(device->SetSamplerState(sampler, type, value))) return false;
    }
  }
  return true;
}

}  // namespace

int cEditor::SmallFontHeight(UINT width) { return FontHeight(width, 17.6f, 16.0f); }
int cEditor::LargeFontHeight(UINT width) { return FontHeight(width, 22.0f, 20.0f); }

cEditor* cEditor::Instance() {
  if (instance == nullptr) instance = new cEditor;
  return instance;
}

void cEditor::DeleteInstance() {
  delete instance;
  instance = nullptr;
}

cEditor::cEditor() { timers.movement.Reset(); }

cEditor::~cEditor() {
  DeleteComponents();  // while the device they were made on still exists
  if (d3d) d3d->Release();
  if (device) device->Release();
  keyEvents.clear();
  displayModes.clear();
  DeleteMenus();
  delete camera;
  delete resourceCache;  // its entries belong to the resource manager
}

HRESULT cEditor::Init(HWND window) {
  CreateDirect3D();
  FillPresentParameters(window);
  CreateDevice(window);
  cResourceManager::Instance()->SetDevice(device, &presentParameters);
  ListDisplayModes();
  SetUpScene();
  return SetDeviceStates() ? S_OK : E_FAIL;
}

void cEditor::CreateDirect3D() {
  d3d = Direct3DCreate9(D3D_SDK_VERSION);
  if (d3d == nullptr) FailDirectX();
}

void cEditor::FillPresentParameters(HWND window) {
  presentParameters = D3DPRESENT_PARAMETERS{};
  D3DCAPS9 caps{};
  if (FAILED(d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps))) FailDirectX();
  presentParameters.hDeviceWindow = window;
  presentParameters.BackBufferCount = 2;
  presentParameters.SwapEffect = D3DSWAPEFFECT_FLIP;
  presentParameters.Windowed = FALSE;
  // Immediate presentation keeps the frame rate free of the display refresh.
  if (caps.PresentationIntervals & D3DPRESENT_INTERVAL_IMMEDIATE) {
    presentParameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
  } else if (caps.PresentationIntervals & D3DPRESENT_INTERVAL_ONE) {
    presentParameters.PresentationInterval = D3DPRESENT_INTERVAL_ONE;
  } else {
    FailDirectX();
  }
  presentParameters.EnableAutoDepthStencil = TRUE;
  presentParameters.AutoDepthStencilFormat = D3DFMT_D16;
  if (FAILED(d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &displayMode))) FailDirectX();
  presentParameters.BackBufferWidth = displayMode.Width;
  presentParameters.BackBufferHeight = displayMode.Height;
  presentParameters.FullScreen_RefreshRateInHz = displayMode.RefreshRate;
  const bool alphaBackBuffer =
      SUCCEEDED(d3d->CheckDeviceType(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, displayMode.Format, D3DFMT_A8R8G8B8, FALSE));
  presentParameters.BackBufferFormat = alphaBackBuffer ? D3DFMT_A8R8G8B8 : displayMode.Format;
}

void cEditor::CreateDevice(HWND window) {
  const auto create = [&](DWORD behavior) {
    return SUCCEEDED(
        d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, behavior, &presentParameters, &device));
  };
  if (create(D3DCREATE_HARDWARE_VERTEXPROCESSING) || create(D3DCREATE_HARDWARE_VERTEXPROCESSING)) return;
  presentParameters.BackBufferCount = 1;
  if (!create(D3DCREATE_SOFTWARE_VERTEXPROCESSING)) FailDirectX();
}

void cEditor::ListDisplayModes() {
  const UINT count = d3d->GetAdapterModeCount(D3DADAPTER_DEFAULT, D3DFMT_X8R8G8B8);
  for (UINT i = 0; i < count; ++i) {
    D3DDISPLAYMODE mode{};
    if (SUCCEEDED(d3d->EnumAdapterModes(D3DADAPTER_DEFAULT, D3DFMT_X8R8G8B8, i, &mode)) && mode.Width >= 800) {
      displayModes.push_back(mode);
    }
  }
}

void cEditor::SetUpScene() { SetUpSelectionScreen(); }

void cEditor::CheckCapabilities() {
  D3DCAPS9 caps{};
  if (device == nullptr || FAILED(device->GetDeviceCaps(&caps))) {
    supported = Capabilities{false, false, false, false};
    return;
  }
  supported.ffp = caps.MaxSimultaneousTextures >= 2 && caps.MaxTextureBlendStages >= 2 &&
                  (caps.TextureOpCaps & D3DTEXOPCAPS_BLENDDIFFUSEALPHA) != 0 && caps.MaxStreams >= 2;
  supported.sm1 = caps.VertexShaderVersion >= D3DVS_VERSION(1, 1) && caps.PixelShaderVersion >= D3DPS_VERSION(1, 4) &&
                  caps.MaxStreams >= 2;
  supported.sm2 = caps.VertexShaderVersion >= D3DVS_VERSION(2, 0) && caps.PixelShaderVersion >= D3DPS_VERSION(2, 0);
  supported.sm3 = caps.VertexShaderVersion >= D3DVS_VERSION(3, 0) && caps.PixelShaderVersion >= D3DPS_VERSION(3, 0) &&
                  SupportsVertexTextures(caps);
}

bool cEditor::SupportsVertexTextures(const D3DCAPS9& caps) {
  const auto supports = [&](D3DFORMAT format) {
    return SUCCEEDED(d3d->CheckDeviceFormat(caps.AdapterOrdinal, caps.DeviceType, displayMode.Format,
                                            D3DUSAGE_QUERY_VERTEXTEXTURE, D3DRTYPE_TEXTURE, format));
  };
  return supports(D3DFMT_A32B32G32R32F) || supports(D3DFMT_R32F);
}

bool cEditor::SetProjection() {
  const float aspect = static_cast<float>(displayMode.Width) / static_cast<float>(displayMode.Height);
  D3DXMatrixPerspectiveFovLH(&projection, 60.0f * 0.017453292f, aspect, 1.0f, 16384.0f);
  return device != nullptr && SUCCEEDED(device->SetTransform(D3DTS_PROJECTION, &projection));
}

bool cEditor::SetDeviceStates() {
  if (device == nullptr || FAILED(device->SetRenderState(D3DRS_LIGHTING, FALSE))) return false;
  if (!SetSamplers(device, {D3DSAMP_MAGFILTER, D3DSAMP_MINFILTER, D3DSAMP_MIPFILTER}, D3DTEXF_LINEAR)) return false;
  for (const RenderStateValue& setting : kBlendStates) {
    if (FAILED(device->SetRenderState(setting.state, setting.value))) return false;
  }
  for (const StageStateValue& setting : kStage0States) {
    if (FAILED(device->SetTextureStageState(0, setting.type, setting.value))) return false;
  }
  if (!SetSamplers(device, {D3DSAMP_ADDRESSU, D3DSAMP_ADDRESSV}, D3DTADDRESS_CLAMP)) return false;
  return SetProjection();
}

HRESULT cEditor::Frame() {
  if (device == nullptr) return E_FAIL;
  if (modeChangePending) {
    modeChangePending = false;
    if (!ChangeDisplayMode(pendingMode)) return E_FAIL;
  }
  const HRESULT hr = device->TestCooperativeLevel();
  if (hr == D3DERR_DEVICELOST) {
    deviceLost = true;
    return S_OK;
  }
  if (deviceLost && hr == D3DERR_DEVICENOTRESET) ResetLostDevice();
  if (deviceLost) return S_OK;  // nothing is drawn until a reset succeeds
  DrawFrame();
  if (device->TestCooperativeLevel() == D3DERR_DEVICELOST) deviceLost = true;
  return S_OK;
}

bool cEditor::ResetLostDevice() {
  waterScene.OnLostDevice(device);
  cResourceManager* manager = cResourceManager::Instance();
  manager->OnLostDeviceAll();
  const HRESULT hr = manager->Reset();
  // Only the reset decides: a device that was reset must not stay flagged as lost.
  const bool statesSet = SetDeviceStates();
  if (FAILED(hr)) return false;
  waterScene.OnResetDevice(device);
  manager->OnResetDeviceAll();
  deviceLost = false;
  return statesSet;
}

bool cEditor::DrawFrame() {
  if (FAILED(device->BeginScene())) return false;
  const bool cleared =
      SUCCEEDED(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0));
  if (cleared) {
    platform::BeginPass("update (CPU)");
    Update();
    RenderScene();
  }
  const bool ended = SUCCEEDED(device->EndScene());
  if (screenshotRequested && cleared && ended) SaveScreenshot();
  platform::BeginPass("present");
  const bool presented = SUCCEEDED(device->Present(nullptr, nullptr, nullptr, nullptr));
  platform::BeginPass("other");
  return cleared && ended && presented;
}

void cEditor::DrawFps() {
  const wchar_t* text = frameRate.Count(timers.frameRate);
  if (smallFont) smallFont->DrawText(text, 60, 10, 200, 70, DT_WORDBREAK, 0xFFFFFFFF);
}

bool cEditor::ChangeDisplayMode(D3DDISPLAYMODE mode) {
  if (device == nullptr) return false;
  presentParameters.BackBufferWidth = mode.Width;
  presentParameters.BackBufferHeight = mode.Height;
  waterScene.OnLostDevice(device);
  cResourceManager::Instance()->OnLostDeviceAll();
  if (FAILED(device->Reset(&presentParameters))) {
    // Back to the mode the device had.
    presentParameters.BackBufferWidth = displayMode.Width;
    presentParameters.BackBufferHeight = displayMode.Height;
    if (SUCCEEDED(device->Reset(&presentParameters))) return RestoreDevice();
    // The device now waits for a reset: let the next frame's recovery do it.
    deviceLost = true;
    return false;
  }
  displayMode = mode;
  const bool restored = RestoreDevice();
  return smallFont->Create(device, SmallFontHeight(mode.Width), L"arial") &&
         largeFont->Create(device, LargeFontHeight(mode.Width), L"tahoma") && restored;
}

// Every resource comes back after a successful reset, even if a default state was refused.
bool cEditor::RestoreDevice() {
  cResourceManager* manager = cResourceManager::Instance();
  manager->SetDevice(device, &presentParameters);
  const bool statesSet = SetDeviceStates();
  waterScene.OnResetDevice(device);
  manager->OnResetDeviceAll();
  return statesSet;
}

void cEditor::AddKey(unsigned code) {
  if (std::find(keyEvents.begin(), keyEvents.end(), code) == keyEvents.end()) keyEvents.push_back(code);
}

void cEditor::RemoveKey(unsigned code) {
  const auto found = std::find(keyEvents.begin(), keyEvents.end(), code);
  if (found != keyEvents.end()) keyEvents.erase(found);
}

void cEditor::TypeKey(TypedKey key) {
  if (typedKeys.size() < kMaxTypedKeys) typedKeys.push_back(key);
}
