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

// A strip of two triangles spanning x in [left, right], y in [-1, 1], u, v from the top left.
void MakeQuad(float left, float right, TexturedVertex* quad);

class GLDeviceTest : public GLTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  virtual D3DPRESENT_PARAMETERS PresentParameters() const;
  // A managed A8R8G8B8 texture, rows top first, released after the test.
  IDirect3DTexture9* MakeTexture(UINT width, UINT height, const std::vector<D3DCOLOR>& texels);
  void WriteTexels(IDirect3DTexture9* texture, UINT width, UINT height, const std::vector<D3DCOLOR>& texels);
  // Red, green / blue, white.
  IDirect3DTexture9* MakeQuadrantTexture() { return MakeTexture(2, 2, {kRed, kGreen, kBlue, kWhite}); }
  // Released after the test, with every stage's texture and declaration unbound first.
  template <class T>
  T* Own(T* object) {
    owned_.push_back(object);
    return object;
  }
  // Reads the back buffer; the colour of one pixel as 0xAARRGGBB.
  void ReadBack();
  D3DCOLOR Pixel(UINT x, UINT y) const;
  void ExpectQuadrants();  // the quadrant texture over the whole back buffer
  void SaveScreenshot(const char* name) const;
  void DrawQuad(float left = -1.0f, float right = 1.0f);  // kTexturedFVF
  void DrawScreenQuad(float left, float top, float right, float bottom, D3DCOLOR color);  // kScreenFVF
  void EndSceneAndPresent();

  IDirect3D9* d3d_ = nullptr;
  IDirect3DDevice9* device_ = nullptr;
  HWND window_ = nullptr;
  bool inScene_ = false;  // SetUp begins a scene, TearDown ends it if the test did not
  std::vector<IUnknown*> owned_;
  std::vector<uint8_t> pixels_;
  UINT width_ = 0, height_ = 0;
};

// Channel-wise comparison with a tolerance, printing both colours on failure.
::testing::AssertionResult ColorNear(D3DCOLOR actual, D3DCOLOR expected, int tolerance = 2);

}  // namespace gltest
