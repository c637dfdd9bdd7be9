// D3DXCreateTextureFromFile*: decode an image file and upload it, with its mip
// chain built on the CPU, into a texture made by D3DXCreateTexture.
#include <algorithm>
#include <cstring>

#include "platform/d3dx/FileBytes.h"
#include "platform/d3dx/Image.h"
#include "platform/Utf8.h"

namespace platform::d3dx {

namespace {

constexpr size_t kMaxImageFileBytes = size_t{256} << 20;

UINT SizeOrDefault(UINT requested, UINT fromFile) {
  return requested == 0 || requested == D3DX_DEFAULT || requested == D3DX_DEFAULT_NONPOW2 ? fromFile : requested;
}

UINT FullChainLevels(UINT width, UINT height) {
  UINT levels = 1;
  for (UINT side = std::max(width, height); side > 1; side /= 2) ++levels;
  return levels;
}

HRESULT UploadLevel(IDirect3DTexture9* texture, UINT level, const Image& image) {
  D3DLOCKED_RECT locked;
  const HRESULT hr = texture->LockRect(level, &locked, nullptr, 0);
  if (FAILED(hr)) return hr;
  for (UINT y = 0; y < image.Height(); ++y) {
    std::memcpy(static_cast<uint8_t*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch, image.Row(y),
                size_t{image.Width()} * 4);
  }
  return texture->UnlockRect(level);
}

// Level 0 from `image`, each further level halved from the one before.
HRESULT UploadChain(IDirect3DTexture9* texture, Image image) {
  for (UINT level = 0; level < texture->GetLevelCount(); ++level) {
    D3DSURFACE_DESC desc;
    HRESULT hr = texture->GetLevelDesc(level, &desc);
    if (FAILED(hr)) return hr;
    if (level > 0) image = image.HalfSize();
    if (desc.Width != image.Width() || desc.Height != image.Height()) image = image.Resized(desc.Width, desc.Height);
    hr = UploadLevel(texture, level, image);
    if (FAILED(hr)) return hr;
  }
  return D3D_OK;
}

void FillInfo(const Image& image, D3DXIMAGE_INFO* info) {
  if (!info) return;
  *info = D3DXIMAGE_INFO{image.Width(), image.Height(), 1, 1, D3DFMT_A8R8G8B8, D3DRTYPE_TEXTURE, image.Format()};
}

}  // namespace

}  // namespace platform::d3dx

using platform::d3dx::Image;

HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, LPCSTR file, UINT width, UINT height, UINT mipLevels,
                                     DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD /*filter*/, DWORD /*mipFilter*/,
                                     D3DCOLOR colorKey, D3DXIMAGE_INFO* info, PALETTEENTRY* /*palette*/,
                                     IDirect3DTexture9** texture) {
  using namespace platform::d3dx;
  if (!device || !file || !texture) return D3DERR_INVALIDCALL;
  *texture = nullptr;
  if (format == D3DFMT_UNKNOWN) format = D3DFMT_A8R8G8B8;
  if (format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8) return D3DERR_NOTAVAILABLE;
  std::string bytes;
  HRESULT hr = ReadFileBytes(file, kMaxImageFileBytes, bytes);
  if (FAILED(hr)) return hr;
  Image image;
  hr = Image::Decode(bytes, image);
  if (FAILED(hr)) return hr;
  FillInfo(image, info);
  width = SizeOrDefault(width, image.Width());
  height = SizeOrDefault(height, image.Height());
  if (width > Image::kMaxSide || height > Image::kMaxSide) return D3DERR_INVALIDCALL;
  if (colorKey != 0) image.ApplyColorKey(colorKey);
  const UINT fullChain = FullChainLevels(width, height);
  const UINT levels = mipLevels == 0 || mipLevels == D3DX_DEFAULT ? fullChain : std::min(mipLevels, fullChain);
  IDirect3DTexture9* created = nullptr;
  hr = D3DXCreateTexture(device, width, height, levels, usage, format, pool, &created);
  if (FAILED(hr)) return hr;
  hr = UploadChain(created, std::move(image));
  if (FAILED(hr)) {
    created->Release();
    return hr;
  }
  *texture = created;
  return D3D_OK;
}

HRESULT D3DXCreateTextureFromFileExW(IDirect3DDevice9* device, LPCWSTR file, UINT width, UINT height, UINT mipLevels,
                                     DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                     D3DCOLOR colorKey, D3DXIMAGE_INFO* info, PALETTEENTRY* palette,
                                     IDirect3DTexture9** texture) {
  if (!file) return D3DERR_INVALIDCALL;
  return D3DXCreateTextureFromFileExA(device, platform::Utf8FromWide(file).c_str(), width, height, mipLevels,
                                      usage, format, pool, filter, mipFilter, colorKey, info, palette, texture);
}

HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice9* device, LPCSTR file, IDirect3DTexture9** texture) {
  return D3DXCreateTextureFromFileExA(device, file, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN,
                                      D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, texture);
}

HRESULT D3DXCreateTextureFromFileW(IDirect3DDevice9* device, LPCWSTR file, IDirect3DTexture9** texture) {
  if (!file) return D3DERR_INVALIDCALL;
  return D3DXCreateTextureFromFileA(device, platform::Utf8FromWide(file).c_str(), texture);
}
