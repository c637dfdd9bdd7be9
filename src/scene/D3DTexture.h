// A texture loaded from an image file into the managed pool, always 32-bit ARGB.
#pragma once

#include "scene/iResource.h"

class D3DTexture : public iResource {
 public:
  explicit D3DTexture(cResourceManager* manager) : iResource(manager) {}
  ~D3DTexture() override { Destroy(); }

  // Replaces the current image and name; the texture is null when loading fails.
  HRESULT Load(const wchar_t* fileName, IDirect3DDevice9* device) override;
  void OnLostDevice() override {}
  void Destroy() override;
  void OnResetDevice(IDirect3DDevice9*) override {}

  IDirect3DTexture9* texture = nullptr;
};
