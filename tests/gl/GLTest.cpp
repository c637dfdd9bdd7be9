#include "GLTest.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <utility>

#include "../platform/HeadlessDevice.h"
#include "platform/Platform.h"

// The session bus library that SDL's video brings in keeps a buffer to the end.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

namespace gltest {

void GLTest::SetUp() {
  std::string error;
  if (!platform::UseGLBackend(&error)) {
    const char* ci = std::getenv("CI");
    if (ci != nullptr && *ci != '\0') FAIL() << "no OpenGL backend in CI: " << error;
    GTEST_SKIP() << "no OpenGL backend: " << error;
  }
  started_ = true;
  errorsBefore_ = platform::GLErrorCount();
}

void GLTest::TearDown() {
  if (!started_) return;
  EXPECT_EQ(platform::GLErrorCount(), errorsBefore_) << "GL errors during the test (see standard error)";
}

void Picture::Save(const std::string& name) const {
  const std::filesystem::path path = std::filesystem::path(TEST_ARTIFACT_DIR) / name;
  std::filesystem::create_directories(path.parent_path());
  EXPECT_TRUE(platform::SavePng(path.c_str(), bgra, width, height)) << path;
}

bool Picture::Read(IDirect3DDevice9* device) { return platform::ReadBackBuffer(device, bgra, width, height); }

bool Picture::Read(IDirect3DTexture9* texture) {
  D3DSURFACE_DESC desc{};
  if (texture == nullptr || FAILED(texture->GetLevelDesc(0, &desc))) return false;
  width = desc.Width;
  height = desc.Height;
  return platform::ReadTexture(texture, 0, bgra);
}

Rgb Picture::At(UINT x, UINT y) const {
  const D3DCOLOR c = Color(x, y);
  return {static_cast<int>(c >> 16 & 0xFF), static_cast<int>(c >> 8 & 0xFF), static_cast<int>(c & 0xFF)};
}

D3DCOLOR Picture::Color(UINT x, UINT y) const {
  const uint8_t* p = &bgra[(static_cast<size_t>(y) * width + x) * 4];
  return D3DCOLOR_ARGB(p[3], p[2], p[1], p[0]);
}

int Picture::Count(int left, int top, int right, int bottom, const std::function<bool(Rgb)>& test) const {
  int count = 0;
  for (int y = std::max(top, 0); y < std::min(bottom, static_cast<int>(height)); ++y)
    for (int x = std::max(left, 0); x < std::min(right, static_cast<int>(width)); ++x) count += test(At(x, y)) ? 1 : 0;
  return count;
}

double Picture::Share(double left, double top, double right, double bottom,
                      const std::function<bool(Rgb)>& test) const {
  const int l = static_cast<int>(left * width), t = static_cast<int>(top * height);
  const int r = static_cast<int>(right * width), b = static_cast<int>(bottom * height);
  return (r - l) * (b - t) > 0 ? static_cast<double>(Count(l, t, r, b, test)) / ((r - l) * (b - t)) : 0.0;
}

Rgb Picture::Mean(UINT top, UINT bottom) const {
  long sum[3] = {}, n = 0;
  for (UINT y = top; y < bottom; ++y)
    for (UINT x = 0; x < width; ++x, ++n) {
      const Rgb c = At(x, y);
      sum[0] += c.r, sum[1] += c.g, sum[2] += c.b;
    }
  return {static_cast<int>(sum[0] / n), static_cast<int>(sum[1] / n), static_cast<int>(sum[2] / n)};
}

D3DPRESENT_PARAMETERS GLDeviceTest::PresentParameters() const {
  // The headless tests' parameters, in a window with an alpha channel.
  D3DPRESENT_PARAMETERS parameters = platform::testing::FullScreenParameters(backWidth_, backHeight_);
  parameters.BackBufferFormat = D3DFMT_A8R8G8B8;
  parameters.hDeviceWindow = window_;
  parameters.Windowed = TRUE;
  return parameters;
}

void GLDeviceTest::SetUp() {
  GLTest::SetUp();
  if (NotStarted()) return;
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.lpszClassName = "GLTestWindow";
  RegisterClassExA(&windowClass);  // fails harmlessly once the class exists
  window_ = CreateWindowExA(0, "GLTestWindow", "GL test", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0,
                            nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window_, nullptr);
  d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
  ASSERT_NE(d3d_, nullptr);
  D3DPRESENT_PARAMETERS parameters = PresentParameters();
  ASSERT_EQ(d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                               &parameters, &device_),
            D3D_OK);
  ASSERT_EQ(device_->SetRenderState(D3DRS_LIGHTING, FALSE), D3D_OK);
  ASSERT_EQ(device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE), D3D_OK);
  Clear();
  ASSERT_EQ(device_->BeginScene(), D3D_OK);
  inScene_ = true;
}

