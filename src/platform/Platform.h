// Choosing the backend of the process, and the controls tests use on it.
// These names are stable: tests throughout the project depend on them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/d3dx9.h"

namespace platform {

// What a headless device reports and how it misbehaves.
struct HeadlessProfile {
  D3DCAPS9 caps{};
  D3DDISPLAYMODE desktop{1024, 768, 60, D3DFMT_X8R8G8B8};
  std::vector<D3DDISPLAYMODE> modes;            // enumerated for D3DFMT_X8R8G8B8
  std::vector<D3DFORMAT> unsupportedFormats;    // refused by CheckDeviceFormat for any usage
  bool vertexTextures = true;                   // D3DUSAGE_QUERY_VERTEXTEXTURE for R32F and A32B32G32R32F
  bool backBufferA8R8G8B8 = true;               // CheckDeviceType accepts an A8R8G8B8 back buffer
  int createDeviceFailures = 0;                 // CreateDevice fails this many times first
  bool hardwareVertexProcessing = true;         // false: D3DCREATE_HARDWARE_VERTEXPROCESSING is refused

  static HeadlessProfile ShaderModel3();        // every engine offered
  static HeadlessProfile ShaderModel2();        // vs/ps 2.0, no vertex textures
  static HeadlessProfile ShaderModel1();        // vs 1.1, ps 1.4
  static HeadlessProfile FixedFunction();       // no shaders
  static HeadlessProfile OneStream();           // shader model 3 with MaxStreams 1
  static HeadlessProfile NoR32F();              // shader model 3 without D3DFMT_R32F
};

// Selects the headless backend for this process (or replaces the previous one,
// so every test can start from a fresh profile). Clears the record and the queue.
void UseHeadlessBackend(const HeadlessProfile& profile = HeadlessProfile::ShaderModel3());

// A window of this size stands in for the screen: it is the desktop mode the
// device reports. 0 x 0: the whole screen.
struct WindowedSize {
  UINT width = 0;
  UINT height = 0;
};

// Selects the OpenGL backend. False, with the reason in `error`, when no display
// or no OpenGL 3.3 context with ARB_clip_control can be had.
bool UseGLBackend(std::string* error, WindowedSize windowed = {});

// For a start-up that found no usable OpenGL: the reason in a "Fatal error"
// message box shown by SDL, when a display can show one.
void ShowFatalStartupError(const std::string& reason);

// GL errors raised in this process so far (0 while no GL backend ever ran). GL
// tests fail when it grows during a test.
int GLErrorCount();

// Builds every technique and pass of an effect now instead of at its first
// draw. False, with the compiler's messages in `errors`, when one fails; the
// headless backend, which compiles nothing, always succeeds.
bool CompileEffect(ID3DXEffect* effect, std::string* errors);

// What the device and the D3DX objects did, recorded on both backends.
struct DrawRecord {
  D3DPRIMITIVETYPE type;
  bool indexed;
  UINT primitiveCount;
  UINT vertexCount;       // vertices addressed (indexed) or drawn
  UINT start;
  std::string effect;     // effect file path, empty for fixed function
  std::string technique;
  UINT pass;
  IDirect3DBaseTexture9* textures[2];
  DWORD fvf;
  IDirect3DBaseTexture9* target;  // texture of render target 0, null for the back buffer
  DWORD cullMode;                 // D3DRS_CULLMODE
  DWORD clipPlaneEnable;          // D3DRS_CLIPPLANEENABLE
  DWORD fillMode;                 // D3DRS_FILLMODE
  DWORD zEnable;                  // D3DRS_ZENABLE
};

struct ClearRecord {
  DWORD flags;
  D3DCOLOR color;
  float z;
  IDirect3DBaseTexture9* target;  // as in DrawRecord
};

struct ParameterRecord {
  std::string effect;
  std::string name;
  std::vector<float> values;
  IDirect3DBaseTexture9* texture;
};

struct TextRecord {
  std::wstring text;
  RECT rect;
  DWORD format;
  D3DCOLOR color;
  INT fontHeight;
  std::wstring face;
};

struct MessageBoxRecord {
  std::wstring text;
  std::wstring caption;
};

struct Record {
  std::vector<DrawRecord> draws;
  std::vector<std::string> techniques;     // every successful SetTechnique, in order
  std::vector<ParameterRecord> parameters; // every effect parameter set, in order
  std::vector<TextRecord> texts;
  std::vector<MessageBoxRecord> messageBoxes;
  std::vector<std::string> shellOpens;
  std::vector<ClearRecord> clearCalls;     // every successful Clear, in order
  int clears = 0;
  int presents = 0;
  int resets = 0;
  void Clear() { *this = Record(); }
};
Record& Recorded();

namespace headless {
void AdvanceClock(double seconds);   // QueryPerformanceCounter moves only through this
void UseCPUClock();                  // ... and, from now on, with the process's CPU time (benchmarks)
void LoseDevice();                   // DEVICELOST once, then DEVICENOTRESET until a Reset succeeds
void FailResets(int count);          // the next `count` Reset calls fail
}  // namespace headless

// Pixels of the back buffer or of a render-target texture level, as B, G, R, A
// rows, top row first. False on the headless backend.
bool ReadBackBuffer(IDirect3DDevice9* device, std::vector<uint8_t>& bgra, UINT& width, UINT& height);
bool ReadTexture(IDirect3DTexture9* texture, UINT level, std::vector<uint8_t>& bgra);
bool SavePng(const char* path, const std::vector<uint8_t>& bgra, UINT width, UINT height);

}  // namespace platform
