// Render targets, depth surfaces, the viewport, scenes and clears.
#include <algorithm>

#include "platform/Platform.h"
#include "platform/device/Device.h"
#include "platform/device/DeviceHooks.h"
#include "platform/device/Surface.h"
#include "platform/device/Texture.h"

namespace platform {

void Device::ViewWholeTarget() {
  state_.viewport = {0, 0, state_.renderTarget->width, state_.renderTarget->height, 0.0f, 1.0f};
}

// One colour target only, as the capabilities say.
HRESULT Device::SetRenderTarget(DWORD index, IDirect3DSurface9* surface) {
  Surface* target = static_cast<Surface*>(surface);
  if (index != 0 || !target || !target->IsRenderTarget()) return D3DERR_INVALIDCALL;
  Rebind(renderTarget_, target);
  state_.renderTarget = &target->Data();
  ViewWholeTarget();
  return D3D_OK;
}

IDirect3DBaseTexture9* Device::TargetTexture() const {
  return renderTarget_ ? renderTarget_->Container() : nullptr;
}

HRESULT Device::GetRenderTarget(DWORD index, IDirect3DSurface9** surface) {
  if (index != 0 || !surface) return D3DERR_INVALIDCALL;
  renderTarget_->AddRef();
  *surface = renderTarget_;
  return D3D_OK;
}

HRESULT Device::SetDepthStencilSurface(IDirect3DSurface9* surface) {
  Surface* depth = static_cast<Surface*>(surface);
  if (depth && !depth->Data().depth) return D3DERR_INVALIDCALL;
  Rebind(depthStencil_, depth);
  state_.depthStencil = depth ? &depth->Data() : nullptr;
  return D3D_OK;
}

HRESULT Device::GetDepthStencilSurface(IDirect3DSurface9** surface) {
  if (!surface) return D3DERR_INVALIDCALL;
  *surface = depthStencil_;
  if (!depthStencil_) return D3DERR_NOTFOUND;
  depthStencil_->AddRef();
  return D3D_OK;
}

HRESULT Device::SetViewport(const D3DVIEWPORT9* viewport) {
  if (!viewport) return D3DERR_INVALIDCALL;
  const SurfaceData& target = *state_.renderTarget;
  if (uint64_t{viewport->X} + viewport->Width > target.width ||
      uint64_t{viewport->Y} + viewport->Height > target.height) {
    return D3DERR_INVALIDCALL;
  }
  state_.viewport = *viewport;
  return D3D_OK;
}

HRESULT Device::GetViewport(D3DVIEWPORT9* viewport) {
  if (!viewport) return D3DERR_INVALIDCALL;
  *viewport = state_.viewport;
  return D3D_OK;
}

HRESULT Device::BeginScene() {
  if (inScene_) return D3DERR_INVALIDCALL;
  inScene_ = true;
  return D3D_OK;
}

HRESULT Device::EndScene() {
  if (!inScene_) return D3DERR_INVALIDCALL;
  inScene_ = false;
  return D3D_OK;
}

HRESULT Device::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD) {
  constexpr DWORD kKnown = D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL;
  if ((count > 0 && !rects) || flags == 0 || (flags & ~kKnown) != 0) return D3DERR_INVALIDCALL;
  if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !depthStencil_) return D3DERR_INVALIDCALL;
  if ((flags & D3DCLEAR_STENCIL) && depthStencil_->Data().format != D3DFMT_D24S8) return D3DERR_INVALIDCALL;
  if ((flags & D3DCLEAR_ZBUFFER) && !(z >= 0.0f && z <= 1.0f)) return D3DERR_INVALIDCALL;
  ++Recorded().clears;
  if (IsRecording()) Recorded().clearCalls.push_back({flags, color, z, TargetTexture()});
  if (count == 0) {
    CurrentBackend().Clear(state_, flags, color, z);
  } else {
    ClearRects(count, rects, flags, color, z);
  }
  return D3D_OK;
}

// The backend clears the viewport, so each rectangle is cleared as a viewport
// of its own, clipped to the current one.
void Device::ClearRects(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z) {
  const D3DVIEWPORT9 viewport = state_.viewport;
  for (DWORD i = 0; i < count; ++i) {
    const LONG left = std::max<LONG>(rects[i].x1, static_cast<LONG>(viewport.X));
    const LONG top = std::max<LONG>(rects[i].y1, static_cast<LONG>(viewport.Y));
    const LONG right = std::min<LONG>(rects[i].x2, static_cast<LONG>(viewport.X + viewport.Width));
    const LONG bottom = std::min<LONG>(rects[i].y2, static_cast<LONG>(viewport.Y + viewport.Height));
    if (left >= right || top >= bottom) continue;
    state_.viewport = {static_cast<DWORD>(left), static_cast<DWORD>(top), static_cast<DWORD>(right - left),
                       static_cast<DWORD>(bottom - top), viewport.MinZ, viewport.MaxZ};
    CurrentBackend().Clear(state_, flags, color, z);
  }
  state_.viewport = viewport;
}

}  // namespace platform