void GLDeviceTest::EndSceneAndPresent() {
  inScene_ = false;
  ASSERT_EQ(device_->EndScene(), D3D_OK);
  ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

void GLDeviceTest::TearDown() {
  if (device_) {
    if (inScene_) {
      EXPECT_EQ(device_->EndScene(), D3D_OK);
    }
    for (DWORD stage = 0; stage < 2; ++stage) {
      device_->SetTexture(stage, nullptr);
      device_->SetStreamSource(stage, nullptr, 0, 0);
    }
    device_->SetVertexDeclaration(nullptr);
    device_->SetIndices(nullptr);
  }
  for (IUnknown* object : owned_) object->Release();
  if (device_) device_->Release();
  if (d3d_) d3d_->Release();
  if (window_) DestroyWindow(window_);
  GLTest::TearDown();
}

IDirect3DTexture9* GLDeviceTest::MakeTexture(UINT width, UINT height, const std::vector<D3DCOLOR>& texels,
                                             UINT levels) {
  IDirect3DTexture9* texture = nullptr;
  EXPECT_EQ(device_->CreateTexture(width, height, levels, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
            D3D_OK);
  if (!texture) return nullptr;
  WriteTexels(texture, width, height, texels);
  return Own(texture);
}

void GLDeviceTest::WriteTexels(IDirect3DTexture9* texture, UINT width, UINT height,
                               const std::vector<D3DCOLOR>& texels) {
  D3DLOCKED_RECT locked{};
  ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
  for (UINT y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<D3DCOLOR*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
    for (UINT x = 0; x < width; ++x) row[x] = texels[y * width + x];
  }
  ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
}

void GLDeviceTest::Declare(const D3DVERTEXELEMENT9* elements) {
  IDirect3DVertexDeclaration9* declaration = nullptr;
  ASSERT_EQ(device_->CreateVertexDeclaration(elements, &declaration), D3D_OK);
  ASSERT_EQ(device_->SetVertexDeclaration(Own(declaration)), D3D_OK);
}

void GLDeviceTest::Clear(D3DCOLOR color) {
  ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, color, 1.0f, 0), D3D_OK);
}

void GLDeviceTest::ReadBack() {
  ASSERT_TRUE(frame_.Read(device_));
  ASSERT_EQ(frame_.width, backWidth_);
  ASSERT_EQ(frame_.height, backHeight_);
}

void GLDeviceTest::ExpectPixels(std::initializer_list<PixelColor> expected, int tolerance) {
  ReadBack();
  for (const PixelColor& e : expected) EXPECT_TRUE(ColorNear(Pixel(e.x, e.y), e.color, tolerance)) << e.x << "," << e.y;
}

void GLDeviceTest::SetStage(DWORD stage, DWORD op, DWORD arg1, DWORD arg2, DWORD alphaOp, DWORD alphaArg) {
  const std::pair<D3DTEXTURESTAGESTATETYPE, DWORD> states[] = {
      {D3DTSS_COLOROP, op},         {D3DTSS_COLORARG1, arg1},     {D3DTSS_COLORARG2, arg2}, {D3DTSS_ALPHAOP, alphaOp},
      {D3DTSS_ALPHAARG1, alphaArg}, {D3DTSS_ALPHAARG2, alphaArg}, {D3DTSS_TEXCOORDINDEX, 0}};
  for (const auto& [type, value] : states) ASSERT_EQ(device_->SetTextureStageState(stage, type, value), D3D_OK);
}

::testing::AssertionResult ColorNear(D3DCOLOR actual, D3DCOLOR expected, int tolerance) {
  for (int shift = 0; shift < 32; shift += 8) {
    const int a = static_cast<int>((actual >> shift) & 0xFF), e = static_cast<int>((expected >> shift) & 0xFF);
    if (std::abs(a - e) > tolerance) {
      char text[64];
      std::snprintf(text, sizeof(text), "0x%08X, expected 0x%08X", actual, expected);
      return ::testing::AssertionFailure() << text;
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace gltest
