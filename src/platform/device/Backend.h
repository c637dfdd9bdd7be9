// The seam between the device front end and a backend. The front end owns every
// piece of state and CPU memory; a backend turns them into GPU objects on first
// use, draws with a snapshot of the state, and runs the window system.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/d3dx9.h"

namespace platform {

// Bytes per texel (or per block row) of the formats the front end stores.
UINT FormatBytes(D3DFORMAT format);

// One texture's memory: every level tightly packed, row 0 at the top, pitch =
// width * FormatBytes. Render targets keep no CPU copy (memory is empty).
struct TextureData {
  D3DFORMAT format = D3DFMT_UNKNOWN;
  UINT width = 0;
  UINT height = 0;
  UINT levels = 1;
  DWORD usage = 0;
  D3DPOOL pool = D3DPOOL_MANAGED;
  std::vector<std::vector<uint8_t>> memory;
  bool dirty = true;     // CPU memory changed since the last upload
  std::vector<bool> dirtyLevels;  // which levels changed; empty with `dirty` means all
  void* gpu = nullptr;   // backend object, created on first use
  UINT LevelWidth(UINT level) const { return width >> level ? width >> level : 1; }
  UINT LevelHeight(UINT level) const { return height >> level ? height >> level : 1; }
  UINT Pitch(UINT level) const { return LevelWidth(level) * FormatBytes(format); }
  bool IsRenderTarget() const { return (usage & D3DUSAGE_RENDERTARGET) != 0; }
};

// A render target, depth surface or the back buffer. `texture` is set for a
// level of a render-target texture.
struct SurfaceData {
  D3DFORMAT format = D3DFMT_UNKNOWN;
  UINT width = 0;
  UINT height = 0;
  bool depth = false;
  bool backBuffer = false;
  TextureData* texture = nullptr;
  UINT level = 0;
  void* gpu = nullptr;
};

struct BufferData {
  std::vector<uint8_t> bytes;
  DWORD usage = 0;
  D3DPOOL pool = D3DPOOL_MANAGED;
  bool index = false;
  D3DFORMAT indexFormat = D3DFMT_INDEX16;
  DWORD fvf = 0;
  bool dirty = true;
  // Bytes written since the last upload, and the lock flags of those writes
  // (D3DLOCK_DISCARD if any had it, D3DLOCK_NOOVERWRITE if all had it). An
  // empty range with `dirty` means the whole buffer.
  size_t dirtyBegin = 0, dirtyEnd = 0;
  DWORD dirtyFlags = 0;
  void* gpu = nullptr;
};

// Effect files: GLSL with `#technique` and `#pass` header lines (docs/effect-files.md).
enum class ParameterType { Float, Float2, Float3, Float4, Float4x4, Int, Bool, Sampler };

struct EffectParameter {
  std::string name;
  ParameterType type = ParameterType::Float;
  UINT arraySize = 1;  // 1 for a scalar parameter
};

struct EffectPass {
  std::vector<std::pair<D3DRENDERSTATETYPE, DWORD>> states;
};

struct EffectTechnique {
  std::string name;
  std::vector<std::pair<std::string, std::string>> defines;
  std::vector<EffectPass> passes;  // at least one
};

// A `#sampler` line: the states BeginPass sets on the device sampler of the
// sampler's index (its order among the file's sampler2D uniforms).
struct EffectSamplerStates {
  std::string name;
  DWORD sampler = 0;  // the device sampler: 0..7, then D3DVERTEXTEXTURESAMPLER0..3
  int line = 0;
  std::vector<std::pair<D3DSAMPLERSTATETYPE, DWORD>> states;
};

struct EffectProgram {
  std::string path;
  std::string source;  // the GLSL body with the header lines blanked (line numbers kept)
  std::vector<EffectTechnique> techniques;
  std::vector<EffectParameter> parameters;
  std::vector<EffectSamplerStates> samplers;
  std::vector<void*> gpu;  // backend program per technique and pass, created on first use
};

struct ParameterValue {
  std::vector<float> floats;          // matrices row-major as set, ints and bools as floats
  TextureData* texture = nullptr;     // for samplers
  bool set = false;
};

// The effect pass a draw runs under; effect null means fixed function.
struct EffectBinding {
  EffectProgram* effect = nullptr;
  UINT technique = 0;
  UINT pass = 0;
  const std::vector<ParameterValue>* values = nullptr;  // parallel to effect->parameters
};

constexpr UINT kMaxStages = 8;
constexpr UINT kMaxVertexSamplers = 4;
constexpr UINT kMaxStreams = 4;

struct StreamBinding {
  BufferData* buffer = nullptr;
  UINT offset = 0;
  UINT stride = 0;
};

// Everything a draw or clear depends on.
struct DrawState {
  DWORD renderStates[D3DRS_COUNT] = {};
  DWORD samplerStates[kMaxStages + kMaxVertexSamplers][D3DSAMP_COUNT] = {};
  DWORD stageStates[kMaxStages][D3DTSS_COUNT] = {};
  D3DMATRIX world{}, view{}, projection{};
  D3DMATRIX textureTransforms[kMaxStages]{};
  TextureData* textures[kMaxStages] = {};
  TextureData* vertexTextures[kMaxVertexSamplers] = {};
  StreamBinding streams[kMaxStreams];
  BufferData* indices = nullptr;
  std::vector<D3DVERTEXELEMENT9> layout;  // from the declaration, or from the FVF on stream 0
  float clipPlanes[D3DMAXUSERCLIPPLANES][4] = {};
  SurfaceData* renderTarget = nullptr;
  SurfaceData* depthStencil = nullptr;
  D3DVIEWPORT9 viewport{};
  EffectBinding effect;
};

struct DrawCall {
  D3DPRIMITIVETYPE type = D3DPT_TRIANGLELIST;
  bool indexed = false;
  INT baseVertex = 0;      // indexed draws
  UINT minIndex = 0;       // indexed draws
  UINT vertexCount = 0;    // indexed draws: vertices the indices may address
  UINT start = 0;          // first vertex, or first index for indexed draws
  UINT primitiveCount = 0;
  const void* userVertices = nullptr;  // DrawPrimitiveUP data, stride in userStride
  UINT userStride = 0;
};

class Backend {
 public:
  virtual ~Backend() = default;

