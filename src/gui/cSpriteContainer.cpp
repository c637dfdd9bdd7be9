#include "gui/cSpriteContainer.h"

#include <algorithm>
#include <cstring>

#include "scene/D3DTexture.h"

static_assert(sizeof(cSpriteContainer::Vertex) == 24, "the FVF layout is 24 bytes");

cSpriteContainer::cSpriteContainer(IDirect3DDevice9* device, cResourceManager* manager, UINT capacity)
    : iResource(manager), capacity_(std::min(capacity, kMaxCapacity)), vertices_(capacity_ * 4) {
  sprites_.reserve(capacity_);
  CreateBuffer(device, 0, D3DPOOL_MANAGED);
}

cSpriteContainer::~cSpriteContainer() { Destroy(); }

void cSpriteContainer::AddSprite(const SpriteRecord& record) {
  if (sprites_.size() + 1 >= capacity_) return;
  sprites_.push_back(record);
}

void cSpriteContainer::CreateBuffer(IDirect3DDevice9* device, DWORD usage, D3DPOOL pool) {
  Destroy();
  if (!device || capacity_ == 0) return;
  if (FAILED(device->CreateVertexBuffer(BufferBytes(), usage, kFVF, pool, &buffer_, nullptr))) buffer_ = nullptr;
}

void cSpriteContainer::OnLostDevice() { Destroy(); }

void cSpriteContainer::Destroy() {
  if (buffer_) buffer_->Release();
  buffer_ = nullptr;
}

// The buffer is rewritten every frame, so after a reset it lives in the
// default pool as a dynamic buffer.
void cSpriteContainer::OnResetDevice(IDirect3DDevice9* device) {
  CreateBuffer(device, D3DUSAGE_DYNAMIC, D3DPOOL_DEFAULT);
}

// Each record becomes a quad in the plane 1.001 units in front of the camera,
// spanned by the camera's right and up axes, so GUI coordinates land on the
// screen wherever the camera looks.
void cSpriteContainer::BuildQuads(const D3DXVECTOR3& position, const D3DXMATRIX& view) {
  const D3DXVECTOR3 right(view._11, view._21, view._31);
  const D3DXVECTOR3 up(view._12, view._22, view._32);
  const D3DXVECTOR3 forward = D3DXVECTOR3(view._13, view._23, view._33) * 1.001f;
  const D3DXVECTOR3 origin = position + forward;
  auto corner = [&](float x, float y, D3DCOLOR color, float u, float v) {
    const D3DXVECTOR3 p = origin + right * x + up * y;
    return Vertex{p.x, p.y, p.z, color, u, v};
  };
  for (size_t i = 0; i < sprites_.size(); ++i) {
    const SpriteRecord& s = sprites_[i];
    Vertex* quad = &vertices_[i * 4];
    quad[0] = corner(s.x1, s.y2, s.color, 0.0f, 1.0f);
    quad[1] = corner(s.x1, s.y1, s.color, 0.0f, 0.0f);
    quad[2] = corner(s.x2, s.y2, s.color, 1.0f, 1.0f);
    quad[3] = corner(s.x2, s.y1, s.color, 1.0f, 0.0f);
  }
}

HRESULT cSpriteContainer::Upload() {
  void* data = nullptr;
  HRESULT hr = buffer_->Lock(0, 0, &data, 0);
  if (FAILED(hr)) return hr;
  std::memcpy(data, vertices_.data(), sprites_.size() * 4 * sizeof(Vertex));
  return buffer_->Unlock();
}

HRESULT cSpriteContainer::DrawQuads(IDirect3DDevice9* device) {
  for (size_t i = 0; i < sprites_.size(); ++i) {
    IDirect3DTexture9* texture = sprites_[i].texture ? sprites_[i].texture->texture : nullptr;
    HRESULT hr = device->SetTexture(0, texture);
    if (SUCCEEDED(hr)) hr = device->SetTextureStageState(0, D3DTSS_COLORARG1, texture ? D3DTA_TEXTURE : D3DTA_DIFFUSE);
    if (SUCCEEDED(hr)) hr = device->DrawPrimitive(D3DPT_TRIANGLESTRIP, static_cast<UINT>(i * 4), 2);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT cSpriteContainer::Render(IDirect3DDevice9* device, const D3DXVECTOR3* cameraPosition, const D3DXMATRIX* view) {
  if (sprites_.empty()) return S_OK;
  if (!device || !cameraPosition || !view || !buffer_) return D3DERR_INVALIDCALL;
  BuildQuads(*cameraPosition, *view);
  HRESULT hr = Upload();
  if (SUCCEEDED(hr)) hr = device->SetStreamSource(0, buffer_, 0, sizeof(Vertex));
  if (SUCCEEDED(hr)) hr = device->SetFVF(kFVF);
  if (SUCCEEDED(hr)) hr = device->SetRenderState(D3DRS_ZENABLE, FALSE);
  if (FAILED(hr)) return hr;
  hr = DrawQuads(device);
  // The depth test comes back even when a draw failed.
  HRESULT restored = device->SetRenderState(D3DRS_ZENABLE, TRUE);
  return FAILED(hr) ? hr : restored;
}
