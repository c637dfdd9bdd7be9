// A D3DTexture that shows a texture owned by someone else (a GUI preview of a
// component's texture). It never registers with a resource manager and never
// releases the texture, so the owner's release is the only one.
#pragma once

#include "scene/D3DTexture.h"

class cBorrowedTexture : public D3DTexture {
 public:
  cBorrowedTexture() : D3DTexture(nullptr) {}
  // Forget the pointer before the base destructor would release it.
  ~cBorrowedTexture() override { texture = nullptr; }

  // Nothing is loaded into a borrowed texture.
  HRESULT Load(const wchar_t*, IDirect3DDevice9*) override { return D3DERR_INVALIDCALL; }
  void Destroy() override { texture = nullptr; }
};