  // Adapter.
  virtual D3DCAPS9 Caps() = 0;
  virtual D3DDISPLAYMODE DesktopMode() = 0;
  virtual std::vector<D3DDISPLAYMODE> DisplayModes() = 0;
  virtual bool SupportsFormat(DWORD usage, D3DRESOURCETYPE type, D3DFORMAT format) = 0;

  // Device. The front end validates arguments before calling these.
  virtual HRESULT CreateDevice(HWND window, DWORD behaviorFlags, const D3DPRESENT_PARAMETERS& parameters) = 0;
  virtual HRESULT CooperativeLevel() = 0;
  virtual HRESULT Reset(const D3DPRESENT_PARAMETERS& parameters) = 0;
  virtual void Present() = 0;
  virtual void DestroyDevice() = 0;

  // GPU objects are created lazily by the backend; these free them.
  virtual void ReleaseTexture(TextureData& texture) = 0;
  virtual void ReleaseSurface(SurfaceData& surface) = 0;
  virtual void ReleaseBuffer(BufferData& buffer) = 0;
  virtual void ReleaseEffect(EffectProgram& effect) = 0;
  // Builds every technique and pass of an effect now; false with the messages
  // in `errors` when one does not build.
  virtual bool CompileEffect(EffectProgram& effect, std::string& errors) = 0;

  // Drawing into state.renderTarget / state.depthStencil.
  virtual void Clear(const DrawState& state, DWORD flags, D3DCOLOR color, float z) = 0;
  virtual void Draw(const DrawState& state, const DrawCall& call) = 0;

  // Read-back as B, G, R, A rows, top row first; false where there are no pixels.
  virtual bool ReadSurface(SurfaceData& surface, std::vector<uint8_t>& bgra) = 0;

  // Window system, input and time.
  virtual HWND CreateMainWindow(const char* title) = 0;
  virtual bool PollNativeMessage(MSG* msg) = 0;  // translate one pending native event
  virtual POINT CursorPos() = 0;
  virtual void SetCursorPos(POINT point) = 0;
  virtual int64_t Counter() = 0;
  virtual int64_t Frequency() = 0;
  virtual void ShowMessageBox(const std::wstring& text, const std::wstring& caption) = 0;
  virtual void ShellOpen(const char* target) = 0;
  // Waits until the GPU has done all the work queued so far (pass timing only).
  virtual void FinishWork() {}
};

// The backend of this process, installed by UseHeadlessBackend or UseGLBackend.
// Installing a new one destroys the previous one.
void InstallBackend(std::unique_ptr<Backend> backend);
Backend& CurrentBackend();
bool HasBackend();

}  // namespace platform
