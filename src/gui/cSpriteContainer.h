// Batches the GUI's images of one layer into quads that face the camera, one
// unit in front of it, and draws them with one vertex buffer.
#pragma once

#include <vector>

#include "gui/SpriteRecord.h"
#include "platform/d3dx9.h"
#include "scene/iResource.h"

class cResourceManager;

class cSpriteContainer : public iResource {
 public:
  static constexpr DWORD kFVF = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;
  // Keeps the vertex buffer's size sane whatever capacity is asked for.
  static constexpr UINT kMaxCapacity = 4096;

  struct Vertex {
    float x, y, z;
    D3DCOLOR color;
    float u, v;
  };

  // Registers with `manager` (if not null), which then owns the container.
  cSpriteContainer(IDirect3DDevice9* device, cResourceManager* manager, UINT capacity);
  ~cSpriteContainer() override;

  // Holds at most capacity - 1 records; further ones are dropped.
  void AddSprite(const SpriteRecord& record);
  void Clear() { sprites_.clear(); }
  HRESULT Render(IDirect3DDevice9* device, const D3DXVECTOR3* cameraPosition, const D3DXMATRIX* view);
  const std::vector<SpriteRecord>& GetSprites() const { return sprites_; }

  void OnLostDevice() override;
  void Destroy() override;
  void OnResetDevice(IDirect3DDevice9* device) override;

 private:
  UINT BufferBytes() const { return capacity_ * 4 * sizeof(Vertex); }
  void CreateBuffer(IDirect3DDevice9* device, DWORD usage, D3DPOOL pool);
  void BuildQuads(const D3DXVECTOR3& cameraPosition, const D3DXMATRIX& view);
  HRESULT Upload();
  HRESULT DrawQuads(IDirect3DDevice9* device);

  UINT capacity_;
  std::vector<SpriteRecord> sprites_;
  std::vector<Vertex> vertices_;  // capacity * 4, rebuilt by every Render
  IDirect3DVertexBuffer9* buffer_ = nullptr;
};
