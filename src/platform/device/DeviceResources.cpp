// Creation of textures, buffers, depth surfaces and vertex declarations.
#include "platform/device/Device.h"
#include "platform/device/Formats.h"
#include "platform/device/IndexBuffer.h"
#include "platform/device/Surface.h"
#include "platform/device/Texture.h"
#include "platform/device/VertexBuffer.h"
#include "platform/device/VertexDeclaration.h"
#include "platform/device/VertexLayout.h"

namespace platform {
namespace {

// Beyond this a buffer is refused as Direct3D refuses what video memory cannot hold.
constexpr UINT kMaxBufferBytes = 256u << 20;

bool IsValidPool(D3DPOOL pool) { return pool <= D3DPOOL_SCRATCH; }

// Rules every buffer follows: no sharing, a size, a known pool, buffer usages only.
HRESULT CheckBuffer(UINT length, DWORD usage, D3DPOOL pool, const void* out, const HANDLE* shared) {
  constexpr DWORD kBufferUsages = D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC;
  if (!out || shared || length == 0 || !IsValidPool(pool) || (usage & ~kBufferUsages) != 0 ||
      ((usage & D3DUSAGE_DYNAMIC) && pool == D3DPOOL_MANAGED)) {
    return D3DERR_INVALIDCALL;
  }
  return length > kMaxBufferBytes ? D3DERR_OUTOFVIDEOMEMORY : D3D_OK;
}

// Sizes within the caps, a full chain at most (one level with automatic mip
// maps), render targets in the default pool only, dynamic textures never managed.
HRESULT CheckTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DPOOL pool, const D3DCAPS9& caps) {
  constexpr DWORD kTextureUsages = D3DUSAGE_RENDERTARGET | D3DUSAGE_DYNAMIC | D3DUSAGE_AUTOGENMIPMAP;
  const bool sized = width > 0 && height > 0 && width <= caps.MaxTextureWidth && height <= caps.MaxTextureHeight;
  const bool pooled = IsValidPool(pool) && (usage & ~kTextureUsages) == 0 &&
                      (!(usage & D3DUSAGE_RENDERTARGET) || pool == D3DPOOL_DEFAULT) &&
                      (!(usage & D3DUSAGE_DYNAMIC) || pool != D3DPOOL_MANAGED);
  const bool levelled =
      levels <= MipChainLength(width, height) && (!(usage & D3DUSAGE_AUTOGENMIPMAP) || levels <= 1);
  return sized && pooled && levelled ? D3D_OK : D3DERR_INVALIDCALL;
}

}  // namespace

HRESULT Device::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DTexture9** texture, HANDLE* shared) {
  if (!texture || shared || FAILED(CheckTexture(width, height, levels, usage, pool, caps_))) {
    return D3DERR_INVALIDCALL;
  }
  const DWORD formatUsage = usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_AUTOGENMIPMAP);
  if (!IsColorFormat(format) || !CurrentBackend().SupportsFormat(formatUsage, D3DRTYPE_TEXTURE, format)) {
    return D3DERR_INVALIDCALL;
  }
  TextureData data;
  data.format = format;
  data.width = width;
  data.height = height;
  data.levels = (usage & D3DUSAGE_AUTOGENMIPMAP) ? 1 : (levels == 0 ? MipChainLength(width, height) : levels);
  data.usage = usage;
  data.pool = pool;
  *texture = new Texture(*this, data);
  return D3D_OK;
}

HRESULT Device::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                   IDirect3DVertexBuffer9** buffer, HANDLE* shared) {
  const HRESULT hr = CheckBuffer(length, usage, pool, buffer, shared);
  if (FAILED(hr)) return hr;
  *buffer = new VertexBuffer(*this, length, usage, fvf, pool);
  return D3D_OK;
}

HRESULT Device::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DIndexBuffer9** buffer, HANDLE* shared) {
  const bool known = format == D3DFMT_INDEX16 || (format == D3DFMT_INDEX32 && caps_.MaxVertexIndex > 0xFFFF);
  if (!known) return D3DERR_INVALIDCALL;
  const HRESULT hr = CheckBuffer(length, usage, pool, buffer, shared);
  if (FAILED(hr)) return hr;
  *buffer = new IndexBuffer(*this, length, usage, format, pool);
  return D3D_OK;
}

HRESULT Device::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                          D3DMULTISAMPLE_TYPE multiSample, DWORD, BOOL,
                                          IDirect3DSurface9** surface, HANDLE* shared) {
  if (!surface || shared || width == 0 || height == 0 || width > caps_.MaxTextureWidth ||
      height > caps_.MaxTextureHeight || multiSample != D3DMULTISAMPLE_NONE || !IsDepthFormat(format) ||
      !CurrentBackend().SupportsFormat(D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, format)) {
    return D3DERR_INVALIDCALL;
  }
  SurfaceData data;
  data.format = format;
  data.width = width;
  data.height = height;
  data.depth = true;
  *surface = new Surface(*this, data, false);
  return D3D_OK;
}

HRESULT Device::CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                        IDirect3DVertexDeclaration9** declaration) {
  std::vector<D3DVERTEXELEMENT9> layout;
  if (!elements || !declaration || !ReadDeclaration(elements, layout)) return D3DERR_INVALIDCALL;
  *declaration = new VertexDeclaration(*this, std::move(layout));
  return D3D_OK;
}

}  // namespace platform
