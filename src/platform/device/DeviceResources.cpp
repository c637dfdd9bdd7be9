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

}  // namespace

HRESULT Device::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DTexture9** texture, HANDLE* shared) {
  constexpr DWORD kTextureUsages = D3DUSAGE_RENDERTARGET | D3DUSAGE_DYNAMIC | D3DUSAGE_AUTOGENMIPMAP;
  const bool renderTarget = (usage & D3DUSAGE_RENDERTARGET) != 0;
  const bool autoGen = (usage & D3DUSAGE_AUTOGENMIPMAP) != 0;
  const UINT chain = MipChainLength(width, height);
  if (!texture || shared || width == 0 || height == 0 || width > caps_.MaxTextureWidth ||
      height > caps_.MaxTextureHeight || !IsValidPool(pool) || (usage & ~kTextureUsages) != 0 ||
      (renderTarget && pool != D3DPOOL_DEFAULT) || ((usage & D3DUSAGE_DYNAMIC) && pool == D3DPOOL_MANAGED) ||
      levels > chain || (autoGen && levels > 1)) {
    return D3DERR_INVALIDCALL;
  }
  Backend& backend = CurrentBackend();
  if (!IsColorFormat(format) || !backend.SupportsFormat(usage & D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE, format)) {
    return D3DERR_INVALIDCALL;
  }
  HRESULT result = D3D_OK;
  if (autoGen && !backend.SupportsFormat(usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_AUTOGENMIPMAP),
                                         D3DRTYPE_TEXTURE, format)) {
    usage &= ~D3DUSAGE_AUTOGENMIPMAP;
    result = D3DOK_NOAUTOGEN;
  }
  TextureData data;
  data.format = format;
  data.width = width;
  data.height = height;
  data.levels = autoGen ? 1 : (levels == 0 ? chain : levels);
  data.usage = usage;
  data.pool = pool;
  *texture = new Texture(*this, data);
  return result;
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
