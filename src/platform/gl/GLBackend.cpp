#include "platform/gl/GLBackend.h"

#include <string>

#include "platform/gl/GLCheck.h"
#include "platform/gl/TextureFormat.h"

namespace platform::gl {
namespace {

// Mesa's CPU rasterisers draw every mip level as a pass of its own; on them a
// chain filtered on the CPU is cheaper. A GPU makes its chain for free.
bool IsSoftwareRenderer() {
  const auto* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  if (!name) return false;
  const std::string renderer(name);
  for (const char* software : {"llvmpipe", "softpipe", "swrast"}) {
    if (renderer.find(software) != std::string::npos) return true;
  }
  return false;
}

}  // namespace

std::unique_ptr<GLBackend> GLBackend::Create(std::string* error, WindowedSize windowed) {
  std::unique_ptr<GLBackend> backend(new GLBackend);
  if (!backend->window_.Open(error, windowed.width, windowed.height)) return nullptr;
  WatchGLErrors();
  backend->renderer_.Initialise();
  backend->textures_.UseCPUMipChains(IsSoftwareRenderer());
  return backend;
}

D3DCAPS9 GLBackend::Caps() {
  GLint maxTexture = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
  D3DCAPS9 caps{};
  caps.DeviceType = D3DDEVTYPE_HAL;
  caps.AdapterOrdinal = D3DADAPTER_DEFAULT;
  caps.PresentationIntervals = D3DPRESENT_INTERVAL_IMMEDIATE | D3DPRESENT_INTERVAL_ONE;
  caps.MaxTextureWidth = caps.MaxTextureHeight = static_cast<DWORD>(maxTexture);
  caps.TextureOpCaps = D3DTEXOPCAPS_DISABLE | D3DTEXOPCAPS_SELECTARG1 | D3DTEXOPCAPS_SELECTARG2 |
                       D3DTEXOPCAPS_MODULATE | D3DTEXOPCAPS_ADD | D3DTEXOPCAPS_BLENDDIFFUSEALPHA;
  caps.MaxTextureBlendStages = kMaxStages;
  caps.MaxSimultaneousTextures = kMaxStages;
  caps.MaxUserClipPlanes = D3DMAXUSERCLIPPLANES;
  caps.MaxPrimitiveCount = 0xFFFFFF;
  caps.MaxVertexIndex = 0xFFFFFF;
  caps.MaxStreams = kMaxStreams;
  caps.MaxStreamStride = 255;
  caps.VertexShaderVersion = D3DVS_VERSION(3, 0);
  caps.MaxVertexShaderConst = 256;
  caps.PixelShaderVersion = D3DPS_VERSION(3, 0);
  return caps;
}

bool GLBackend::SupportsFormat(DWORD usage, D3DRESOURCETYPE type, D3DFORMAT format) {
  if (type == D3DRTYPE_VERTEXBUFFER || type == D3DRTYPE_INDEXBUFFER) {
    return format == D3DFMT_VERTEXDATA || format == D3DFMT_INDEX16 || format == D3DFMT_INDEX32;
  }
  if (type != D3DRTYPE_TEXTURE && type != D3DRTYPE_SURFACE) return false;
  if (usage & D3DUSAGE_DEPTHSTENCIL) return type == D3DRTYPE_SURFACE && DepthFormatOf(format) != 0;
  const TextureFormat gl = TextureFormatOf(format);
  if (gl.internalFormat == 0) return false;
  if ((usage & D3DUSAGE_RENDERTARGET) && !gl.renderable) return false;
  if ((usage & D3DUSAGE_QUERY_VERTEXTEXTURE) && !gl.vertexTexture) return false;
  return true;
}

void GLBackend::SizeBackBuffer(const D3DPRESENT_PARAMETERS& parameters) {
  UINT width = parameters.BackBufferWidth, height = parameters.BackBufferHeight;
  if (width == 0 || height == 0) {
    int w = 0, h = 0;
    window_.DrawableSize(&w, &h);
    width = w > 0 ? static_cast<UINT>(w) : 1;
    height = h > 0 ? static_cast<UINT>(h) : 1;
  }
  targets_.CreateBackBuffer(width, height, parameters.BackBufferFormat);
  window_.SetBackBufferSize(width, height);
  window_.SetSwapInterval(parameters.PresentationInterval);
}

HRESULT GLBackend::CreateDevice(HWND, DWORD, const D3DPRESENT_PARAMETERS& parameters) {
  SizeBackBuffer(parameters);
  return D3D_OK;
}

HRESULT GLBackend::Reset(const D3DPRESENT_PARAMETERS& parameters) {
  SizeBackBuffer(parameters);
  return D3D_OK;
}

void GLBackend::Present() {
  int width = 0, height = 0;
  window_.DrawableSize(&width, &height);
  targets_.Present(width, height);
  window_.Swap();
}

void GLBackend::DestroyDevice() {
  targets_.ReleaseBackBuffer();
  buffers_.ReleaseUserStream();
  fixedFunction_.Release();
  textures_.ReleaseSamplers();
  window_.SetBackBufferSize(0, 0);
}

void GLBackend::ReleaseTexture(TextureData& texture) {
  if (const GLuint name = textures_.Release(texture)) targets_.ForgetTexture(name);
  cache_.Invalidate();
}

void GLBackend::ReleaseSurface(SurfaceData& surface) { targets_.ReleaseSurface(surface); }
void GLBackend::ReleaseBuffer(BufferData& buffer) { buffers_.Release(buffer); }
void GLBackend::ReleaseEffect(EffectProgram& effect) { effects_.Release(effect); }

bool GLBackend::CompileEffect(EffectProgram& effect, std::string& errors) { return effects_.Compile(effect, errors); }

void GLBackend::Clear(const DrawState& state, DWORD flags, D3DCOLOR color, float z) {
  renderer_.Clear(state, flags, color, z);
}

void GLBackend::Draw(const DrawState& state, const DrawCall& call) { renderer_.Draw(state, call); }

bool GLBackend::ReadSurface(SurfaceData& surface, std::vector<uint8_t>& bgra) { return targets_.Read(surface, bgra); }

void GLBackend::FinishWork() { glFinish(); }

int64_t GLBackend::Counter() { return static_cast<int64_t>(SDL_GetPerformanceCounter()); }
int64_t GLBackend::Frequency() { return static_cast<int64_t>(SDL_GetPerformanceFrequency()); }

void GLBackend::ShowMessageBox(const std::wstring& text, const std::wstring& caption) {
  window_.ShowMessageBox(text, caption);
}

void GLBackend::ShellOpen(const char* target) { OpenWithDesktop(target); }

}  // namespace platform::gl
