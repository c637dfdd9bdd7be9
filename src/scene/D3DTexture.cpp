#include "scene/D3DTexture.h"

#include "platform/d3dx9.h"

HRESULT D3DTexture::Load(const wchar_t* fileName, IDirect3DDevice9* device) {
  Destroy();
  SetFileName(fileName);
  return D3DXCreateTextureFromFileExW(device, fileName, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                      D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr,
                                      nullptr, &texture);
}

void D3DTexture::Destroy() {
  if (texture) texture->Release();
  texture = nullptr;
}
