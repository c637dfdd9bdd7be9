// A fixture with a real device on the OpenGL backend: a window from the
// registered class, a 128x128 back buffer with a D16 depth buffer, and helpers
// for textures, quads and read-back pixels. Each test runs inside a scene.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GLTest.h"
#include "platform/Platform.h"
#include "platform/d3dx9.h"

namespace gltest {

constexpr UINT kSize = 128;
constexpr D3DCOLOR kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;
constexpr D3DCOLOR kBlack = 0xFF000000;

// Position in clip space (identity transforms) and one texture coordinate set.
struct TexturedVertex {
  float x, y, z;
  float u, v;
};
constexpr DWORD kTexturedFVF = D3DFVF_XYZ | D3DFVF_TEX1;

// Pixel position with colour and texture coordinates, as sprites and fonts draw.
struct ScreenVertex {
  float x, y, z, rhw;
  D3DCOLOR color;
  float u, v;
};
constexpr DWORD kScreenFVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

struct ColoredVertex {
  float x, y, z;
  D3DCOLOR color;
};
constexpr DWORD kColoredFVF = D3DFVF_XYZ | D3DFVF_DIFFUSE;

// Position and a three-component texture coordinate, for projected lookups.
struct ProjectedVertex {
  float x, y, z;
  float s, t, r;
};
constexpr D3DVERTEXELEMENT9 kProjectedDeclaration[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
    D3DDECL_END()};
// Clip space to texture space (v down) with clip w in the third output, which
// D3DTTFF_COUNT3 | D3DTTFF_PROJECTED divides by.
inline const D3DXMATRIX kClipToTexture(0.5f, 0, 0, 0, 0, -0.5f, 0, 0, 0, 0, 0, 0, 0.5f, 0.5f, 1, 0);

class GLDeviceTest : public GLTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // kSize square unless a derived fixture sets backWidth_ and backHeight_ in its constructor.
  virtual D3DPRESENT_PARAMETERS PresentParameters() const;
  // A managed A8R8G8B8 texture, rows top first, released after the test.
  IDirect3DTexture9* MakeTexture(UINT width, UINT height, const std::vector<D3DCOLOR>& texels);
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
  // Reads the back buffer; the colour of one pixel as 0xAARRGGBB.
  void ReadBack();
  struct PixelColor {
    UINT x, y;
    D3DCOLOR color;
  };
  // Reads the back buffer and compares these pixels, channel by channel within `tolerance`.
  void ExpectPixels(std::initializer_list<PixelColor> expected, int tolerance = 2);
  void AlphaBlending();  // source alpha over the target
  // Colour `op` of the two arguments; alpha `alphaOp` with `alphaArg` as both of its arguments.
  void SetStage(DWORD stage, DWORD op, DWORD arg1, DWORD arg2, DWORD alphaOp, DWORD alphaArg);
  D3DCOLOR Pixel(UINT x, UINT y) const { return TexelAt(pixels_, width_, x, y); }
  static D3DCOLOR TexelAt(const std::vector<uint8_t>& bgra, UINT width, UINT x, UINT y);
  void ExpectQuadrants();  // the quadrant texture over the whole back buffer
  void SaveScreenshot(const char* name) const { SaveArtifact(name, pixels_, width_, height_); }
  // Two triangles over x in [left, right], y in [-1, 1], u, v from the top left (kTexturedFVF).
  void DrawQuad(float left = -1.0f, float right = 1.0f);
  void DrawScreenQuad(float left, float top, float right, float bottom, D3DCOLOR color);  // kScreenFVF
  void DrawColoredQuad(float left, float top, float right, float bottom, float z, D3DCOLOR color);  // clip space
  void EndSceneAndPresent();

  IDirect3D9* d3d_ = nullptr;
  IDirect3DDevice9* device_ = nullptr;
  HWND window_ = nullptr;
  bool inScene_ = false;  // SetUp begins a scene, TearDown ends it if the test did not
  std::vector<IUnknown*> owned_;
  std::vector<uint8_t> pixels_;
  UINT width_ = 0, height_ = 0;
  UINT backWidth_ = kSize, backHeight_ = kSize;
};

// Channel-wise comparison with a tolerance, printing both colours on failure.
::testing::AssertionResult ColorNear(D3DCOLOR actual, D3DCOLOR expected, int tolerance = 2);

}  // namespace gltest
