// The base of every GL test: starts the OpenGL backend and fails the test when a GL error was raised during it. Without
// OpenGL a test fails when CI is set (a suite that cannot run must not pass) and skips with the reason elsewhere.
// GLDeviceTest adds a real device: a window from the registered class, a 128x128 back buffer with a D16 depth buffer,
// and helpers for textures, quads and read-back pixels. Each of its tests runs inside a scene.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/d3dx9.h"
#include "settings/cEngineSettings.h"

namespace gltest {

class GLTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // SetUp failed or skipped: the derived SetUp returns at once.
  bool NotStarted() const { return !started_ || HasFatalFailure(); }

 private:
  bool started_ = false;
  int errorsBefore_ = 0;
};

struct Rgb {
  int r, g, b;
  int Sum() const { return r + g + b; }
};

// Read-back pixels, B, G, R, A rows top first.
struct Picture {
  bool Read(IDirect3DDevice9* device);    // the back buffer
  bool Read(IDirect3DTexture9* texture);  // level 0
  // A PNG under the test artifacts ("sky-1.png", "screenshots/water-sm2.png").
  void Save(const std::string& name) const;
  Rgb At(UINT x, UINT y) const;
  D3DCOLOR Color(UINT x, UINT y) const;  // 0xAARRGGBB
  // Pixels of [left, right) x [top, bottom), clipped to the picture, for which `test` holds.
  int Count(int left, int top, int right, int bottom, const std::function<bool(Rgb)>& test) const;
  // The same as a share of the rectangle, given in fractions of the picture.
  double Share(double left, double top, double right, double bottom, const std::function<bool(Rgb)>& test) const;
  Rgb Mean(UINT top, UINT bottom) const;  // over whole rows
  std::vector<uint8_t> bgra;
  UINT width = 0, height = 0;
};

// "ffp", "sm1", "sm2" or "sm3": names of screenshots and test instances.
inline const char* EngineName(int engineType) { return TypeWord(SettingKind::EngineType, engineType); }

constexpr UINT kSize = 128;
constexpr D3DCOLOR kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;
constexpr D3DCOLOR kBlack = 0xFF000000;

// Position in clip space (identity transforms) and one texture coordinate set.
struct TexturedVertex { float x, y, z, u, v; };
constexpr DWORD kTexturedFVF = D3DFVF_XYZ | D3DFVF_TEX1;
// Pixel position with colour and texture coordinates, as sprites and fonts draw.
struct ScreenVertex { float x, y, z, rhw; D3DCOLOR color; float u, v; };
constexpr DWORD kScreenFVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
struct ColoredVertex { float x, y, z; D3DCOLOR color; };
constexpr DWORD kColoredFVF = D3DFVF_XYZ | D3DFVF_DIFFUSE;
// Position and a three-component texture coordinate, for projected lookups.
struct ProjectedVertex { float x, y, z, s, t, r; };
constexpr D3DVERTEXELEMENT9 kProjectedDeclaration[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
    D3DDECL_END()};
// Clip to texture space (v down), clip w in the third output, which D3DTTFF_COUNT3 | D3DTTFF_PROJECTED divides by.
inline const D3DXMATRIX kClipToTexture(0.5f, 0, 0, 0, 0, -0.5f, 0, 0, 0, 0, 0, 0, 0.5f, 0.5f, 1, 0);

class GLDeviceTest : public GLTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  // kSize square unless a derived fixture sets backWidth_ and backHeight_ in its constructor.
  D3DPRESENT_PARAMETERS PresentParameters() const;
  // A managed texture of `levels` (A8R8G8B8 level 0 from `texels`, rows top first), released after the test.
  IDirect3DTexture9* MakeTexture(UINT width, UINT height, const std::vector<D3DCOLOR>& texels, UINT levels = 1);
  IDirect3DTexture9* Solid(D3DCOLOR color) { return MakeTexture(1, 1, {color}); }
  void WriteTexels(IDirect3DTexture9* texture, UINT width, UINT height, const std::vector<D3DCOLOR>& texels);
  // Red, green / blue, white.
  IDirect3DTexture9* MakeQuadrantTexture() { return MakeTexture(2, 2, {kRed, kGreen, kBlue, kWhite}); }
  // Released after the test, with textures, streams, indices and declaration unbound first.
  template <class T>
  T* Own(T* object) {
    owned_.push_back(object);
    return object;
  }
  void Declare(const D3DVERTEXELEMENT9* elements);  // created, owned and set
  void Clear(D3DCOLOR color = kBlack);              // target and depth
  void ReadBack();                                  // the back buffer into frame_
  struct PixelColor { UINT x, y; D3DCOLOR color; };
  // Reads the back buffer and compares these pixels, channel by channel within `tolerance`.
  void ExpectPixels(std::initializer_list<PixelColor> expected, int tolerance = 2);
  // Colour `op` of the two arguments; alpha `alphaOp` with `alphaArg` as both of its arguments.
  void SetStage(DWORD stage, DWORD op, DWORD arg1, DWORD arg2, DWORD alphaOp, DWORD alphaArg);
  D3DCOLOR Pixel(UINT x, UINT y) const { return frame_.Color(x, y); }
  void ExpectQuadrants() { ExpectPixels({{32, 32, kRed}, {96, 32, kGreen}, {32, 96, kBlue}, {96, 96, kWhite}}); }
  // A strip of two triangles.
  template <class Vertex>
  void DrawStrip(DWORD fvf, const Vertex (&quad)[4]) {
    ASSERT_EQ(device_->SetFVF(fvf), D3D_OK);
    ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex)), D3D_OK);
  }
  // Over x in [left, right], y in [top, bottom] (clip space), u, v from the top left (kTexturedFVF).
  void DrawQuad(float left = -1.0f, float right = 1.0f, float top = 1.0f, float bottom = -1.0f) {
    DrawStrip<TexturedVertex>(kTexturedFVF, {{left, top, 0.5f, 0, 0},
                                             {right, top, 0.5f, 1, 0},
                                             {left, bottom, 0.5f, 0, 1},
                                             {right, bottom, 0.5f, 1, 1}});
  }
  void DrawScreenQuad(float left, float top, float right, float bottom, D3DCOLOR color) {
    DrawStrip<ScreenVertex>(kScreenFVF, {{left, top, 0, 1, color, 0, 0},
                                         {right, top, 0, 1, color, 1, 0},
                                         {left, bottom, 0, 1, color, 0, 1},
                                         {right, bottom, 0, 1, color, 1, 1}});
  }
  void DrawColoredQuad(float left, float top, float right, float bottom, float z, D3DCOLOR color) {  // clip space
    DrawStrip<ColoredVertex>(
        kColoredFVF,
        {{left, top, z, color}, {right, top, z, color}, {left, bottom, z, color}, {right, bottom, z, color}});
  }
  void EndSceneAndPresent();
  IDirect3D9* d3d_ = nullptr;
  IDirect3DDevice9* device_ = nullptr;
  HWND window_ = nullptr;
  bool inScene_ = false;  // SetUp begins a scene, TearDown ends it if the test did not
  std::vector<IUnknown*> owned_;
  Picture frame_;  // the last read-back
  UINT backWidth_ = kSize, backHeight_ = kSize;
};

// Channel-wise comparison with a tolerance, printing both colours on failure.
::testing::AssertionResult ColorNear(D3DCOLOR actual, D3DCOLOR expected, int tolerance = 2);

}  // namespace gltest
