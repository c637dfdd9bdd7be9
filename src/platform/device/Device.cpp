#include "platform/device/Device.h"

#include "platform/Platform.h"
#include "platform/device/Adapter.h"
#include "platform/device/IndexBuffer.h"
#include "platform/device/Surface.h"
#include "platform/device/Texture.h"
#include "platform/device/VertexBuffer.h"
#include "platform/device/VertexDeclaration.h"

namespace platform {

namespace {

const Device* fullScreenDevice = nullptr;

}  // namespace

bool ActiveFullScreenSize(UINT* width, UINT* height) {
  if (fullScreenDevice == nullptr || width == nullptr || height == nullptr) return false;
  return fullScreenDevice->FullScreenSize(width, height);
}

bool Device::FullScreenSize(UINT* width, UINT* height) const {
  if (parameters_.Windowed) return false;
  *width = parameters_.BackBufferWidth;
  *height = parameters_.BackBufferHeight;
  return true;
}

Device::Device(const D3DPRESENT_PARAMETERS& parameters)
    : parameters_(parameters), caps_(AdapterCaps(CurrentBackend())) {
  CreateImplicitSurfaces();
  SetDefaultStates();
  fullScreenDevice = this;
}

Device::~Device() {
  if (fullScreenDevice == this) fullScreenDevice = nullptr;
  UnbindAll();
  ReleaseImplicitSurfaces();
  CurrentBackend().DestroyDevice();
}

void Device::ChildReferenced(D3DPOOL pool) {
  AddRef();
  if (pool == D3DPOOL_DEFAULT) ++programDefaultObjects_;
}

void Device::ChildReleased(D3DPOOL pool) {
  if (pool == D3DPOOL_DEFAULT) --programDefaultObjects_;
  Release();
}

void Device::CreateImplicitSurfaces() {
  SurfaceData back;
  back.format = parameters_.BackBufferFormat;
  back.width = parameters_.BackBufferWidth;
  back.height = parameters_.BackBufferHeight;
  back.backBuffer = true;
  backBuffer_ = new Surface(*this, back, true);
  if (!parameters_.EnableAutoDepthStencil) return;
  SurfaceData depth;
  depth.format = parameters_.AutoDepthStencilFormat;
  depth.width = back.width;
  depth.height = back.height;
  depth.depth = true;
  autoDepth_ = new Surface(*this, depth, true);
}

void Device::ReleaseImplicitSurfaces() {
  Unbind(backBuffer_);
  Unbind(autoDepth_);
}

// Reset and destruction drop every binding, as Direct3D does.
void Device::UnbindAll() {
  for (Texture*& texture : textures_) Unbind(texture);
  for (Texture*& texture : vertexTextures_) Unbind(texture);
  for (VertexBuffer*& stream : streams_) Unbind(stream);
  Unbind(indices_);
  Unbind(declaration_);
  Unbind(renderTarget_);
  Unbind(depthStencil_);
  state_ = DrawState();
  fvf_ = 0;
}

HRESULT Device::TestCooperativeLevel() {
  const HRESULT hr = CurrentBackend().CooperativeLevel();
  return hr == D3D_OK && awaitingReset_ ? D3DERR_DEVICENOTRESET : hr;
}

HRESULT Device::Reset(D3DPRESENT_PARAMETERS* parameters) {
  if (!parameters) return D3DERR_INVALIDCALL;
  D3DPRESENT_PARAMETERS completed = *parameters;
  Backend& backend = CurrentBackend();
  if (FAILED(CompletePresentParameters(completed, parameters_.hDeviceWindow, backend))) return D3DERR_INVALIDCALL;
  // A refused or failed reset leaves the device lost, as Direct3D does.
  awaitingReset_ = true;
  if (programDefaultObjects_ > 0) return D3DERR_INVALIDCALL;
  const HRESULT hr = backend.Reset(completed);
  if (FAILED(hr)) return hr;
  awaitingReset_ = false;
  *parameters = completed;
  parameters_ = completed;
  UnbindAll();
  ReleaseImplicitSurfaces();
  CreateImplicitSurfaces();
  SetDefaultStates();
  inScene_ = false;
  ++Recorded().resets;
  return D3D_OK;
}

HRESULT Device::Present(const RECT*, const RECT*, HWND, const void*) {
  if (inScene_) return D3DERR_INVALIDCALL;
  Backend& backend = CurrentBackend();
  if (TestCooperativeLevel() != D3D_OK) return D3DERR_DEVICELOST;
  backend.Present();
  ++Recorded().presents;
  return D3D_OK;
}

HRESULT Device::GetDeviceCaps(D3DCAPS9* caps) {
  if (!caps) return D3DERR_INVALIDCALL;
  *caps = caps_;
  return D3D_OK;
}

HRESULT Device::GetDisplayMode(UINT swapChain, D3DDISPLAYMODE* mode) {
  if (swapChain != 0 || !mode) return D3DERR_INVALIDCALL;
  const D3DDISPLAYMODE desktop = CurrentBackend().DesktopMode();
  if (parameters_.Windowed) {
    *mode = desktop;
    return D3D_OK;
  }
  const UINT rate = parameters_.FullScreen_RefreshRateInHz;
  *mode = {parameters_.BackBufferWidth, parameters_.BackBufferHeight, rate ? rate : desktop.RefreshRate,
           desktop.Format};
  return D3D_OK;
}

HRESULT Device::GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE, IDirect3DSurface9** surface) {
  if (swapChain != 0 || index >= parameters_.BackBufferCount || !surface) return D3DERR_INVALIDCALL;
  backBuffer_->AddRef();
  *surface = backBuffer_;
  return D3D_OK;
}

}  // namespace platform
